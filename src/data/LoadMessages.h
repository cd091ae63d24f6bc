#pragma once
// The texts the user reads for a load diagnostic, in the message box of the
// viewer and on kavra-batch's standard error alike.

#include "data/LoadDiagnostic.h"

#include <string>

namespace kavra {

struct LoadMessage {
    std::string text;
    std::string title;  // empty for the generic errors
};

LoadMessage loadMessage(const LoadDiagnostic &diagnostic);

// The titles of the loader's format messages.
inline constexpr const char *kOpenFileTitle = "OpenFile";
inline constexpr const char *kMismatchTitle = "File Column Count Mismatch";

}  // namespace kavra
