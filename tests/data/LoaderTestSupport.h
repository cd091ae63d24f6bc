#pragma once
#include "data/DataSet.h"
#include "data/LoadMessages.h"
#include "items/ItemList.h"
#include "items/ListFiles.h"
#include "support/TempDir.h"

#include <string>
#include <vector>

// The message text and title the user is shown for a failed load.
inline std::string messageOf(const kavra::LoadOutcome &outcome)
{
    return kavra::loadMessage(outcome.failure).text;
}
inline std::string titleOf(const kavra::LoadOutcome &outcome)
{
    return kavra::loadMessage(outcome.failure).title;
}

// A data set and item list with a loader over them that records what it tells the user.
struct LoaderFixture : kavra::LoadObserver {
    kavra::DataSet data;
    kavra::ItemList items;
    TempDir dir;
    std::vector<std::string> statuses;
    std::vector<std::string> diagnostics;
    std::vector<kavra::LoadDiagnostic> typedDiagnostics;
    kavra::LoadOptions options;

    void status(const std::string &text) override { statuses.push_back(text); }
    void diagnostic(const kavra::LoadDiagnostic &diagnostic) override
    {
        const kavra::LoadMessage message = kavra::loadMessage(diagnostic);
        diagnostics.push_back(message.title + "|" + message.text);
        typedDiagnostics.push_back(diagnostic);
    }

    kavra::LoadOutcome load(const std::string &name, const std::string &bytes)
    {
        kavra::ItemLoader loader(data, items, *this, options);
        return loader.load(dir.write(name, bytes));
    }

    std::vector<std::string> itemNames() const
    {
        std::vector<std::string> names;
        for (const auto &row : items.current().rows)
            names.push_back(row.text);
        return names;
    }
};

// The ways of reading the data records that every loader test runs: on one
// thread, on several threads in chunks so small that nearly every record starts
// one, and with the file read a window of a few bytes (or KiB) at a time rather
// than held whole.
struct LoadMode {
    const char *name;
    kavra::LoadOptions options;
};

inline std::vector<LoadMode> loadModes()
{
    using kavra::Edition;
    return {{"OneThread", {1, 0}},
            {"ThreeThreadsTinyChunks", {3, 16}},
            {"OneThreadTinyWindows", {1, 0, Edition::Kavra, 0, 48}},
            {"TwoThreadsKiBWindows", {2, 0, Edition::Kavra, 0, 4096}}};
}

// Files the loader rejects, with the start of their message and whether the
// failure closes all files when they are loaded after a good file.
struct Rejection {
    const char *name;
    std::string bytes;
    std::string message;
    bool closesAll;
};

inline std::vector<Rejection> rejectedFiles()
{
    return {
        Rejection{"Empty", "", "File has incorrect format - can't find any record terminators", false},
        Rejection{"NoTerminator", "N,x y z", "File has incorrect format - can't find any record terminators", false},
        Rejection{"Binary",
                  std::string("\x7f"
                              "ELF\0\0\x01\n\x02\x03",
                              10),
                  "Record #1 in file has incorrect format", false},
        Rejection{"NoCommaInRecord1", "NODE\nSample Time,A\n1,2\n", "Record #1 in file has incorrect format", false},
        Rejection{"NoHeader", "N,x\na\nb\nc\nd\ne\nSample Time,A\n", "Record #2 in file has incorrect format", false},
        Rejection{"EmptyBlock", "N,x\n$$$ START COLUMN HEADERS $$$\n$$$ END COLUMN HEADERS $$$\n1\n",
                  "File has incorrect format", false},
        Rejection{"BlockWithoutEnd", "N,x\n$$$ START COLUMN HEADERS $$$\nSample Time,A\n10:00,1\n",
                  "File has incorrect format - the column headers have no", false},
        Rejection{"TwoEmptyHeaderLines", "N,x\n$$$ START COLUMN HEADERS $$$\n\n\n$$$ END COLUMN HEADERS $$$\n1\n",
                  "Blank Column Header text detected - cannot continue ...", false},
        Rejection{"BlankHeader", "N,x\nd\nSample Time,,B\n10:00,1,2\n10:01,1,2\n",
                  "Blank Column Header text detected - cannot continue ...", false},
        Rejection{"InvalidValue", "N,x\nd\nSample Time,CPU Busy\n10:00,1\n10:01, N/a \n",
                  "Invalid data (  N/a  ) detected in row 10:01", false},
        Rejection{"BadExponent", "N,x\nd\nSample Time,CPU Busy\n10:00,ERR\n10:01,1\n", "Error - Type mismatch", false},
        Rejection{"OverlongRecord", "N,x\nd\nSample Time,A\n10:00," + std::string(200000, '1') + "\n10:01,1\n",
                  "File has incorrect format - a record is longer than", false},
    };
}
