#include "data/Loader.h"

#include "data/DataError.h"
#include "data/DataPass.h"
#include "data/FieldReader.h"
#include "data/FileBytes.h"
#include "data/HeapReuse.h"
#include "data/LoadFailure.h"
#include "data/RecordReader.h"
#include "data/Text.h"
#include "data/TimeStrings.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>

namespace kavra {
namespace {

using text::splitFields;

using text::containsNoCase;
using text::trimBlanks;
using text::upperCased;

constexpr std::string_view kStartMarker = "$$$ START COLUMN HEADERS $$$";
constexpr std::string_view kEndMarker = "$$$ END COLUMN HEADERS $$$";
constexpr std::string_view kSampleTime = "SAMPLE TIME";
constexpr size_t kFollowHead = 4096;  // the head bytes following a file checks it by

// One run of the loader over one file: it reads the data set (the files open,
// their rows and column names) but changes nothing in it. Everything the file
// gives is parsed into a LoadedFile, which the data set applies only when the
// whole file has been read.
class FileLoad {
public:
    // Parses the file at path, or the given bytes under that name.
    FileLoad(const DataSet &data, LoadObserver &observer, const LoadOptions &options, std::string path,
             std::optional<std::string_view> bytes = std::nullopt)
        : data_(data), observer_(observer), options_(options), path_(std::move(path))
    {
        if (bytes)
            content_ = bytes->data() ? *bytes : std::string_view("", 0);
    }

    LoadedFile run()
    {
        observer_.status("Opening file " + path_ + " - please wait ... ");
        parsed_.fileNumber = data_.Files_Open + 1;
        first_ = parsed_.fileNumber == 1;
        const bool onDisk = !content_.data();
        readContent(onDisk);
        try {
            parse(onDisk);
        } catch (...) {
            // A file read range by range that changed meanwhile is refused as such,
            // whatever its changed bytes made of the load: as when it is read whole
            // first and checked before anything is parsed.
            if (file_.windowed())
                checkUnchanged();
            throw;
        }
        return std::move(parsed_);
    }

    // Whether the load failed for want of memory for the values.
    bool outOfMemory() const { return outOfMemory_; }

    // Where following the file goes on from; only for a file read from disk.
    std::optional<FollowStart> followStart(const LoadedFile &parsed) const
    {
        if (!file_.opened())
            return std::nullopt;
        FollowStart start;
        start.path = path_;
        start.file = parsed.fileNumber;
        start.terminator = std::string(terminator_);
        start.rows = rowsRead_;
        start.lastRowOpen = rowsRead_ > 0 && end_.next == content_.size() && !content_.ends_with(terminator_);
        start.offset = start.lastRowOpen ? end_.lastStart : end_.next;
        start.ended = end_.endOfData;
        start.device = static_cast<uint64_t>(file_.opened()->st_dev);
        start.inode = static_cast<uint64_t>(file_.opened()->st_ino);
        start.head = std::string(file_.bytes().substr(0, std::min<size_t>(start.offset, kFollowHead)));
        start.columnCount = columnCount_;
        start.header = header_;
        start.shortRecordReported = shortRecordReported_;
        start.columnMap = parsed.columnMap;
        start.collectionDate = parsed.collectionDate;
        start.classicRules = options_.edition == Edition::Classic;
        return start;
    }

private:
    void parse(bool onDisk)
    {
        if (parsed_.fileNumber > data_.Max_Files)
            failLoad({.kind = LoadProblem::TooManyFiles, .count = data_.Max_Files});

        RecordReader reader(content_, terminator_);
        readNodeRecord(reader);
        findHeader(reader);
        readColumnHeadings();
        leaveOutCutOffRecord();
        if (first_)
            countRows(RecordReader(content_, terminator_, dataStart_));
        sizeDataSet();
        observer_.status("Extracting data from " + path_ + " ... ");
        readData();
        file_.keepHead(kFollowHead);  // what following the file compares its head with
        if (onDisk)
            checkUnchanged();
        observer_.status("Fixing up time strings ... ");
        parsed_.path = path_;
    }

    // The bytes and their record terminator. The terminator is looked for in the
    // file's head alone, so a file without one is refused before the rest of it
    // is read.
    void readContent(bool onDisk)
    {
        const auto check = [](const std::string &error) {
            if (!error.empty())
                failLoad({.kind = LoadProblem::CannotOpen, .detail = error});
        };
        if (onDisk) {
            check(file_.open(path_));
            check(file_.read(kRecordChunk));
            content_ = file_.bytes();
        }
        terminator_ = detectTerminator(content_);
        if (terminator_.empty())
            failLoad(LoadProblem::NoTerminator);
        if (onDisk) {
            if (static_cast<size_t>(file_.opened()->st_size) > options_.windowAbove) {
                // The head and the tail are read through once; the records between
                // a window at a time.
                const size_t kept = std::clamp<size_t>(options_.windowBytes, 16, kRecordChunk);
                check(file_.reserve(kept, kept));
            } else {
                check(file_.read(SIZE_MAX, options_.threads));
            }
            content_ = file_.bytes();
            checkUnchanged();
        }
    }

    // What was read must be one state of the file: a collector that truncates or
    // extends it meanwhile leaves records of two states, or part of a record.
    void checkUnchanged() const
    {
        if (file_.changed())
            failLoad(LoadProblem::FileChanged, first_);
    }

    static void checkLength(bool overlong)
    {
        if (overlong)
            failOverlongRecord();
    }
    static void checkLength(const RecordReader &reader) { checkLength(reader.overlong()); }

    // The next record before the data; of a file read range by range it is read
    // into the kept head first.
    std::string_view nextHeadRecord(RecordReader &reader)
    {
        if (file_.windowed())
            keepRecordAt(reader.position());
        return reader.next();
    }

    void keepRecordAt(size_t at)
    {
        for (;;) {
            const size_t kept = file_.headKept();
            if (kept >= content_.size() || content_.substr(0, kept).find(terminator_, at) != std::string_view::npos)
                return;
            // Longer than a record may be: the reader refuses it whatever follows.
            if (terminator_ != "\r\n" && kept > at + kRecordChunk + terminator_.size())
                return;
            if (!file_.keepHead(kept * 2))
                checkUnchanged();
        }
    }

    void readNodeRecord(RecordReader &reader)
    {
        const std::string &line1 = parsed_.line1 = std::string(nextHeadRecord(reader));
        checkLength(reader);
        start_ = !line1.empty() && line1.front() == ',' ? 1 : 0;
        const size_t comma = line1.find(',', start_);
        if (comma == std::string::npos)
            failLoad(LoadProblem::BadNodeRecord);
        parsed_.nodeName = line1.substr(start_, comma - start_);
    }

    void findHeader(RecordReader &reader)
    {
        bool found = false;
        std::string_view record;
        for (int count = 1; count <= 5 && !found; ++count) {
            record = nextHeadRecord(reader);
            checkLength(reader);
            if (count == 1)
                takeCollectionDate(record);
            found = containsNoCase(record, "TIME") || containsNoCase(record, kStartMarker);
        }
        if (!found)
            failLoad(LoadProblem::BadHeaderRecord);
        if (!containsNoCase(record, kStartMarker)) {
            header_ = std::string(record);
            dataStart_ = reader.position();
            return;
        }
        std::vector<std::string_view> lines;
        for (;;) {
            if (reader.atEnd())
                failLoad(LoadProblem::NoEndMarker);
            const std::string_view line = nextHeadRecord(reader);
            checkLength(reader);
            if (containsNoCase(line, kEndMarker))
                break;
            lines.push_back(line);
        }
        dataStart_ = reader.position();
        for (size_t i = 0; i < lines.size(); ++i)
            header_ += (i ? "," : "") + std::string(lines[i]);
        if (header_.empty())
            failLoad(LoadProblem::NoColumnHeaders);
    }

    void takeCollectionDate(std::string_view record)
    {
        std::string_view field = record.substr(std::min(start_, record.size()));
        field = trimBlanks(field.substr(0, field.find(',')));
        parsed_.collectionDate = timestr::readDate(field) ? std::string(field) : std::string();
    }

    void readColumnHeadings()
    {
        headerFields_ = splitFields(header_);
        observer_.status("Extracting column headings from " + path_ + " ... 1");
        std::vector<std::string> &names = parsed_.names;
        for (const std::string_view field : headerFields_) {
            names.push_back(columnName(field));
            if (names.back().empty())
                failLoad({.kind = LoadProblem::BlankColumnName, .count = static_cast<long long>(names.size())}, first_);
            // Names are kept as UTF-8; one written in Windows-1252 is written back so.
            const bool windows1252 = !text::isUtf8(names.back());
            if (windows1252)
                names.back() = text::windows1252ToUtf8(names.back());
            parsed_.windows1252Names.push_back(windows1252);
        }
        columnCount_ = static_cast<int>(names.size());
        observer_.status("Extracting column headings from " + path_ + " ... 2");
        observer_.status("Extracting column headings from " + path_ + " ... 3");
        std::vector<int32_t> &columnMap = parsed_.columnMap;
        columnMap.assign(static_cast<size_t>(columnCount_), 0);
        if (first_) {
            for (int c = 1; c <= columnCount_; ++c)
                columnMap[static_cast<size_t>(c - 1)] =
                    c == 1 || !containsNoCase(headerFields_[static_cast<size_t>(c - 1)], kSampleTime) ? c : 0;
            return;
        }
        // A later file's columns go where the first file's items of the same name are.
        for (int c = 1; c <= columnCount_; ++c)
            columnMap[static_cast<size_t>(c - 1)] = data_.itemColumn(names[static_cast<size_t>(c - 1)]);
    }

    void countRows(RecordReader reader)
    {
        observer_.status("Counting number of rows of data in " + path_);
        long long rows = 0;
        if (const size_t chunkBytes = chunkBytesFrom(reader.position())) {
            observer_.keepAlive();
            scan_ = scanRecords(content_, terminator_, reader.position(), options_.threads, chunkBytes, window());
            if (file_.windowed())
                checkUnchanged();  // a count cut short by a shrinking file is not the file's
            if (scan_->overlong)
                checkLength(true);
            rows = scan_->records;
        } else {
            do {
                if (rows % kRecordsPerTick == 0)
                    observer_.keepAlive();
                const std::string_view record = reader.next();
                checkLength(reader);
                if (isEndOfData(record))
                    break;
                ++rows;
            } while (reader.more());
        }
        if (rows < 2)
            failLoad(LoadProblem::InsufficientData, true);
        if (rows > INT32_MAX)
            failLoad(LoadProblem::TooManyRows);
        parsed_.rowCount = static_cast<int>(rows);
    }

    // The values are held compressed as they are read, so there is no table to
    // make room for first: memory runs out, if it does, while the data is read.
    void sizeDataSet()
    {
        if (first_)
            observer_.status("ReDimensioning the data array - please wait ... ");
        else
            parsed_.rowCount = data_.Row_Count;
    }

    void readData()
    {
        DataPassSetup setup;
        setup.content = content_;
        setup.terminator = terminator_;
        setup.start = dataStart_;
        setup.rowLimit = parsed_.rowCount;
        setup.layout = {columnCount_, &parsed_.columnMap, parsed_.collectionDate, first_,
                        options_.edition == Edition::Classic};
        // A first file's spare columns are zeros that the table makes itself.
        setup.tableColumns = first_ ? columnCount_ : data_.Perf_Data.columns();
        setup.columns = &parsed_.columns;
        setup.window = window();
        const auto onShortRecord = [this](int row, int fieldsRead, std::string_view record) {
            shortRecordReported_ = true;
            observer_.diagnostic({.kind = LoadProblem::ColumnCountMismatch,
                                  .row = row,
                                  .field = std::string(record),
                                  .detail = header_,
                                  .count = fieldsRead});
        };
        observer_.progressStart(parsed_.rowCount);
        // The compressed columns take up to a few bytes a value, the readers'
        // stages some more: the heap is made ready for two a value at once.
        adviseHugeHeap(2 * size_t(parsed_.rowCount) * size_t(setup.tableColumns));
        int rows = 0;
        try {
            if (const size_t chunkBytes = chunkBytesFrom(setup.start)) {
                if (!scan_ || scan_->start != setup.start)
                    scan_ = scanRecords(content_, terminator_, setup.start, options_.threads, chunkBytes, setup.window);
                rows = readDataParallel(setup, *scan_, options_.threads, observer_, onShortRecord);
            } else {
                rows = readDataOneThread(setup, observer_, onShortRecord);
            }
            // Rows a later file lacks are zeros.
            for (CompressedColumn &column : parsed_.columns) {
                column.appendZeros(size_t(parsed_.rowCount) - std::min(column.rows(), size_t(parsed_.rowCount)));
                column.trimSpare();  // the readers' runs were made about the right size
            }
        } catch (const std::bad_alloc &) {
            outOfMemory_ = true;
            failLoad(LoadProblem::NoMemoryForFile);
        }
        end_ = findDataEnd(setup, chunkBytesFrom(setup.start) ? &*scan_ : nullptr, rows);
        rowsRead_ = rows;
        observer_.progress(rows);
        observer_.progressEnd();
        if (cutOffAt_ != std::string_view::npos && (first_ || rows < parsed_.rowCount) && !endOfDataBefore(cutOffAt_))
            observer_.diagnostic({.kind = LoadProblem::CutOffRecord});
    }

    // A file cut off by a collector still writing it ends inside a record. Such a
    // last record, without its terminator, is not a row when it lacks fields or
    // its time cannot be read: the data then ends before it. A complete one is
    // read as any other.
    void leaveOutCutOffRecord()
    {
        const size_t lastTerminator = findLastTerminator();
        if (lastTerminator == std::string_view::npos)
            return;
        const size_t last = lastTerminator + terminator_.size();
        // Not a record the reader would read: the file ends with a terminator, or
        // no more than a terminator's length is left after it.
        if (last < dataStart_ || (last != dataStart_ && content_.size() - last <= terminator_.size()))
            return;
        const std::string_view record = content_.substr(last);
        if (isEndOfData(record) || isComplete(record))
            return;
        content_ = content_.substr(0, last);
        cutOffAt_ = last;
    }

    // Of a file read range by range, the kept tail grows until it holds the last
    // terminator (or meets the head).
    size_t findLastTerminator()
    {
        while (file_.windowed() && file_.tailKept() > file_.headKept()) {
            const size_t tail = file_.tailKept();
            const size_t at = content_.substr(tail).rfind(terminator_);
            if (at != std::string_view::npos)
                return tail + at;
            if (!file_.keepTail(tail - std::min(tail, content_.size() - tail)))
                checkUnchanged();
        }
        return content_.rfind(terminator_);
    }

    bool isComplete(std::string_view record) const
    {
        const auto fields = std::count(record.begin(), record.end(), ',') + 1;
        if (fields < columnCount_)
            return false;
        std::string scratch;
        try {
            readSampleTime(prepareField(record.substr(0, record.find(',')), scratch), parsed_.collectionDate);
        } catch (const DataError &) {
            return false;
        }
        return true;
    }

    // Whether a record that ends the data comes between the header and end.
    bool endOfDataBefore(size_t end) const
    {
        // Of a file read range by range, the scan has met the records up to the
        // first that ends the data, and noted whether it met one.
        if (file_.windowed())
            return scan_ && scan_->endOfData;
        const std::string_view records = content_.substr(dataStart_, end - dataStart_);
        for (const std::string_view mark : {std::string_view("\0", 1), std::string_view("Column Average")})
            for (size_t at = records.find(mark); at != std::string_view::npos; at = records.find(mark, at + 1))
                if (at == 0 || records.substr(0, at).ends_with(terminator_))
                    return true;
        return false;
    }

    // The chunk size when the records from start on are read on several threads, 0
    // when they are read on this one.
    size_t chunkBytesFrom(size_t start) const
    {
        if (start >= content_.size())
            return 0;
        if (file_.windowed()) {
            // Always in chunks, on one thread too: a chunk is what is presented.
            const size_t share = std::max<size_t>(1, options_.windowBytes / size_t(std::max(1, options_.threads)));
            return options_.chunkBytes > 0 ? std::min(options_.chunkBytes, share) : share;
        }
        return parallelChunkBytes(options_, content_.size() - start);
    }

    FileBytes *window() { return file_.windowed() ? &file_ : nullptr; }

    const DataSet &data_;
    LoadObserver &observer_;
    const LoadOptions &options_;
    std::string path_;
    FileBytes file_;
    std::string_view content_;
    std::string_view terminator_;
    LoadedFile parsed_;
    bool first_ = false;
    bool outOfMemory_ = false;
    bool shortRecordReported_ = false;
    size_t start_ = 0;  // where the first field of records 1 and 2 starts
    std::string header_;
    size_t dataStart_ = 0;                      // the first record after the header
    size_t cutOffAt_ = std::string_view::npos;  // where a cut-off last record was left out
    std::vector<std::string_view> headerFields_;
    int columnCount_ = 0;
    std::optional<RecordScan> scan_;  // the records as counted on several threads
    DataEnd end_;                     // where the data pass left the records
    int rowsRead_ = 0;
};

}  // namespace

Loader::Loader(DataSet &data, LoadObserver &observer, LoadOptions options)
    : data_(data), observer_(observer), options_(options)
{
}

LoadOutcome Loader::load(const std::string &path) { return run(path, std::nullopt); }

LoadOutcome Loader::loadBytes(const std::string &name, std::string_view bytes) { return run(name, bytes); }

LoadOutcome Loader::run(const std::string &path, std::optional<std::string_view> bytes)
{
    // A first file replaces the values of files closed before: their table goes
    // first, so the new one has the memory.
    const bool first = data_.Files_Open == 0;
    if (first)
        data_.Perf_Data.reset(1, 1);
    FileLoad parse(data_, observer_, options_, path, bytes);
    try {
        LoadedFile parsed = parse.run();
        LoadOutcome outcome{true, {}, false, std::nullopt};
        outcome.follow = parse.followStart(parsed);
        data_.apply(std::move(parsed));
        return outcome;
    } catch (const LoadFailure &failure) {
        observer_.progressEnd();
        if (parse.outOfMemory() && data_.Max_Files > 1)
            --data_.Max_Files;
        return failure.outcome;
    } catch (const DataError &error) {
        observer_.progressEnd();
        // Only a first file takes everything with it: a later one that fails is
        // simply not added, and the files loaded before stay as they were.
        return {false, {.kind = LoadProblem::UnreadableField, .detail = error.what()}, first, std::nullopt};
    } catch (const std::bad_alloc &) {
        observer_.progressEnd();
        return {false, {.kind = LoadProblem::OutOfMemory}, false, std::nullopt};
    }
}

}  // namespace kavra
