#pragma once
// Everything a load shows the user, written down as text, so that two ways of
// loading the same files can be compared whole: the outcome, every message and
// status text, how progress moved, and the data set and item list left behind.
// Used by the loader tests and the loader fuzz target.

#include "data/DataSet.h"
#include "data/LoadMessages.h"
#include "items/ItemList.h"
#include "items/ListFiles.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

// A load observer that keeps what it is told.
struct RecordingObserver : kavra::LoadObserver {
    std::vector<std::string> statuses;
    std::vector<std::string> diagnostics;
    std::vector<int> progressValues;
    std::vector<int> progressMaxima;
    int progressEnds = 0;
    int keepAlives = 0;

    void status(const std::string &text) override { statuses.push_back(text); }
    void progressStart(int maximum) override { progressMaxima.push_back(maximum); }
    void progress(int row) override { progressValues.push_back(row); }
    void progressEnd() override { ++progressEnds; }
    void keepAlive() override { ++keepAlives; }
    void diagnostic(const kavra::LoadDiagnostic &diagnostic) override
    {
        const kavra::LoadMessage message = kavra::loadMessage(diagnostic);
        diagnostics.push_back(message.title + "|" + message.text);
    }

    // What the user sees of the progress bar: its range, and that it only rises
    // and ends at the rows read (the steps in between depend on the threads).
    std::string progressSeen() const
    {
        std::string seen;
        for (const int maximum : progressMaxima)
            seen += "range 1.." + std::to_string(maximum) + "\n";
        bool rising = true;
        for (size_t i = 1; i < progressValues.size(); ++i)
            rising = rising && progressValues[i] >= progressValues[i - 1];
        seen += rising ? "rising\n" : "NOT RISING\n";
        if (!progressValues.empty())
            seen += "ends at " + std::to_string(progressValues.back()) + "\n";
        seen += "hidden " + std::to_string(progressEnds) + " times\n";
        return seen;
    }

    void clear() { *this = RecordingObserver(); }
};

// A value's bits in hexadecimal: equal texts are equal values, NaNs and zeros included.
inline std::string valueText(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, bits >>= 4)
        text[size_t(i)] = "0123456789abcdef"[bits & 15];
    return text;
}

inline std::string describeDataSet(const kavra::DataSet &data, const kavra::ItemList &items)
{
    std::string text = "files " + std::to_string(data.Files_Open) + " of " + std::to_string(data.Max_Files) +
                       ", rows " + std::to_string(data.Row_Count) + ", columns " + std::to_string(data.Column_Count) +
                       ", last used " + std::to_string(data.Last_Used_Column) + "\n";
    text += "node " + data.Node_Name + ", date " + data.Collection_Date_Text + ", line 1 " + data.Line1 + "\n";
    for (int f = 0; f < data.Files_Open; ++f)
        text += "file " + data.File_Names[f] + " node " + data.Node_Names[f] + " header " + data.File_Header_Lines[f] +
                " line 1 " + data.File_Line1[f] + "\n";
    const kavra::PerfData &table = data.Perf_Data;
    text += "table " + std::to_string(table.rows()) + " x " + std::to_string(table.columns()) + " x " +
            std::to_string(table.files()) + "\n";
    for (int f = 1; f <= table.files(); ++f)
        for (int c = 1; c <= table.columns(); ++c) {
            text += "(" + std::to_string(f) + "," + std::to_string(c) + ")";
            for (int r = 1; r <= table.rows(); ++r)
                text += " " + valueText(table(r, c, f));
            text += "\n";
        }
    text += "x axis";
    for (const double x : data.Xaxis_Values)
        text += " " + valueText(x);
    text += "\ncolumn map";
    for (int f = 1; f <= data.Files_Open; ++f)
        for (int c = 1; c <= data.Column_Map.fileColumns(); ++c)
            text += " " + std::to_string(data.Column_Map(c, f));
    text += "\n";
    for (int i = 0; i <= items.index(); ++i)
        for (const kavra::ItemRow &row : items.revision(i).rows)
            text += "item " + std::to_string(i) + " " + row.text + " tag " + std::to_string(row.tag) + " " +
                    row.subItems[0] + " " + row.subItems[1] + " " + row.subItems[2] + "\n";
    return text;
}

inline std::string describeLoad(const kavra::LoadOutcome &outcome, const RecordingObserver &observer)
{
    std::string text = outcome.loaded ? "loaded\n" : "failed\n";
    const kavra::LoadMessage message = kavra::loadMessage(outcome.failure);
    text += "message " + message.text + "\ntitle " + message.title +
            (outcome.closeAllFiles ? "\ncloses all files\n" : "\n");
    for (const std::string &diagnostic : observer.diagnostics)
        text += "diagnostic " + diagnostic + "\n";
    for (const std::string &status : observer.statuses)
        text += "status " + status + "\n";
    return text + observer.progressSeen();
}

// Loads the files one after another through one loader, as repeated Open commands
// in the window do (a failure that asks for it closes all files), and describes
// each load and the data set after it.
inline std::string loadAndDescribe(const std::vector<std::string> &files, const kavra::LoadOptions &options)
{
    kavra::DataSet data;
    kavra::ItemList items;
    RecordingObserver observer;
    kavra::ItemLoader loader(data, items, observer, options);
    std::string text;
    for (size_t i = 0; i < files.size(); ++i) {
        observer.clear();
        const kavra::LoadOutcome outcome = loader.loadBytes("file" + std::to_string(i + 1) + ".csv", files[i]);
        if (outcome.closeAllFiles) {
            data.closeAll();
            items.clear();
        }
        text +=
            "--- file " + std::to_string(i + 1) + "\n" + describeLoad(outcome, observer) + describeDataSet(data, items);
    }
    return text;
}

inline std::string describeFollow(const std::optional<kavra::FollowStart> &follow)
{
    if (!follow)
        return "not followed\n";
    return "follow " + follow->path + " file " + std::to_string(follow->file) + " rows " +
           std::to_string(follow->rows) + " offset " + std::to_string(follow->offset) +
           (follow->lastRowOpen ? " open" : "") + (follow->ended ? " ended" : "") + " columns " +
           std::to_string(follow->columnCount) + " head " + follow->head + "\n";
}

// The same for files on disk, with where following each goes on from.
inline std::string loadPathsAndDescribe(const std::vector<std::string> &paths, const kavra::LoadOptions &options)
{
    kavra::DataSet data;
    kavra::ItemList items;
    RecordingObserver observer;
    kavra::ItemLoader loader(data, items, observer, options);
    std::string text;
    for (const std::string &path : paths) {
        observer.clear();
        const kavra::LoadOutcome outcome = loader.load(path);
        if (outcome.closeAllFiles) {
            data.closeAll();
            items.clear();
        }
        text += "--- " + path + "\n" + describeLoad(outcome, observer) + describeFollow(outcome.follow) +
                describeDataSet(data, items);
    }
    return text;
}
