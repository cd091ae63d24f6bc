#pragma once
// The writers of the picture formats that need libraries of their own: GIF and
// PCX (GraphicsMagick), EPS (librsvg on cairo) and EMF (libEMF). They are built
// into a module of Kavra's own, kavra-picture-writers.so, which a program loads
// the first time a picture needs it, so that starting the viewer or reading
// files with kavra-batch never pays for loading those libraries.

#include "output/PictureWritersTable.h"

#include <QString>
#include <QStringList>

#include <string>

namespace kavra {

// The module loaded from the first of the folders that holds it; it stays loaded.
class PictureWritersModule {
public:
    explicit PictureWritersModule(const QStringList &folders);

    // Null when the module could not be loaded; error() then says why.
    const PictureWriters *writers() const { return writers_; }
    const QString &error() const { return error_; }

private:
    const PictureWriters *writers_ = nullptr;
    QString error_;
};

// The folders a program looks in: its own (so the build tree works as it is),
// then the installed module folder, found from the program's own.
QStringList pictureWritersFolders();

// The writers, through the module this program finds, loaded on the first call.
// When it cannot be loaded they fail, with error saying which formats are out of
// reach and why, and an export reports that as it reports any failure.
std::string magickPicture(const unsigned char *rgb, int width, int height, const char *format, std::string &error);
std::string epsPicture(const std::string &svg, double widthPoints, double heightPoints, std::string &error);
std::string emfPicture(const VectorPicture &picture, std::string &error);

}  // namespace kavra
