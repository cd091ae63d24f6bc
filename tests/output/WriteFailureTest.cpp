// Every command that writes a file, on a disk that is full: a failure is told
// and leaves the file that was there byte for byte, with nothing beside it; a
// success is a whole file that its own reader reads.

#include "app/WindowFixture.h"

#include "data/DataSet.h"
#include "data/LoadMessages.h"
#include "dialogs/CorrelationWindow.h"
#include "items/ItemList.h"
#include "items/ListFiles.h"
#include "output/OutputTestSupport.h"

#include <QDir>
#include <QPushButton>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

namespace {

// The picture dialog answers with the file type chosen.
class TypedInteraction : public FakeInteraction {
public:
    int chosenIndex = 0;
    std::optional<QString> exportFileName(QWidget *parent, const QString &filter, const QString &folder,
                                          int &filterIndex) override
    {
        std::optional<QString> name = saveFileName(parent, filter, folder);
        if (name)
            filterIndex = chosenIndex;
        return name;
    }
};

// No file of this process grows past the limit while it lasts, as if the disk
// were full: a write beyond it fails with "File too large" (SIGXFSZ, which
// would end the process, is ignored as a careful program ignores it).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previous_(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    void (*previous_)(int);
    rlimit saved_{};
};

// A small tmpfs on folder (root only), filled up once the old file is in it.
class FullTmpfs {
public:
    explicit FullTmpfs(const std::string &folder) : folder_(folder)
    {
        mounted_ =
            !folder.empty() && ::geteuid() == 0 && ::mount("kavra-full", folder.c_str(), "tmpfs", 0, "size=1m") == 0;
    }
    ~FullTmpfs()
    {
        if (mounted_)
            ::umount2(folder_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    void fill() const
    {
        const int fd = ::open((folder_ + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
        static const char block[65536] = {};
        while (::write(fd, block, sizeof block) > 0) {
        }
        ::close(fd);
    }

private:
    std::string folder_;
    bool mounted_ = false;
};

enum class Command { SaveAs, SaveList, Export, ExportScatter, Print, PrintList, PrintScatter, Report };

struct Writer {
    const char *file;
    Command command;
    int typeIndex = 0;  // the picture dialog's file type
};

void PrintTo(const Writer &writer, std::ostream *out)
{
    *out << writer.file;
}

const Writer kWriters[] = {
    {"data.csv", Command::SaveAs},
    {"list.txt", Command::SaveList},
    {"chart.bmp", Command::Export, 1},
    {"chart.jpg", Command::Export, 2},
    {"chart.wmf", Command::Export, 3},
    {"chart.emf", Command::Export, 4},
    {"chart.gif", Command::Export, 5},
    {"chart.png", Command::Export, 6},
    {"chart.pcx", Command::Export, 7},
    {"chart.eps", Command::Export, 8},
    {"chart.pdf", Command::Export, 9},
    {"chart.svg", Command::Export, 10},
    {"scatter.wmf", Command::ExportScatter, 1},
    {"scatter.png", Command::ExportScatter, 6},
    {"printed.pdf", Command::Print},
    {"list.pdf", Command::PrintList},
    {"scatter.pdf", Command::PrintScatter},
    {"report.pdf", Command::Report},
};

const QByteArray kOld = "the file that was there\r\n";
const QStringList kInformation = {QStringLiteral("Save Correlations to file ... "),
                                  QStringLiteral("Print Correlations ... ")};

class WriteFailure : public ::testing::TestWithParam<Writer> {
protected:
    void SetUp() override
    {
        window = std::make_unique<kavra::MainWindow>(ui);
        window->Form_Load(QString());
        ui.fileAnswers.push_back(QString::fromStdString(dir.write("day.csv", kGoodFile)));
        window->mnuOpenFile_Click();
        window->findChild<QPushButton *>(QStringLiteral("cmdCorrelate"))->click();
        ASSERT_TRUE(window->correlationWindow() && window->correlationWindow()->isVisible());
        ASSERT_TRUE(ui.messages.empty());
    }

    void click(const char *button) const
    {
        window->correlationWindow()->findChild<QPushButton *>(QLatin1String(button))->click();
    }

    void run(const Writer &writer, const QString &path)
    {
        ui.chosenIndex = writer.typeIndex;
        ui.fileAnswers.push_back(path);
        ui.printerFiles.push_back(path);
        switch (writer.command) {
        case Command::SaveAs: window->action(QStringLiteral("mnuSaveDataAs"))->trigger(); break;
        case Command::SaveList: click("cmdKavra9222"); break;
        case Command::Export: window->action(QStringLiteral("mnuExportChart"))->trigger(); break;
        case Command::ExportScatter: click("cmdKavra9224"); break;
        case Command::Print: window->action(QStringLiteral("mnuPrintChart"))->trigger(); break;
        case Command::PrintList: click("cmdKavra9223"); break;
        case Command::PrintScatter: click("cmdKavra9225"); break;
        case Command::Report: window->action(QStringLiteral("mnuSaveReport"))->trigger(); break;
        }
        ui.fileAnswers.clear();
        ui.printerFiles.clear();
    }

    // The messages beyond the commands' notes before their dialogs.
    QStringList errors()
    {
        QStringList texts;
        for (const auto &message : std::exchange(ui.messages, {}))
            if (!kInformation.contains(message.text))
                texts << message.text;
        return texts;
    }

    TypedInteraction ui;
    TempDir dir;
    std::unique_ptr<kavra::MainWindow> window;
};

// Empty when the file is whole: data loads again, the list has its lines, a
// picture or PDF is drawn by a program of its format.
QString readBack(const QString &path)
{
    const QByteArray bytes = outputtest::readFile(path);
    if (path.endsWith(QLatin1String(".csv"))) {
        kavra::DataSet data;
        kavra::ItemList items;
        kavra::LoadObserver quiet;
        const auto loaded = kavra::ItemLoader(data, items, quiet).load(QFile::encodeName(path).toStdString());
        return loaded.loaded && data.Row_Count == 3 ? QString()
                                                    : QString::fromStdString(kavra::loadMessage(loaded.failure).text);
    }
    if (path.endsWith(QLatin1String(".txt")))
        return bytes.startsWith("Correlations against ") && bytes.count("\r\n") == 6 ? QString() : bytes;
    outputtest::ToolRun reader;
    const QImage image = outputtest::rasterised(path, QSize(320, 200), reader);
    if (!reader.found)
        return bytes.size() > 100 ? QString() : QStringLiteral("a picture of %1 bytes").arg(bytes.size());
    return image.isNull() ? QStringLiteral("not read: ") + reader.errors : QString();
}

}  // namespace

TEST_P(WriteFailure, AFailureIsToldAndKeepsTheOldFileASuccessIsWhole)
{
    const Writer writer = GetParam();
    const struct Disk {
        const char *name;
        rlim_t limit;
        bool tmpfs;
    } disks[] = {
        {"no byte may be written", 0, false},
        {"1500 bytes may be written", 1500, false},
        {"6000 bytes may be written", 6000, false},
        {"100 kB may be written", 100000, false},
        {"a full tmpfs", RLIM_INFINITY, true},
    };
    int tried = 0;
    for (const Disk &disk : disks) {
        SCOPED_TRACE(disk.name);
        const QString folder = QString::fromStdString(dir.file(std::to_string(++tried)));
        QDir().mkpath(folder);
        const FullTmpfs tmpfs(disk.tmpfs ? folder.toStdString() : std::string());
        if (disk.tmpfs && !tmpfs.mounted())
            continue;  // only root mounts one; the size limit stands for a full disk then
        const QString path = folder + QLatin1Char('/') + QLatin1String(writer.file);
        outputtest::writeFile(path, kOld);
        if (disk.tmpfs)
            tmpfs.fill();
        {
            const FileSizeLimit limit(disk.limit);
            run(writer, path);
        }
        const QStringList told = errors();
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        left.removeAll(QStringLiteral("filler"));
        EXPECT_EQ(left, QStringList{QLatin1String(writer.file)}) << "nothing is left beside the file";
        if (disk.limit == 0 || disk.tmpfs) {
            EXPECT_FALSE(told.isEmpty()) << "nothing could be written, and nothing was said";
        }
        if (!told.isEmpty()) {
            EXPECT_EQ(outputtest::readFile(path), kOld) << told.join('\n').toStdString();
            const bool printed = writer.command >= Command::Print;  // told as a PDF cut short
            if (disk.tmpfs && !printed) {
                EXPECT_TRUE(told[0].startsWith(QStringLiteral("Error : No space left on device")))
                    << told[0].toStdString();
            }
        } else {
            EXPECT_EQ(readBack(path), QString()) << "a success was reported";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, WriteFailure, ::testing::ValuesIn(kWriters),
                         [](const ::testing::TestParamInfo<Writer> &info) {
                             std::string name = info.param.file;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });
