#pragma once
// The data files the exerciser opens: good files of both header layouts and all
// three record terminators, a second node with shuffled and extra items, a wider
// and a narrower file, broken ones (truncated, bad values, no header end,
// empty, ...), a file large enough to be read on several threads, a file that
// grows and is cut between steps, and a FIFO. The same files for every seed.

#include <QString>
#include <QStringList>

#include <string>
#include <utility>

class Random;

// A file that grows and shrinks between steps: always a beginning of the same
// text, cut anywhere after its header.
struct LiveFile {
    QString path;
    std::string full;
    size_t headerEnd = 0;
    size_t length = 0;
    int items = 0;

    // Writes the file cut to a new length; returns what was done.
    QString change(Random &random);
    // The rows a load must give: the complete records, and one more at most
    // when the last one lacks only its terminator.
    std::pair<int, int> rows() const;
    void write() const;
};

struct FilePool {
    QStringList paths;  // good files first
    LiveFile live;
    QString large, pipe;
};

// Writes the pool into folder (again: a file saved over is made as it was).
FilePool writeFilePool(const QString &folder);
