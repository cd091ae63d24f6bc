// The main window's ExportChart, PrintChart and PrintPreview commands.

#include "app/WindowFixture.h"

#include "chart/ChartView.h"

#include <QFile>
#include <QPrinter>

namespace {

// Answers the picture dialog with a chosen file type, and paints print previews
// onto a PDF file.
class OutputInteraction : public FakeInteraction {
public:
    int chosenIndex = 0;  // 0: leave the dialog's preset
    int presetSeen = 0;
    QString previewFile;

    std::optional<QString> exportFileName(QWidget *parent, const QString &filter, int &filterIndex) override
    {
        presetSeen = filterIndex;
        if (chosenIndex)
            filterIndex = chosenIndex;
        return saveFileName(parent, filter);
    }
    void printPreview(QWidget *, const std::function<void(QPrinter &)> &paint) override
    {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(previewFile);
        paint(printer);
    }
};

class OutputCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<kavra::MainWindow>(ui);
        window->Form_Load(QString());
        ui.fileAnswers.push_back(QString::fromStdString(dir.write("day.csv", kGoodFile)));
        window->mnuOpenFile_Click();
    }

    QByteArray head(const std::string &name, int bytes) const
    {
        QFile file(QString::fromStdString(dir.file(name)));
        return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
    }

    OutputInteraction ui;
    TempDir dir;
    std::unique_ptr<kavra::MainWindow> window;
};

}  // namespace

TEST_F(OutputCommandsTest, ExportOpensOnTheWmfEntryEveryTime)
{
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("chart.wmf")));
    window->action("mnuExportChart")->trigger();
    EXPECT_EQ(ui.presetSeen, 3);
    EXPECT_EQ(head("chart.wmf", 4), QByteArray("\xd7\xcd\xc6\x9a", 4));  // a placeable metafile
    ui.chosenIndex = 6;
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("chart.png")));
    window->action("mnuExportChart")->trigger();
    EXPECT_EQ(head("chart.png", 4), QByteArray("\x89PNG", 4));
    ui.chosenIndex = 0;
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("again.wmf")));
    window->action("mnuExportChart")->trigger();
    EXPECT_EQ(ui.presetSeen, 3);  // the choice before is not kept
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(window->chart().panelColour(), QColor(236, 233, 216));
}

TEST_F(OutputCommandsTest, EveryFilterEntryWritesItsFormat)
{
    const char *const names[] = {"a.bmp", "a.jpg", "a.wmf", "a.emf", "a.gif", "a.png", "a.pcx", "a.eps", "a.pdf", "a.svg"};
    const QByteArray signatures[] = {"BM", "\xff\xd8", QByteArray("\xd7\xcd\xc6\x9a", 4), QByteArray("\x01\0\0\0", 4),
                                     "GIF8", "\x89PNG", "\x0a", "%!PS", "%PDF", "<?xm"};
    for (int index = 1; index <= 10; ++index) {
        ui.chosenIndex = index;
        ui.fileAnswers.push_back(QString::fromStdString(dir.file(names[index - 1])));
        window->action("mnuExportChart")->trigger();
        const QByteArray expected = signatures[index - 1];
        EXPECT_EQ(head(names[index - 1], int(expected.size())), expected) << names[index - 1];
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OutputCommandsTest, ACancelledOrFailedExportRestoresThePanel)
{
    window->action("mnuExportChart")->trigger();  // no answer: cancelled
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(window->chart().panelColour(), QColor(236, 233, 216));
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("missing/folder/chart.wmf")));
    window->action("mnuExportChart")->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.startsWith(QStringLiteral("Error : ")));
    EXPECT_TRUE(ui.messages[0].text.endsWith(QStringLiteral(" generated while saving file")));
    EXPECT_EQ(window->chart().panelColour(), QColor(236, 233, 216));
}

TEST_F(OutputCommandsTest, PrintPreviewPaintsTheChart)
{
    ui.previewFile = QString::fromStdString(dir.file("preview.pdf"));
    window->action("mnuPrintPreview")->trigger();
    EXPECT_EQ(head("preview.pdf", 4), QByteArray("%PDF"));
    EXPECT_EQ(window->chart().panelColour(), QColor(236, 233, 216));
}

TEST_F(OutputCommandsTest, PrintingWithoutAPrinterSaysSo)
{
    window->action("mnuPrintChart")->trigger();
    if (!ui.messages.empty()) {  // no printer here: a clear message, no crash
        EXPECT_TRUE(ui.messages[0].text.startsWith(QStringLiteral("The chart was not printed: ")));
    }
    EXPECT_EQ(window->chart().panelColour(), QColor(236, 233, 216));
}
