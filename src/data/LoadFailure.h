#pragma once
// How the loader's parts stop a load: a failure carries the outcome the caller
// is handed back.

#include "data/Loader.h"
#include "data/NumberText.h"
#include "data/RecordReader.h"

#include <string>

namespace kavra {

struct LoadFailure {
    LoadOutcome outcome;
};

[[noreturn]] inline void failLoad(std::string message, std::string title = kOpenFileTitle, bool closeAll = false)
{
    throw LoadFailure{{false, std::move(message), std::move(title), closeAll, std::nullopt}};
}

[[noreturn]] inline void failOverlongRecord()
{
    failLoad("File has incorrect format - a record is longer than" +
             signedNumberText(static_cast<double>(kRecordChunk)) + " characters");
}

}  // namespace kavra
