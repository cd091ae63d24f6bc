#pragma once
// Loading one performance data file into the data set: the Open command's work,
// shared by the viewer and kavra-batch. The first file creates the data set; each
// later file adds a layer of values for the same items, matched by name.
//
// The loader parses the file into a LoadedFile, and the data set applies it only
// when the file has been read whole: a file that fails leaves the data set as it
// was, and the outcome says what the caller has to do about it.

#include "data/DataSet.h"
#include "data/Edition.h"
#include "data/FollowStart.h"
#include "data/LoadDiagnostic.h"

#include <optional>
#include <string>
#include <string_view>

namespace kavra {

// The threads a load uses unless told otherwise: KAVRA_THREADS when it holds a
// whole number of at least 1, otherwise one per core.
int defaultLoadThreads();

// What the loader tells the user while it works. Every hook is optional.
class LoadObserver {
public:
    virtual ~LoadObserver() = default;
    virtual void status(const std::string &text) { (void)text; }
    virtual void progressStart(int maximum) { (void)maximum; }
    virtual void progress(int row) { (void)row; }
    virtual void progressEnd() {}
    // Called every few hundred records: a chance to let window events run.
    virtual void keepAlive() {}
    // A problem that does not stop loading (a short record, a cut-off last record).
    virtual void diagnostic(const LoadDiagnostic &diagnostic) { (void)diagnostic; }
};

struct LoadOutcome {
    bool loaded = false;
    LoadDiagnostic failure;  // what stopped the load
    // A first file failed in a way that leaves no usable file: the caller closes
    // all files. A later file never asks for it.
    bool closeAllFiles = false;
    // Where following a file loaded from disk goes on from.
    std::optional<FollowStart> follow;
};

// How a load reads the data records. The results are the same either way.
struct LoadOptions {
    int threads = defaultLoadThreads();  // 1 reads every record on the calling thread
    // The size of the pieces the records are cut into for the threads; 0 lets the
    // loader choose from the file's size (and read small files on one thread).
    size_t chunkBytes = 0;
    // The rules the records are read by: the earlier edition reads an invalid
    // value as the number its leading characters form and reports no short records.
    Edition edition = Edition::Kavra;
    // A file on disk larger than windowAbove bytes is not held whole: its records
    // are read about windowBytes at a time (shared among the threads) and let go
    // once counted or parsed, so its text costs that window, not its size.
    size_t windowAbove = size_t(64) << 20;
    size_t windowBytes = size_t(32) << 20;
};

class Loader {
public:
    Loader(DataSet &data, LoadObserver &observer, LoadOptions options = {});
    LoadOutcome load(const std::string &path);
    // The same for bytes already in memory, loaded under the given name.
    LoadOutcome loadBytes(const std::string &name, std::string_view bytes);

private:
    LoadOutcome run(const std::string &path, std::optional<std::string_view> bytes);

    DataSet &data_;
    LoadObserver &observer_;
    LoadOptions options_;
};

}  // namespace kavra
