#include "data/LoadMessages.h"

#include "data/NumberText.h"
#include "data/RecordReader.h"
#include "data/Text.h"

#include <string_view>
#include <vector>

namespace kavra {
namespace {

using text::splitFields;

constexpr std::string_view kSampleTime = "SAMPLE TIME";

std::string number(long long n)
{
    return signedNumberText(static_cast<double>(n));
}

// The numbers, from 1, of the fields that match, each followed by a comma.
std::string fieldList(const std::vector<std::string_view> &fields, bool (*matches)(std::string_view))
{
    std::string list;
    for (size_t i = 0; i < fields.size(); ++i)
        if (matches(text::trimBlanks(fields[i])))
            list += number(static_cast<long long>(i) + 1) + ",";
    return list;
}

std::string mismatchText(const LoadDiagnostic &d)
{
    const std::string crlf = "\r\n";
    const auto headers = splitFields(d.detail), fields = splitFields(d.field);
    std::string text = "Column count mismatch in data row # " + number(d.row) + crlf;
    text += "       Column Header count : " + number(static_cast<long long>(headers.size())) + crlf;
    text += "         Data Column Count : " + number(d.count) + crlf + crlf;
    text += "Column Header Sections start in the following columns :" + crlf;
    text += fieldList(headers, [](std::string_view f) { return text::containsNoCase(f, kSampleTime); });
    text.pop_back();
    text += " ... " + number(static_cast<long long>(headers.size())) + crlf + crlf;
    text += "Whereas Data Sections seem to start in these columns :" + crlf;
    text += fieldList(fields, [](std::string_view f) { return f.find(':') != std::string_view::npos; });
    text.pop_back();
    text += " ... " + number(static_cast<long long>(fields.size()));
    return text;
}

}  // namespace

LoadMessage loadMessage(const LoadDiagnostic &d)
{
    const std::string format = "File has incorrect format";
    switch (d.kind) {
    case LoadProblem::None: return {};
    case LoadProblem::TooManyFiles:
        return {"Cannot open more than" + number(d.count) + " files - close the files first", kOpenFileTitle};
    case LoadProblem::CannotOpen: return {"Error : " + d.detail + " generated while opening file", ""};
    case LoadProblem::NoTerminator: return {format + " - can't find any record terminators", kOpenFileTitle};
    case LoadProblem::FileChanged:
        return {"File changed while it was being read - please open it again", kOpenFileTitle};
    case LoadProblem::OverlongRecord:
        return {format + " - a record is longer than" + number(static_cast<long long>(kRecordChunk)) + " characters",
                kOpenFileTitle};
    case LoadProblem::BadNodeRecord: return {"Record #1 in file has incorrect format", kOpenFileTitle};
    case LoadProblem::BadHeaderRecord: return {"Record #2 in file has incorrect format", kOpenFileTitle};
    case LoadProblem::NoEndMarker:
        return {format + " - the column headers have no \"$$$ END COLUMN HEADERS $$$\" record", kOpenFileTitle};
    case LoadProblem::NoColumnHeaders: return {format, kOpenFileTitle};
    case LoadProblem::BlankColumnName:
        return {"Blank Column Header text detected - cannot continue ...", kOpenFileTitle};
    case LoadProblem::InsufficientData: return {"Insufficient data in file", kOpenFileTitle};
    case LoadProblem::TooManyRows: return {format + " - too many rows of data", kOpenFileTitle};
    case LoadProblem::NoMemoryForFile: return {"No More MEMORY ... Cannot open any more files - Sorry ! ", ""};
    case LoadProblem::OutOfMemory: return {"Error : Out of memory generated while opening file", ""};
    case LoadProblem::InvalidValue:
        return {"Invalid data ( " + text::quoted(d.field) + " ) detected in row " + text::quoted(d.detail),
                kOpenFileTitle};
    case LoadProblem::UnreadableField:
        return {"Error - " + d.detail + " - generated while extracting data from file", ""};
    case LoadProblem::ColumnCountMismatch: return {mismatchText(d), kMismatchTitle};
    case LoadProblem::CutOffRecord: return {"The last record is incomplete and was left out", kOpenFileTitle};
    }
    return {};
}

}  // namespace kavra
