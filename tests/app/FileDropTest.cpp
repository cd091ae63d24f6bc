#include "app/FileDrop.h"
#include "app/WindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

QList<QUrl> fileUrls(const std::vector<std::string> &paths)
{
    QList<QUrl> urls;
    for (const std::string &path : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(path));
    return urls;
}

}  // namespace

TEST(FileDropItems, LocalFilesAreKeptAndTheRestIsRefused)
{
    TempDir dir;
    const std::string file = dir.write("day.csv", kGoodFile);
    const std::string folder = dir.path();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file)), QUrl(QStringLiteral("https://example.org/a.csv")),
                  QUrl::fromLocalFile(QString::fromStdString(folder)),
                  QUrl::fromLocalFile(QString::fromStdString(dir.file("missing.csv")))});
    EXPECT_TRUE(kavra::carriesDroppableItems(&data));
    const kavra::DroppedItems items = kavra::droppedItems(&data);
    // A missing file is left to the loader, which reports it as the Open command does.
    EXPECT_EQ(items.files,
              (QStringList{QString::fromStdString(file), QString::fromStdString(dir.file("missing.csv"))}));
    EXPECT_EQ(items.refused,
              (QStringList{QStringLiteral("https://example.org/a.csv"), QString::fromStdString(folder)}));
    EXPECT_EQ(kavra::droppedFiles(&data), items.files);

    QMimeData text;
    text.setText(QStringLiteral("just some text"));
    EXPECT_FALSE(kavra::carriesDroppableItems(&text));
    EXPECT_TRUE(kavra::droppedItems(&text).files.isEmpty());
    EXPECT_FALSE(kavra::carriesDroppableItems(nullptr));
}

class FileDropTest : public WindowTest {
protected:
    // Drops the addresses onto the window and lets the opening, which follows the
    // drop, run. False when the window refused the drop.
    bool drop(const QList<QUrl> &urls)
    {
        QMimeData data;
        data.setUrls(urls);
        return drop(data);
    }

    bool drop(const QMimeData &data)
    {
        QDragEnterEvent enter(QPoint(20, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QDropEvent event(QPointF(20, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        event.setAccepted(false);
        QApplication::sendEvent(window.get(), &event);
        QCoreApplication::sendPostedEvents();
        return event.isAccepted();
    }

    // The paths of count copies of a good file.
    std::vector<std::string> goodFiles(int count)
    {
        std::vector<std::string> paths;
        for (int i = 1; i <= count; ++i)
            paths.push_back(dir.write("node" + std::to_string(i) + ".csv", kGoodFile));
        return paths;
    }
};

TEST_F(FileDropTest, TheWindowTakesDragsOfAddressesOnly)
{
    EXPECT_TRUE(window->acceptDrops());
    QMimeData files;
    files.setUrls(fileUrls(goodFiles(1)));
    QDragEnterEvent enter(QPoint(20, 40), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());

    QMimeData text;
    text.setText(QStringLiteral("day.csv"));
    QDragEnterEvent textEnter(QPoint(20, 40), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &textEnter);
    EXPECT_FALSE(textEnter.isAccepted());
    EXPECT_FALSE(drop(text));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FileDropTest, OneFileOpensAsTheOpenCommandWould)
{
    const std::vector<std::string> paths = goodFiles(1);
    EXPECT_TRUE(drop(fileUrls(paths)));
    EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    EXPECT_EQ(ui.fileDialogs, 0);
    EXPECT_EQ(window->data().Files_Open, 1);
    EXPECT_EQ(window->statusText(), QString::fromStdString(paths[0]));
    EXPECT_TRUE(enabled("mnuCloseFile"));
    EXPECT_EQ(QString::fromStdString(window->state().chart.title(kavra::TitleLine::Header)), QStringLiteral("Node(s) : NODE1"));
}

TEST_F(FileDropTest, SeveralFilesOpenInTurn)
{
    open(dir.write("first.csv", kGoodFile));
    const std::vector<std::string> paths = goodFiles(3);
    EXPECT_TRUE(drop(fileUrls(paths)));
    EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    EXPECT_EQ(window->data().Files_Open, 4);
    EXPECT_EQ(ui.fileDialogs, 1);  // the first Open only
    EXPECT_TRUE(enabled("mnuOpenFile"));
}

TEST_F(FileDropTest, OnlySixteenFilesOpenAndTheRestIsReportedOnce)
{
    EXPECT_TRUE(drop(fileUrls(goodFiles(20))));
    EXPECT_EQ(window->data().Files_Open, 16);
    EXPECT_FALSE(enabled("mnuOpenFile"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(lastMessage(),
              QStringLiteral("Only 16 files can be open together - the remaining dropped files were not opened"));

    // With sixteen files open a further drop opens nothing and says so.
    EXPECT_TRUE(drop(fileUrls({dir.write("extra.csv", kGoodFile)})));
    EXPECT_EQ(window->data().Files_Open, 16);
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(FileDropTest, SixteenFilesExactlyNeedNoMessage)
{
    EXPECT_TRUE(drop(fileUrls(goodFiles(16))));
    EXPECT_EQ(window->data().Files_Open, 16);
    EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
}

TEST_F(FileDropTest, FoldersAndRemoteAddressesAreRefusedByName)
{
    const QString folder = QString::fromStdString(dir.path());
    EXPECT_TRUE(drop({QUrl::fromLocalFile(folder)}));
    EXPECT_EQ(window->data().Files_Open, 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(lastMessage().contains(folder)) << lastMessage().toStdString();
    EXPECT_EQ(window->statusText(), kNoFileText);

    // A remote address among files: the files open, the address is named.
    ui.messages.clear();
    const std::vector<std::string> paths = goodFiles(2);
    EXPECT_TRUE(drop({QUrl::fromLocalFile(QString::fromStdString(paths[0])), QUrl(QStringLiteral("ftp://host/day.csv")),
                      QUrl::fromLocalFile(QString::fromStdString(paths[1]))}));
    EXPECT_EQ(window->data().Files_Open, 2);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("ftp://host/day.csv"))) << lastMessage().toStdString();
    EXPECT_FALSE(lastMessage().contains(QString::fromStdString(paths[0])));
}

TEST_F(FileDropTest, AFileThatIsNotDataGetsTheLoadersMessage)
{
    const std::string notData = dir.write("notes.txt", "Shopping list\r\nbread\r\nmilk\r\n");
    // What the Open command says about it ...
    FakeInteraction openUi;
    kavra::MainWindow opened(openUi);
    opened.Form_Load(QString());
    openUi.fileAnswers.push_back(QString::fromStdString(notData));
    opened.mnuOpenFile_Click();
    ASSERT_EQ(openUi.messages.size(), 1u);

    // ... the drop says too, and the next dropped file still opens.
    const std::vector<std::string> good = goodFiles(1);
    EXPECT_TRUE(drop(fileUrls({notData, good[0]})));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, openUi.messages[0].text);
    EXPECT_EQ(ui.messages[0].title, openUi.messages[0].title);
    EXPECT_EQ(window->data().Files_Open, 1);
    EXPECT_EQ(window->statusText(), QString::fromStdString(good[0]));
}

// A drop arriving while a file loads (here while the load's column-count message
// is up) waits for that load and then opens its files in order; an Open command
// meanwhile is refused rather than started inside the load.
TEST_F(FileDropTest, FilesDroppedDuringALoadOpenAfterIt)
{
    const std::string first =
        dir.write("short.csv", "NODE0,x\r\n06-DEC-2026\r\nSample Time,CPU Busy,MP Sync Time,Disk Rate\r\n"
                               "06-DEC-2026 10:00:00,1\r\n10:01:00,2,3,4\r\n10:02:00,5,6,7\r\n");
    const std::vector<std::string> later = goodFiles(2);
    ui.whileMessageShown = [&] {
        EXPECT_TRUE(drop(fileUrls(later)));
        ui.fileAnswers.push_back(QString::fromStdString(later[0]));
        window->mnuOpenFile_Click();
    };
    open(first);
    QCoreApplication::sendPostedEvents();

    const kavra::DataSet &data = window->data();
    ASSERT_EQ(data.Files_Open, 3) << lastMessage().toStdString();
    EXPECT_EQ(data.File_Names[0], first);
    EXPECT_EQ(data.File_Names[1], later[0]);
    EXPECT_EQ(data.File_Names[2], later[1]);
    EXPECT_EQ(ui.fileDialogs, 1) << "the Open command ran during the load";
    EXPECT_EQ(ui.messages.size(), 1u) << lastMessage().toStdString();
    EXPECT_EQ(window->statusText(), QString::fromStdString(first));
}
