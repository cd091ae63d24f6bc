#include "data/DataPass.h"

#include "data/LoadFailure.h"
#include "data/RecordReader.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace kavra {
namespace {

constexpr size_t kMinAutoChunk = size_t(1) << 20;  // smaller sections are read on one thread
constexpr size_t kMaxChunks = size_t(1) << 16;     // bounds the bookkeeping of tiny chunks
constexpr int kMaxThreads = 256;

// Runs task(index) for every index below count on up to threads threads, each
// taking the next index as it becomes free. whileWaiting runs on the calling
// thread each time it is woken before the tasks are all done.
template <class Task>
void runTasks(int threads, size_t count, Task &task, std::mutex &mutex, std::condition_variable &wake,
              const std::function<bool()> &woken, const std::function<void()> &whileWaiting)
{
    const int workers = static_cast<int>(std::min<size_t>(static_cast<size_t>(std::max(threads, 1)), count));
    std::atomic<size_t> next{0};
    int finished = 0;
    {
        std::vector<std::jthread> pool;
        pool.reserve(static_cast<size_t>(workers));
        for (int w = 0; w < workers; ++w)
            pool.emplace_back([&] {
                auto state = task.makeWorker();
                for (size_t i = next++; i < count; i = next++)
                    task.run(state, i);
                const std::lock_guard lock(mutex);
                ++finished;
                wake.notify_all();
            });
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [&] { return finished == workers || woken(); });
            if (finished == workers)
                break;
            lock.unlock();
            whileWaiting();
            lock.lock();
        }
    }
}

// The first byte after the first terminator at or after from: a record's start
// (terminators never overlap, so any one found after a record start is one the
// one-thread reader meets too).
size_t nextRecordStart(std::string_view content, std::string_view terminator, size_t from, FileBytes *window)
{
    if (from >= content.size())
        return content.size();
    // A file held range by range is read up to the terminator for the search only.
    const size_t held = window ? window->presentThrough(from, terminator) : content.size();
    if (held == 0)
        failLoad(LoadProblem::FileChanged);
    const size_t at = content.substr(0, held).find(terminator, from);
    if (window)
        window->release(from, held);
    return at == std::string_view::npos ? content.size() : at + terminator.size();
}

// Lets go of a chunk's bytes once its worker is done with them, however it ends.
struct PresentedChunk {
    FileBytes *window;
    size_t begin, end;
    ~PresentedChunk()
    {
        if (window)
            window->release(begin, end);
    }
};

std::vector<RecordScan::Chunk> cutChunks(std::string_view content, std::string_view terminator, size_t start,
                                         size_t chunkBytes, FileBytes *window)
{
    const size_t section = content.size() - start;
    chunkBytes = std::max({chunkBytes, section / kMaxChunks, size_t(1)});
    std::vector<RecordScan::Chunk> chunks;
    size_t begin = start;
    while (begin < content.size()) {
        const size_t nominal = begin + chunkBytes;
        const size_t end =
            nominal >= content.size() ? content.size() : nextRecordStart(content, terminator, nominal - 1, window);
        chunks.push_back({begin, end, 0, 0});
        begin = end;
    }
    return chunks;
}

enum class ScanStop { None, EndOfData, Overlong, Lost };

struct ScanCounts {
    long long records = 0;
    ScanStop stop = ScanStop::None;
};

struct Records {
    std::string_view content, terminator;
    size_t start;

    // Whether the one-thread reader reads a record that starts at p.
    bool read(size_t p) const { return p == start || content.size() - p > terminator.size(); }
    // The record that starts at p, and where the next one starts, looked for no
    // further than limit: a chunk's end is a record's start, so its records end
    // within it, and a worker never reads its neighbour's bytes.
    std::string_view at(size_t p, size_t &next, size_t limit) const
    {
        const std::string_view held = content.substr(0, limit);
        const size_t end = held.find(terminator, p);
        const size_t stop = end == std::string_view::npos ? held.size() : end;
        next = end == std::string_view::npos ? held.size() : end + terminator.size();
        return held.substr(p, stop - p);
    }
};

ScanCounts scanChunk(const Records &records, const RecordScan::Chunk &chunk)
{
    const bool crlf = records.terminator == "\r\n";
    ScanCounts counts;
    for (size_t p = chunk.begin; p < chunk.end && records.read(p);) {
        const std::string_view record = records.at(p, p, chunk.end);
        if (!crlf && record.size() > kRecordChunk) {
            counts.stop = ScanStop::Overlong;
            break;
        }
        if (isEndOfData(record)) {
            counts.stop = ScanStop::EndOfData;
            break;
        }
        ++counts.records;
    }
    return counts;
}

// What one chunk of the data pass met, in the order of its records.
struct ChunkOutcome {
    struct ShortRecord {
        int row = 0, fieldsRead = 0;
        std::string record;  // a copy: the chunk's bytes may be let go before it is reported
    };
    std::optional<ShortRecord> firstShort;
    std::exception_ptr error;
    long long errorRow = 0;  // the row of the record that failed
    std::vector<CompressedColumn> run;  // the chunk's rows of every table column
};

// Progress of the parallel data pass, in file order: the rows read without a gap
// from the first record on. Workers say how far they are in their chunks; the
// waiting thread reports each kRecordsPerTick rows of that run once. So the values
// shown, and the chances the window gets to run events, are those of the
// one-thread pass, however the threads were scheduled, and never pass a record
// that failed.
class FileOrderProgress {
public:
    std::mutex mutex;
    std::condition_variable wake;

    explicit FileOrderProgress(const RecordScan &scan, long long rows)
        : scan_(scan), rows_(rows), readIn_(scan.chunks.size(), 0)
    {
    }

    // A worker has read the chunk's records up to row k (1-based, in the file).
    void reached(size_t chunk, long long k)
    {
        const std::lock_guard lock(mutex);
        readIn_[chunk] = k - scan_.chunks[chunk].before;
        changed_ = true;
        wake.notify_all();
    }
    bool changed() const { return changed_; }  // called with mutex held

    // Reports the ticks of the rows read in file order so far.
    void report(LoadObserver &observer)
    {
        long long upTo = 0;
        {
            const std::lock_guard lock(mutex);
            changed_ = false;
            while (complete_ < readIn_.size() && readIn_[complete_] == rowsIn(complete_))
                ++complete_;
            upTo = complete_ < readIn_.size() ? scan_.chunks[complete_].before + readIn_[complete_] : rows_;
        }
        reportUpTo(observer, upTo);
    }

    // Reports the ticks up to row k once the workers are done.
    void reportUpTo(LoadObserver &observer, long long k)
    {
        for (const long long ticks = std::min(k, rows_) / kRecordsPerTick; reported_ < ticks;) {
            ++reported_;
            observer.progress(static_cast<int>(reported_ * kRecordsPerTick));
            observer.keepAlive();
        }
    }

private:
    long long rowsIn(size_t chunk) const
    {
        const RecordScan::Chunk &c = scan_.chunks[chunk];
        return std::clamp<long long>(rows_ - c.before, 0, c.records);
    }

    const RecordScan &scan_;
    const long long rows_;
    std::vector<long long> readIn_;
    size_t complete_ = 0;
    long long reported_ = 0;
    bool changed_ = false;
};

class ChunkParser {
public:
    ChunkParser(const DataPassSetup &setup, const RecordScan &scan, std::vector<ChunkOutcome> &outcomes,
                FileOrderProgress &progress)
        : setup_(setup), scan_(scan), outcomes_(outcomes),
          progress_(progress), records_{setup.content, setup.terminator, setup.start}
    {
    }

    struct Worker {
        RecordParser parser;
        ColumnStage stage;
    };
    // Each worker's stage holds no more rows than the largest chunk gives it.
    Worker makeWorker() const
    {
        long long rowsToRead = 0;
        for (const RecordScan::Chunk &chunk : scan_.chunks)
            rowsToRead = std::max(rowsToRead, std::min(chunk.records, setup_.rowLimit - chunk.before));
        return {RecordParser(setup_.layout),
                ColumnStage(setup_.tableColumns, rowsToRead)};
    }

    void run(Worker &worker, size_t index)
    {
        const RecordScan::Chunk &chunk = scan_.chunks[index];
        if (chunk.before >= setup_.rowLimit || chunk.before >= firstError_.load(std::memory_order_relaxed))
            return;  // past the table, or after a record that failed: these rows are never used
        const long long last = std::min<long long>(chunk.before + chunk.records, setup_.rowLimit);
        int k = static_cast<int>(chunk.before);  // rows read before this record
        size_t p = chunk.begin;
        ChunkOutcome &outcome = outcomes_[index];
        const PresentedChunk presented{setup_.window, chunk.begin, chunk.end};
        try {
            if (setup_.window && !setup_.window->present(chunk.begin, chunk.end))
                failLoad(LoadProblem::FileChanged);
            worker.stage.beginRun(last - k);
            while (k < last) {
                const std::string_view record = records_.at(p, p, chunk.end);
                ++k;
                const int fieldsRead =
                    worker.parser.read(record, worker.stage.row(), worker.stage.stride(), worker.stage.mostDigits());
                worker.stage.rowRead();
                if (fieldsRead < setup_.layout.columnCount && k != setup_.rowLimit && !outcome.firstShort)
                    outcome.firstShort = ChunkOutcome::ShortRecord{k, fieldsRead, std::string(record)};
                if ((k - chunk.before) % kRecordsPerTick == 0)
                    progress_.reached(index, k);
            }
            outcome.run = worker.stage.takeRun();
            progress_.reached(index, k);
        } catch (...) {
            outcome.error = std::current_exception();
            outcome.errorRow = k;
            worker.stage.dropRun();
            long long known = firstError_.load();
            while (k < known && !firstError_.compare_exchange_weak(known, k)) {
            }
        }
    }

private:
    const DataPassSetup &setup_;
    const RecordScan &scan_;
    std::vector<ChunkOutcome> &outcomes_;
    FileOrderProgress &progress_;
    Records records_;
    std::atomic<long long> firstError_{LLONG_MAX};
};

struct ChunkScanner {
    const Records &records;
    RecordScan::Chunk *chunks;
    ScanCounts *counts;
    FileBytes *window;

    int makeWorker() const { return 0; }
    void run(int, size_t index) const
    {
        const PresentedChunk presented{window, chunks[index].begin, chunks[index].end};
        if (window && !window->present(chunks[index].begin, chunks[index].end))
            counts[index] = {0, ScanStop::Lost};  // the file shrank: the load sees it changed
        else
            counts[index] = scanChunk(records, chunks[index]);
    }
};

}  // namespace

int defaultLoadThreads()
{
    if (const char *text = std::getenv("KAVRA_THREADS")) {
        const std::string_view value(text);
        int threads = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), threads);
        if (ec == std::errc() && end == value.data() + value.size() && threads >= 1)
            return std::min(threads, kMaxThreads);
    }
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, unsigned(kMaxThreads)));
}

size_t parallelChunkBytes(const LoadOptions &options, size_t sectionBytes)
{
    if (options.threads <= 1 || sectionBytes == 0)
        return 0;
    if (options.chunkBytes > 0)
        return options.chunkBytes;
    if (sectionBytes < 2 * kMinAutoChunk)
        return 0;
    return std::max(kMinAutoChunk, sectionBytes / (static_cast<size_t>(options.threads) * 4));
}

RecordScan scanRecords(std::string_view content, std::string_view terminator, size_t start, int threads,
                       size_t chunkBytes, FileBytes *window)
{
    RecordScan scan;
    scan.start = start;
    scan.chunks = cutChunks(content, terminator, start, chunkBytes, window);
    std::vector<ScanCounts> counts(scan.chunks.size());
    const Records records{content, terminator, start};
    std::mutex mutex;
    std::condition_variable wake;
    ChunkScanner scanner{records, scan.chunks.data(), counts.data(), window};
    runTasks(
        threads, scan.chunks.size(), scanner, mutex, wake, [] { return false; }, [] {});
    for (size_t i = 0; i < scan.chunks.size(); ++i) {
        scan.chunks[i].before = scan.records;
        scan.chunks[i].records = counts[i].records;
        scan.records += counts[i].records;
        if (counts[i].stop != ScanStop::None) {
            scan.overlong = counts[i].stop == ScanStop::Overlong;
            scan.endOfData = counts[i].stop == ScanStop::EndOfData;
            scan.chunks.resize(i + 1);
            break;
        }
    }
    return scan;
}

int readDataOneThread(const DataPassSetup &setup, LoadObserver &observer, const ShortRecordHook &onShortRecord)
{
    RecordReader reader(setup.content, setup.terminator, setup.start);
    RecordParser parser(setup.layout);
    ColumnStage stage(setup.tableColumns, setup.rowLimit);
    int k = 0;
    bool mismatchReported = false;
    do {
        const std::string_view record = reader.next();
        if (reader.overlong())
            failOverlongRecord();
        if (isEndOfData(record))
            break;
        ++k;
        if (k % kRecordsPerTick == 0) {
            observer.progress(k);
            observer.keepAlive();
        }
        const int fieldsRead = parser.read(record, stage.row(), stage.stride(), stage.mostDigits());
        stage.rowRead();
        if (k == setup.rowLimit)
            break;
        if (fieldsRead < setup.layout.columnCount && !mismatchReported && !setup.layout.classicRules) {
            onShortRecord(k, fieldsRead, record);
            mismatchReported = true;
        }
    } while (reader.more());
    *setup.columns = stage.takeRun();
    return k;
}

DataEnd findDataEnd(const DataPassSetup &setup, const RecordScan *scan, int rows)
{
    size_t from = setup.start;
    size_t upTo = setup.content.size();  // where the records from `from` to the last row end
    long long skip = rows;
    if (scan)
        for (const RecordScan::Chunk &chunk : scan->chunks)
            if (chunk.before <= rows && chunk.begin >= from) {
                from = chunk.begin;
                upTo = chunk.end;
                skip = rows - chunk.before;
            }
    FileBytes *window = scan ? setup.window : nullptr;
    const PresentedChunk presented{window, from, upTo};
    if (window && !window->present(from, upTo))
        failLoad(LoadProblem::FileChanged);
    RecordReader reader(setup.content, setup.terminator, from);
    DataEnd end;
    end.lastStart = from;
    for (long long i = 0; i < skip; ++i) {
        end.lastStart = reader.position();
        reader.next();
    }
    end.next = reader.position();
    // The first record is always read, a later one only while the reader goes on.
    if ((rows == 0 || reader.more()) && !reader.atEnd()) {
        const size_t held = window ? window->presentThrough(end.next, setup.terminator) : 0;
        if (window && held == 0)
            failLoad(LoadProblem::FileChanged);
        end.endOfData = isEndOfData(reader.next());
        if (window)
            window->release(end.next, held);
    }
    return end;
}

int readDataParallel(const DataPassSetup &setup, const RecordScan &scan, int threads, LoadObserver &observer,
                     const ShortRecordHook &onShortRecord)
{
    const long long rows = std::min<long long>(scan.records, setup.rowLimit);
    std::vector<ChunkOutcome> outcomes(scan.chunks.size());
    FileOrderProgress progress(scan, rows);
    ChunkParser parser(setup, scan, outcomes, progress);
    runTasks(
        threads, scan.chunks.size(), parser, progress.mutex, progress.wake, [&] { return progress.changed(); },
        [&] { progress.report(observer); });
    // What the one-thread pass would have met first, in file order.
    bool mismatchReported = false;
    for (const ChunkOutcome &outcome : outcomes) {
        if (outcome.firstShort && !mismatchReported && !setup.layout.classicRules) {
            onShortRecord(outcome.firstShort->row, outcome.firstShort->fieldsRead, outcome.firstShort->record);
            mismatchReported = true;
        }
        if (outcome.error) {
            progress.reportUpTo(observer, outcome.errorRow);
            std::rethrow_exception(outcome.error);
        }
    }
    progress.reportUpTo(observer, rows);
    if (scan.overlong && scan.records < setup.rowLimit)
        failOverlongRecord();
    // The table's columns are the chunks' runs one after another, in file order.
    // Each chunk's buffers join the column as they are: no column is held twice.
    std::vector<CompressedColumn> &columns = *setup.columns;
    columns.assign(static_cast<size_t>(setup.tableColumns), CompressedColumn());
    for (ChunkOutcome &outcome : outcomes)
        for (size_t c = 0; c < outcome.run.size() && c < columns.size(); ++c)
            columns[c].append(std::move(outcome.run[c]));
    return static_cast<int>(rows);
}

}  // namespace kavra
