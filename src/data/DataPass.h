#pragma once
// The data pass of one load: every data record read into the new layer, either
// on the calling thread or in chunks that start at record boundaries on several
// threads. The calling thread keeps everything it had and waits for the chunks;
// both ways give the same values, the same first error in file order (with its
// row and field), the same column-count diagnostic and the same end of data.

#include "data/FileBytes.h"
#include "data/Loader.h"
#include "data/RecordParser.h"

#include <functional>
#include <string_view>
#include <vector>

namespace kavra {

// Records between two progress reports, which are also the chances to let window
// events run.
inline constexpr int kRecordsPerTick = 256;

// The records from a position on up to the end of data, counted chunk by chunk.
struct RecordScan {
    struct Chunk {
        size_t begin = 0, end = 0;  // byte range; begin is a record's first byte
        long long before = 0;       // records counted in the chunks before this one
        long long records = 0;      // records of this chunk before the end of data
    };
    size_t start = 0;
    std::vector<Chunk> chunks;
    long long records = 0;  // records before the end of data
    bool overlong = false;  // the scan stopped at a record the format cannot hold
    bool endOfData = false; // the scan stopped at an end-of-data record
};

// Scans as the one-thread reader would read from start (a record's first byte,
// before the end of the content): the first record is always read, a later one
// only while more than a terminator's length is left; a "Column Average" or NUL
// record ends the data, and so does a record too long for the format. With a
// window, content is a file held range by range: each chunk is presented while it
// is scanned; a chunk the file no longer holds ends the scan (the window says so).
RecordScan scanRecords(std::string_view content, std::string_view terminator, size_t start, int threads,
                       size_t chunkBytes, FileBytes *window = nullptr);

// The byte size of the chunks for a data section of the given size, or 0 when the
// section is better read on one thread.
size_t parallelChunkBytes(const LoadOptions &options, size_t sectionBytes);

struct DataPassSetup {
    std::string_view content;
    std::string_view terminator;
    size_t start = 0;  // the first data record
    int rowLimit = 0;  // the table's rows: records past them are not read
    RecordLayout layout;
    int tableColumns = 0;
    // Receives the table's columns (tableColumns of them), compressed, with the
    // rows the pass read.
    std::vector<CompressedColumn> *columns = nullptr;
    // Where content is a file held range by range: the parallel pass presents each
    // chunk while it reads it. The one-thread pass needs content held whole.
    FileBytes *window = nullptr;
};

// Where a data pass left the records.
struct DataEnd {
    size_t next = 0;         // the first byte of the first record not read
    size_t lastStart = 0;    // where the record of the last row read starts
    bool endOfData = false;  // an end-of-data record comes next
};

// The end of a pass that read rows rows from setup.start on; scan, when given,
// is the one the pass read, so the records are walked from the chunk holding
// the last row only.
DataEnd findDataEnd(const DataPassSetup &setup, const RecordScan *scan, int rows);

// Called for the first record with fewer fields than the header, unless it is the
// last row read or an error comes first.
using ShortRecordHook = std::function<void(int row, int fieldsRead, std::string_view record)>;

// Both return the number of rows read. The one-thread pass reports short records
// as it meets them; the parallel one reads the records of the scan, which must
// have started at setup.start, and reports after the chunks are done.
int readDataOneThread(const DataPassSetup &setup, LoadObserver &observer, const ShortRecordHook &onShortRecord);
int readDataParallel(const DataPassSetup &setup, const RecordScan &scan, int threads, LoadObserver &observer,
                     const ShortRecordHook &onShortRecord);

}  // namespace kavra
