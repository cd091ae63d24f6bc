#include "ui/FileFolders.h"

#include <QDir>
#include <QFileInfo>

namespace kavra {

QString FileFolders::startFolder(FileKind kind) const
{
    if (const QString &last = lastUsed_[size_t(kind)]; !last.isEmpty())
        return last;
    return loadedFrom_.isEmpty() ? QDir::currentPath() : loadedFrom_;
}

void FileFolders::used(FileKind kind, const QString &path)
{
    lastUsed_[size_t(kind)] = QFileInfo(path).absolutePath();
}

void FileFolders::loaded(const QString &path)
{
    loadedFrom_ = QFileInfo(path).absolutePath();
}

}  // namespace kavra
