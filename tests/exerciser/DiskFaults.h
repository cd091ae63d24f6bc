#pragma once
// The places a save or export may be sent to besides a plain file of the output
// folder: a disk that fills up (a file size limit, as RLIMIT_FSIZE gives without
// root), a folder that cannot be written, a name that is a folder, a symbolic
// link, a folder that is not there, and the very data file that is loaded.

#include "WriteRecord.h"

#include <QString>
#include <QStringList>

#include <sys/resource.h>

class Random;

class DiskFaults {
public:
    DiskFaults(Random &random, QString outputFolder);
    ~DiskFaults();

    // The name typed into a save dialog for a file of stem and extension (which
    // may be left off, for the command to add); sets the record's fault. A size
    // limit chosen here holds until lift().
    QString target(const QString &stem, const QString &extension, const QString &loadedFile, Written &record);
    // Ends a size limit; called after every action, before anything is checked.
    void lift();

    // The files a write of typed may touch (typed, and typed with each of the
    // extensions added) as they are now.
    static std::vector<FileBefore> snapshot(const QString &typed, const QStringList &extensions);
    // Every folder the writes may go to, for the check on files left behind.
    QStringList folders() const;

private:
    Random &random_;
    QString out_;
    rlimit original_{};
    bool limited_ = false;
};

// After a step in which messages were shown: every write that was followed by
// a message left the files it could touch as they were; every write without one left a whole file (a data
// file that loads again is checked elsewhere, a picture its format's header and
// size, a list its lines); a write that cannot succeed was not silent.
QString writesFailSafely(const std::vector<Written> &written, size_t messages);
// Whether path is a whole file of the picture format of extension (".png").
bool looksWhole(const QString &path, const QString &extension);
// The file a write of record goes to: its name, or its name with the extension
// the command adds; empty when nothing is to be written.
QString writtenPath(const Written &record);
