#include "DiskFaults.h"

#include "Random.h"

#include "output/ChartExport.h"
#include "ui/SaveName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kLargestKept = 64 << 20;  // bytes of an old file kept to compare

// The file size limits a write may meet: nothing at all, less than the
// smallest picture, about one, more than most.
const rlim_t kLimits[] = {0, 700, 3000, 12000, 60000, 400000};

QString subfolder(const QString &out, const char *name)
{
    return out + QLatin1Char('/') + QLatin1String(name);
}

FileBefore stateOf(const QString &path)
{
    FileBefore state;
    state.path = path;
    const QFileInfo info(path);
    state.link = info.isSymLink();
    state.existed = info.exists();  // through a link
    state.folder = info.isDir();
    if (state.existed && info.isFile() && info.size() <= kLargestKept) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            state.bytes = file.readAll();
    }
    return state;
}

bool same(const FileBefore &a, const FileBefore &b)
{
    return a.existed == b.existed && a.link == b.link && a.folder == b.folder && a.bytes == b.bytes;
}

quint32 le32(const QByteArray &bytes, int at)
{
    return bytes.size() >= at + 4 ? qFromLittleEndian<quint32>(bytes.constData() + at) : 0;
}

// A list of lines, each ended by CR LF.
bool wholeText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.readAll();
    return !text.isEmpty() && text.endsWith("\r\n");
}

}  // namespace

DiskFaults::DiskFaults(Random &random, QString outputFolder) : random_(random), out_(std::move(outputFolder))
{
    // Past the limit a write fails with "File too large" instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &original_);
    for (const char *name : {"readonly", "links", "linked", "dirs"})
        QDir().mkpath(subfolder(out_, name));
    for (const char *name : {"saved0.csv", "chart0.png", "list0.txt"}) {
        QFile old(subfolder(out_, "readonly") + QLatin1Char('/') + QLatin1String(name));
        if (old.open(QIODevice::WriteOnly))
            old.write("an old file that must stay as it is\r\n");
    }
    ::chmod(QFile::encodeName(subfolder(out_, "readonly")).constData(), 0555);
}

DiskFaults::~DiskFaults()
{
    lift();
    ::chmod(QFile::encodeName(subfolder(out_, "readonly")).constData(), 0755);  // so that it can be removed
}

QStringList DiskFaults::folders() const
{
    QStringList all{out_};
    for (const char *name : {"readonly", "links", "linked", "dirs"})
        all << subfolder(out_, name);
    return all;
}

void DiskFaults::lift()
{
    if (limited_)
        setrlimit(RLIMIT_FSIZE, &original_);
    limited_ = false;
}

QString DiskFaults::target(const QString &stem, const QString &extension, const QString &loadedFile, Written &record)
{
    // A few names only, so that files are written over again; some without
    // their extension, which the command adds, asking before it replaces a file.
    const QString name = stem + QString::number(random_.below(3)) + (random_.chance(15) ? QString() : extension);
    const int roll = random_.below(100);
    if (roll < 55)
        return out_ + QLatin1Char('/') + name;
    if (roll < 70) {
        const rlim_t limit = kLimits[random_.below(int(std::size(kLimits)))];
        record.fault = QStringLiteral("file size limit %1").arg(qulonglong(limit));
        rlimit lowered = original_;
        lowered.rlim_cur = std::min(limit, original_.rlim_max);
        limited_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
        record.mustFail = limited_ && limit == 0;
        return out_ + QLatin1Char('/') + name;
    }
    if (roll < 76) {
        record.fault = QStringLiteral("read-only folder");
        record.mustFail = ::geteuid() != 0;  // root writes anywhere
        return subfolder(out_, "readonly") + QLatin1Char('/') + name;
    }
    if (roll < 82) {
        record.fault = QStringLiteral("a folder of that name");
        const QString folder = subfolder(out_, "dirs") + QStringLiteral("/folder") + extension;
        QDir().mkpath(folder);
        return random_.chance(30) ? folder.left(folder.size() - int(extension.size())) : folder;
    }
    if (roll < 90) {
        record.fault = QStringLiteral("a symbolic link");
        const QString link = subfolder(out_, "links") + QStringLiteral("/link") + extension;
        if (!QFileInfo(link).isSymLink())
            QFile::link(QStringLiteral("../linked/target") + extension, link);
        return link;
    }
    if (roll < 94) {
        record.fault = QStringLiteral("a folder that is not there");
        record.mustFail = true;
        return out_ + QStringLiteral("/no such folder/") + name;
    }
    if (!loadedFile.isEmpty()) {
        record.fault = QStringLiteral("the file that is loaded");
        return loadedFile;
    }
    return out_ + QLatin1Char('/') + name;
}

std::vector<FileBefore> DiskFaults::snapshot(const QString &typed, const QStringList &extensions)
{
    std::vector<FileBefore> states{stateOf(typed)};
    for (const QString &extension : extensions)
        states.push_back(stateOf(typed + extension.toLower()));
    return states;
}

QString writtenPath(const Written &record)
{
    if (record.declined)
        return {};
    const QStringList parts = record.filter.split(QLatin1Char('|'));
    if (!record.filterIndex && parts.value(1) == QLatin1String("*.pdf"))  // a report is always a .pdf
        return record.path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? record.path
                                                                                 : record.path + QLatin1String(".pdf");
    if (!record.filterIndex)  // data and list files: the one type, added when no extension was typed
        return kavra::hasExtension(record.path) ? record.path : record.path + parts.value(1).mid(1).toLower();
    if (kavra::formatForPath(record.path))
        return record.path;
    const int index = *record.filterIndex;
    if (index < 1 || 2 * index - 1 >= parts.size())
        return {};  // no type chosen: nothing is written
    return record.path + parts[2 * index - 1].mid(1).toLower();
}

// Whether the file's first bytes are those of the format named by extension,
// and the sizes its header gives agree with the file's.
bool looksWhole(const QString &path, const QString &extension)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return false;
    const QByteArray head = file.read(64);
    const QString ext = extension.toLower();
    if (ext == QLatin1String(".bmp") || ext == QLatin1String(".jpg") || ext == QLatin1String(".jpeg") ||
        ext == QLatin1String(".png") || ext == QLatin1String(".gif")) {
        file.close();
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        return !reader.read().isNull();
    }
    if (ext == QLatin1String(".pcx"))
        return head.startsWith('\x0a') && file.size() > 128;
    if (ext == QLatin1String(".pdf")) {
        file.seek(std::max<qint64>(0, file.size() - 32));
        return head.startsWith("%PDF") && file.readAll().contains("%%EOF");
    }
    if (ext == QLatin1String(".eps")) {
        file.seek(std::max<qint64>(0, file.size() - 64));
        return head.startsWith("%!PS") && file.readAll().contains("%%EOF");
    }
    if (ext == QLatin1String(".svg")) {
        file.seek(std::max<qint64>(0, file.size() - 16));
        return (head.contains("<?xml") || head.contains("<svg")) && file.readAll().contains("</svg>");
    }
    if (ext == QLatin1String(".emf"))  // the header's record gives the file's size
        return head.size() >= 52 && head.mid(40, 4) == " EMF" && le32(head, 48) == quint32(file.size());
    if (ext == QLatin1String(".wmf")) {
        // An optional 22-byte placeable header, then the metafile header, whose
        // size counts 16-bit words.
        const int at = head.startsWith("\xd7\xcd\xc6\x9a") ? 22 : 0;
        const bool known = at == 22 || head.startsWith(QByteArray("\x01\x00\x09\x00", 4)) ||
                           head.startsWith(QByteArray("\x02\x00\x09\x00", 4));
        return known && qint64(le32(head, at + 6)) * 2 == file.size() - at;
    }
    if (ext == QLatin1String(".txt"))
        return wholeText(path);
    return true;
}

QString writesFailSafely(const std::vector<Written> &written, size_t messages)
{
    for (const Written &record : written) {
        const bool messageShown = messages > record.messagesAt;
        const QString target = writtenPath(record);
        const QString where = record.fault.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(record.fault);
        for (const FileBefore &before : record.before) {
            const FileBefore now = stateOf(before.path);
            if (same(before, now))
                continue;
            if (messageShown || before.path != target)
                return QStringLiteral("%1 was changed by a write that %2%3")
                    .arg(QFileInfo(before.path).fileName(),
                         messageShown ? QStringLiteral("failed") : QStringLiteral("went to another file"), where);
            if (before.link && !now.link)
                return QStringLiteral("the link %1 was replaced instead of written through%2")
                    .arg(QFileInfo(before.path).fileName(), where);
            if (record.filterIndex.value_or(0) > 0 || target.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive)) {
                const QString extension = QLatin1Char('.') + QFileInfo(target).suffix();
                if (!looksWhole(target, extension))
                    return QStringLiteral("%1 was reported written but is not a whole %2 file (%3 bytes)%4")
                        .arg(QFileInfo(target).fileName(), extension)
                        .arg(QFileInfo(target).size())
                        .arg(where);
            }
        }
        const bool intoFolder = std::any_of(record.before.begin(), record.before.end(), [&](const FileBefore &b) {
            return b.path == target && b.folder;
        });
        if ((record.mustFail || intoFolder) && !target.isEmpty() && !messageShown)
            return QStringLiteral("a write to %1 that cannot succeed%2 said nothing")
                .arg(QFileInfo(target).fileName(), where);
        if (!target.isEmpty() && !messageShown && !QFileInfo(target).isFile())
            return QStringLiteral("no file %1 was written and nothing was said%2")
                .arg(QFileInfo(target).fileName(), where);
    }
    return {};
}
