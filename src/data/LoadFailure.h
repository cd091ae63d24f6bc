#pragma once
// How the loader's parts stop a load: a failure carries the outcome the caller
// is handed back.

#include "data/Loader.h"

#include <utility>

namespace kavra {

struct LoadFailure {
    LoadOutcome outcome;
};

// closeAll: a first file leaves nothing usable, and the caller closes all files.
[[noreturn]] inline void failLoad(LoadDiagnostic diagnostic, bool closeAll = false)
{
    throw LoadFailure{{false, std::move(diagnostic), closeAll, std::nullopt}};
}

[[noreturn]] inline void failLoad(LoadProblem kind, bool closeAll = false)
{
    failLoad({.kind = kind}, closeAll);
}

[[noreturn]] inline void failOverlongRecord()
{
    failLoad(LoadProblem::OverlongRecord);
}

}  // namespace kavra
