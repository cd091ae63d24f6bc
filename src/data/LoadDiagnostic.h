#pragma once
// What the loader found wrong with a file, as data: the kind of problem and where
// it lies. The loader never writes a message; the viewer and kavra-batch turn a
// diagnostic into its text (LoadMessages.h) where they show it.

#include <string>

namespace kavra {

enum class LoadProblem {
    None,
    TooManyFiles,  // count: the files that may be open
    CannotOpen,    // detail: the system's reason
    NoTerminator,
    FileChanged,
    OverlongRecord,
    BadNodeRecord,    // record 1
    BadHeaderRecord,  // none of records 2 to 6 names the columns
    NoEndMarker,      // a header block that never ends
    NoColumnHeaders,  // a header block without names
    BlankColumnName,  // count: the column
    InsufficientData,
    TooManyRows,
    NoMemoryForFile,      // the values of the file do not fit
    OutOfMemory,          // memory ran out elsewhere in the load
    InvalidValue,         // field: the value as read; detail: the sample time of its record
    UnreadableField,      // detail: what could not be read, and why
    ColumnCountMismatch,  // row, count: the fields it has; field: the record; detail: the header record
    CutOffRecord,         // the last record was incomplete and left out; loading goes on
};

struct LoadDiagnostic {
    LoadProblem kind = LoadProblem::None;
    long long row = 0;   // the data row concerned, counted from 1; 0 when none is
    std::string field{};   // the field or record concerned, as the file has it
    std::string detail{};  // what else the message names (see LoadProblem)
    long long count = 0;
};

}  // namespace kavra
