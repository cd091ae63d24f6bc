#include "output/PictureWriters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <dlfcn.h>

namespace kavra {
namespace {

const PictureWritersModule &programModule()
{
    static const PictureWritersModule module(pictureWritersFolders());
    return module;
}

// Runs write through the program's module, or fails with the reason it is missing.
template <typename Write> std::string throughModule(const char *formats, std::string &error, Write write)
{
    const PictureWritersModule &module = programModule();
    if (!module.writers()) {
        error =
            QStringLiteral("%1 pictures cannot be made: %2").arg(QLatin1String(formats), module.error()).toStdString();
        return {};
    }
    return write(*module.writers());
}

}  // namespace

PictureWritersModule::PictureWritersModule(const QStringList &folders)
{
    QString path;
    for (const QString &folder : folders) {
        const QString candidate = QDir(folder).filePath(QLatin1String(kPictureWritersFile));
        if (QFileInfo::exists(candidate)) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        QStringList shown;
        for (const QString &folder : folders)
            shown << QDir::toNativeSeparators(QDir::cleanPath(folder));
        error_ = QStringLiteral("Kavra's picture writers (%1) were not found in %2")
                     .arg(QLatin1String(kPictureWritersFile), shown.join(QStringLiteral(" or ")));
        return;
    }
    // Kept loaded for the rest of the run: the writers are used again and again.
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        error_ =
            QStringLiteral("Kavra's picture writers could not be loaded: %1").arg(QString::fromLocal8Bit(dlerror()));
        return;
    }
    using Entry = const PictureWriters *(*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(handle, kPictureWritersEntry));
    const PictureWriters *writers = entry ? entry() : nullptr;
    if (!writers) {
        error_ = QStringLiteral("%1 is not Kavra's picture writers module").arg(QDir::toNativeSeparators(path));
        return;
    }
    if (std::strcmp(writers->version, KAVRA_VERSION_TEXT) != 0) {
        error_ = QStringLiteral("%1 belongs to Kavra %2, not to this Kavra %3")
                     .arg(QDir::toNativeSeparators(path), QLatin1String(writers->version),
                          QLatin1String(KAVRA_VERSION_TEXT));
        return;
    }
    writers_ = writers;
}

QStringList pictureWritersFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder, QDir::cleanPath(programFolder + QStringLiteral("/" KAVRA_INSTALLED_MODULE_DIR))};
}

std::string magickPicture(const unsigned char *rgb, int width, int height, const char *format, std::string &error)
{
    return throughModule("GIF and PCX", error, [&](const PictureWriters &writers) {
        return writers.magickBytes(rgb, width, height, format, error);
    });
}

std::string epsPicture(const std::string &svg, double widthPoints, double heightPoints, std::string &error)
{
    return throughModule("EPS", error, [&](const PictureWriters &writers) {
        return writers.epsFromSvg(svg, widthPoints, heightPoints, error);
    });
}

std::string emfPicture(const VectorPicture &picture, std::string &error)
{
    return throughModule("EMF", error, [&](const PictureWriters &writers) { return writers.emfBytes(picture, error); });
}

}  // namespace kavra
