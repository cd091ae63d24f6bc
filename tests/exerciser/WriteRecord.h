#pragma once
// What the exerciser remembers of a file the viewer was asked to write: the
// dialog's filter and answer, the fault the write was sent into, and the files
// it could touch as they were before, so that a failure can be shown to have
// left them alone and a success to have written a whole file.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

struct FileBefore {
    QString path;
    bool existed = false;
    bool link = false;
    bool folder = false;
    QByteArray bytes;  // of a regular file (through a link)
};

struct Written {
    QString path;  // as typed into the dialog
    QString filter;
    std::optional<int> filterIndex;  // the type chosen in a picture dialog; none in the one-type dialogs
    QString fault;                   // empty for a plain write into the output folder
    bool mustFail = false;
    bool declined = false;  // "replace it?" answered No
    size_t messagesAt = 0;  // messages shown before the dialog answered
    std::vector<FileBefore> before;
};
