#pragma once
// Where the file dialogs start: for each kind of file, the folder last used for
// that kind in this run; before that, the folder of the data file loaded last,
// and with none loaded yet, the current folder. Nothing is kept between runs.

#include <QString>

#include <array>

namespace kavra {

enum class FileKind { Data, Picture, CorrelationList, Report };

class FileFolders {
public:
    QString startFolder(FileKind kind) const;
    // A dialog for kind answered with path.
    void used(FileKind kind, const QString &path);
    // A data file was loaded, from a dialog, the command line or a drop.
    void loaded(const QString &path);

private:
    std::array<QString, 4> lastUsed_;
    QString loadedFrom_;
};

}  // namespace kavra
