// Where the file dialogs start: the folder last used for their kind of file in
// this run, else the folder of the file loaded, else the current folder.

#include "app/WindowFixture.h"

#include "dialogs/CorrelationWindow.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

#include <functional>

namespace {

class FileFoldersTest : public WindowTest {
protected:
    // A folder of the test's own, made on first use.
    QString folder(const char *name) const
    {
        const QString path = QString::fromStdString(dir.file(name));
        QDir().mkpath(path);
        return path;
    }
    // A copy of the example day in the folder.
    QString dayIn(const char *name) const
    {
        const QString path = folder(name) + QStringLiteral("/node1_day.csv");
        QFile::copy(QStringLiteral(KAVRA_EXAMPLES "/node1_day.csv"), path);
        return path;
    }
    void click(const char *entry) { window->action(QString::fromLatin1(entry))->trigger(); }
    void correlate()
    {
        window->findChild<QPushButton *>(QStringLiteral("cmdCorrelate"))->click();
        ASSERT_TRUE(window->correlationWindow());
    }
    void correlationButton(const char *name)
    {
        window->correlationWindow()->findChild<QPushButton *>(QString::fromLatin1(name))->click();
    }

    // Runs the steps in turn: each answers its dialog with answer (a null
    // QString cancels) and expects it to have started in expected.
    struct Step {
        const char *what;
        std::function<void()> run;
        QString answer;
        QString expected;
    };
    void walk(const std::vector<Step> &steps)
    {
        for (const Step &step : steps) {
            SCOPED_TRACE(step.what);
            const int before = ui.fileDialogs;
            ui.fileAnswers.push_back(step.answer);
            step.run();
            ASSERT_EQ(ui.fileDialogs, before + 1);
            EXPECT_EQ(ui.folders.back(), step.expected);
        }
    }
};

}  // namespace

TEST_F(FileFoldersTest, EachKindOfFileStartsWhereItWasLastUsed)
{
    const QString loaded = dayIn("loaded"), pictures = folder("pictures"), saved = folder("saved"),
                  lists = folder("lists");
    auto openDialog = [this] { window->mnuOpenFile_Click(); };
    auto exportDialog = [this] { click("mnuExportChart"); };
    auto saveDialog = [this] { window->mnuSaveDataAs_Click(); };
    walk({
        {"Open with nothing loaded", openDialog, QString(), QDir::currentPath()},
        {"Open", openDialog, loaded, QDir::currentPath()},
        {"the first export: the loaded file's folder", exportDialog, pictures + "/chart.png", folder("loaded")},
        {"the first Save as: where Open was", saveDialog, saved + "/day.csv", folder("loaded")},
        {"Open after Save as: data files share their folder", openDialog, QString(), saved},
        {"the second export", exportDialog, QString(), pictures},
        {"a cancelled dialog changes nothing", exportDialog, QString(), pictures},
    });
    EXPECT_TRUE(QFile::exists(pictures + "/chart.png"));
    EXPECT_TRUE(QFile::exists(saved + "/day.csv"));

    // The correlation window's list and diagram.
    correlate();
    auto saveList = [this] { correlationButton("cmdKavra9222"); };
    auto exportDiagram = [this] { correlationButton("cmdKavra9224"); };
    walk({
        {"the first list file", saveList, lists + "/list.txt", folder("loaded")},
        {"the second list file", saveList, QString(), lists},
        {"the diagram is a picture", exportDiagram, QString(), pictures},
    });
    EXPECT_TRUE(QFile::exists(lists + "/list.txt"));
}

TEST_F(FileFoldersTest, AFileNamedAtStartOrFailingToLoadSetsTheFolders)
{
    const QString started = dayIn("started");
    start(started);
    ASSERT_EQ(window->data().Files_Open, 1);
    const QString broken = folder("broken") + "/bad.csv";
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a data file\r\n");
    file.close();
    auto openDialog = [this] { window->mnuOpenFile_Click(); };
    walk({
        {"Open after a file from the command line", openDialog, broken, folder("started")},
        {"Open again: where the refused file was", openDialog, QString(), folder("broken")},
        {"an export: where the loaded file is", [this] { click("mnuExportChart"); }, QString(), folder("started")},
    });
}
