// The name the user types and the file that is written: saved files get their
// type's extension (asking before one replaces a file), and a picture is the
// format its name says.

#include "app/WindowFixture.h"

#include "dialogs/CorrelationWindow.h"
#include "output/OutputTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

namespace {

// The picture dialog: records the type it opened on and answers with a chosen one.
class TypedInteraction : public FakeInteraction {
public:
    int chosenIndex = 0;
    int presetSeen = 0;
    std::optional<QString> exportFileName(QWidget *parent, const QString &filter, const QString &folder,
                                          int &filterIndex) override
    {
        presetSeen = filterIndex;
        std::optional<QString> name = saveFileName(parent, filter, folder);
        if (name)
            filterIndex = chosenIndex;
        return name;
    }
};

const QByteArray kOld = "the file that was there\r\n";

class FileNamesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<kavra::MainWindow>(ui);
        window->Form_Load(QString());
        ui.fileAnswers.push_back(QString::fromStdString(dir.write("day.csv", kGoodFile)));
        window->mnuOpenFile_Click();
        window->findChild<QPushButton *>(QStringLiteral("cmdCorrelate"))->click();
        ASSERT_TRUE(window->correlationWindow() && window->correlationWindow()->isVisible());
    }

    QString file(const QString &name) const { return QString::fromStdString(dir.file(name.toStdString())); }
    void click(const char *button) const
    {
        window->correlationWindow()->findChild<QPushButton *>(QLatin1String(button))->click();
    }
    QStringList files() const
    {
        QStringList names = QDir(QString::fromStdString(dir.path())).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(QStringLiteral("day.csv"));
        return names;
    }
    QStringList errors() const
    {
        QStringList texts;
        for (const auto &message : ui.messages)
            if (message.text.startsWith(QStringLiteral("Error")))
                texts << message.text;
        return texts;
    }

    TypedInteraction ui;
    TempDir dir;
    std::unique_ptr<kavra::MainWindow> window;
};

}  // namespace

TEST_F(FileNamesTest, SavedFilesGetTheirExtensionAndAskBeforeReplacingAFile)
{
    const struct Case {
        const char *typed;
        bool list;             // the correlation list, else Save as ...
        const char *existing;  // a file there before, or null
        int answer;            // to "replace it?": 1 Yes, 0 No, -1 not asked
        const char *written;   // the file that holds the new text, or null
    } cases[] = {
        {"saved_node1", false, nullptr, -1, "saved_node1.csv"},
        {"saved.csv", false, nullptr, -1, "saved.csv"},
        {"saved.CSV", false, nullptr, -1, "saved.CSV"},
        {"saved.v2", false, nullptr, -1, "saved.v2"},
        {"saved.", false, nullptr, -1, "saved.csv"},
        {"saved", false, "saved.csv", 0, nullptr},
        {"saved", false, "saved.csv", 1, "saved.csv"},
        {"saved.csv", false, "saved.csv", -1, "saved.csv"},  // the dialog asked about the name typed whole
        {"corrlist", true, nullptr, -1, "corrlist.txt"},
        {"corrlist.TXT", true, nullptr, -1, "corrlist.TXT"},
        {"corrlist", true, "corrlist.txt", 0, nullptr},
        {"corrlist", true, "corrlist.txt", 1, "corrlist.txt"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        for (const QString &name : files())
            QFile::remove(file(name));
        if (c.existing)
            outputtest::writeFile(file(QLatin1String(c.existing)), kOld);
        ui.askedQuestions.clear();
        ui.questionAnswers = {c.answer == 1};
        ui.fileAnswers = {file(QLatin1String(c.typed))};
        if (c.list)
            click("cmdKavra9222");
        else
            window->action(QStringLiteral("mnuSaveDataAs"))->trigger();
        EXPECT_TRUE(errors().isEmpty()) << errors().join('\n').toStdString();
        if (c.answer < 0) {
            EXPECT_TRUE(ui.askedQuestions.empty());
        } else {
            ASSERT_EQ(ui.askedQuestions.size(), 1u);
            EXPECT_EQ(ui.askedQuestions[0].text,
                      QLatin1String(c.existing) + QStringLiteral(" already exists.\nDo you want to replace it?"));
            EXPECT_EQ(ui.askedQuestions[0].title,
                      c.list ? QStringLiteral("Save Correlation List") : QStringLiteral("Save as"));
        }
        const QStringList expected = c.written ? QStringList{QLatin1String(c.written)} : QStringList{c.existing};
        EXPECT_EQ(files(), expected);
        const QByteArray start = c.list ? "Correlations against " : "NODE1,";
        if (c.written) {
            EXPECT_TRUE(outputtest::readFile(file(QLatin1String(c.written))).startsWith(start));
        } else {
            EXPECT_EQ(outputtest::readFile(file(QLatin1String(c.existing))), kOld);
        }
        ui.messages.clear();
    }
}

TEST_F(FileNamesTest, APictureIsTheFormatItsNameSaysOtherwiseTheTypeChosen)
{
    const QByteArray wmf("\xd7\xcd\xc6\x9a", 4), emf("\x01\0\0\0", 4), png("\x89PNG"), svg("<?xm"), jpeg("\xff\xd8"),
        gif("GIF8"), bmp("BM");
    const struct Case {
        const char *typed;
        bool scatter;         // the correlation window's Export Chart, else ExportChart
        int type;             // chosen in the type list (1-based)
        const char *written;  // null: nothing
        QByteArray start;
        int nextPreset;  // the type the next dialog opens on
    } cases[] = {
        {"zoom.png", false, 3, "zoom.png", png, 3},  // the main window's dialog opens on WMF each time
        {"zoom.SVG", false, 3, "zoom.SVG", svg, 3},
        {"zoom.jpeg", false, 1, "zoom.jpeg", jpeg, 3},
        {"zoom", false, 4, "zoom.emf", emf, 3},
        {"zoom.v2", false, 6, "zoom.v2.png", png, 3},
        {"zoom.gif", false, 0, "zoom.gif", gif, 3},  // no type chosen: the name still says one
        {"zoom", false, 11, nullptr, {}, 3},
        {"scatter.png", true, 1, "scatter.png", png, 6},  // the type list follows the name
        {"scatter.bmp", true, 6, "scatter.bmp", bmp, 3},
        {"scatter", true, 1, "scatter.wmf", wmf, 1},
        {"scatter.svg", true, 2, "scatter.svg", svg, 2},  // a format its list lacks: the list keeps its type
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        for (const QString &name : files())
            QFile::remove(file(name));
        ui.chosenIndex = c.type;
        ui.fileAnswers = {file(QLatin1String(c.typed))};
        if (c.scatter)
            click("cmdKavra9224");
        else
            window->action(QStringLiteral("mnuExportChart"))->trigger();
        EXPECT_TRUE(ui.messages.empty()) << (ui.messages.empty() ? "" : ui.messages.back().text.toStdString());
        EXPECT_EQ(files(), c.written ? QStringList{QLatin1String(c.written)} : QStringList());
        if (c.written) {
            EXPECT_TRUE(outputtest::readFile(file(QLatin1String(c.written))).startsWith(c.start));
        }
        // The next export shows which type its dialog opens on, and is cancelled.
        ui.chosenIndex = 0;
        if (c.scatter)
            click("cmdKavra9224");
        else
            window->action(QStringLiteral("mnuExportChart"))->trigger();
        EXPECT_EQ(ui.presetSeen, c.nextPreset);
    }
    EXPECT_TRUE(ui.askedQuestions.empty());
}
