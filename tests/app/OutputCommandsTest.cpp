// The main window's ExportChart, PrintChart, PrintPreview and Save Report commands.

#include "app/WindowFixture.h"

#include "chart/ChartView.h"
#include "output/OutputTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

namespace {

// Answers the picture dialog with a chosen file type, and paints print previews
// onto a PDF file.
class OutputInteraction : public FakeInteraction {
public:
    int chosenIndex = 0;  // 0: leave the dialog's preset
    int presetSeen = 0;
    QString previewFile;

    std::optional<QString> exportFileName(QWidget *parent, const QString &filter, const QString &folder,
                                          int &filterIndex) override
    {
        presetSeen = filterIndex;
        if (chosenIndex)
            filterIndex = chosenIndex;
        return saveFileName(parent, filter, folder);
    }
    void printPreview(QWidget *, const std::function<void(QPrinter &)> &paint) override
    {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(previewFile);
        paint(printer);
    }
};

// The part of a page that is not white paper.
QRect inkedArea(const QImage &page)
{
    QRect inked;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 230)
                inked |= QRect(x, y, 1, 1);
    return inked;
}

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
    const char *const names[] = {"a.bmp", "a.jpg", "a.wmf", "a.emf", "a.gif",
                                 "a.png", "a.pcx", "a.eps", "a.pdf", "a.svg"};
    const QByteArray signatures[] = {"BM",
                                     "\xff\xd8",
                                     QByteArray("\xd7\xcd\xc6\x9a", 4),
                                     QByteArray("\x01\0\0\0", 4),
                                     "GIF8",
                                     "\x89PNG",
                                     "\x0a",
                                     "%!PS",
                                     "%PDF",
                                     "<?xm"};
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

TEST_F(OutputCommandsTest, ANameTypedWithoutExtensionAsksBeforeReplacingAPicture)
{
    const QString typed = QString::fromStdString(dir.file("chart"));
    outputtest::writeFile(typed + QStringLiteral(".wmf"), "the picture before");
    // "No": the command ends and writes nothing, under either name.
    ui.fileAnswers.push_back(typed);
    ui.questionAnswers.push_back(false);
    window->action("mnuExportChart")->trigger();
    ASSERT_EQ(ui.askedQuestions.size(), 1u);
    EXPECT_EQ(ui.askedQuestions[0].text, QStringLiteral("chart.wmf already exists.\nDo you want to replace it?"));
    EXPECT_EQ(ui.askedQuestions[0].title, QStringLiteral("Export Chart"));
    EXPECT_EQ(outputtest::readFile(typed + QStringLiteral(".wmf")), QByteArray("the picture before"));
    EXPECT_FALSE(QFile::exists(typed));
    // "Yes" replaces it.
    ui.fileAnswers.push_back(typed);
    ui.questionAnswers.push_back(true);
    window->action("mnuExportChart")->trigger();
    EXPECT_EQ(ui.askedQuestions.size(), 2u);
    EXPECT_EQ(head("chart.wmf", 4), QByteArray("\xd7\xcd\xc6\x9a", 4));
    // The chosen type's extension; a new file, or a name typed whole (the
    // dialog asked then), is not asked about.
    ui.chosenIndex = 6;
    ui.fileAnswers.push_back(typed);
    window->action("mnuExportChart")->trigger();
    ui.fileAnswers.push_back(typed + QStringLiteral(".png"));
    window->action("mnuExportChart")->trigger();
    EXPECT_EQ(ui.askedQuestions.size(), 2u);
    EXPECT_EQ(head("chart.png", 4), QByteArray("\x89PNG", 4));
    EXPECT_FALSE(QFile::exists(typed));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(window->chart().panelColour(), QColor(236, 233, 216));
}

TEST_F(OutputCommandsTest, PrintOffersThePrintDialogAndPrintsALandscapePageWithinTheMargins)
{
    const QString pdf = QString::fromStdString(dir.file("printed.pdf"));
    ui.printerFiles.push_back(pdf);
    window->action("mnuPrintChart")->trigger();
    EXPECT_EQ(ui.printerDialogs, 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(window->chart().panelColour(), QColor(236, 233, 216));
    ASSERT_EQ(head("printed.pdf", 5), QByteArray("%PDF-"));
    const outputtest::ToolRun text = outputtest::runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    SKIP_WITHOUT(text, "pdftotext (poppler-utils)");
    EXPECT_TRUE(text.output.contains(window->chart().title(kavra::TitleLine::Header).text.toUtf8()))
        << text.output.toStdString();
    const outputtest::ToolRun info = outputtest::runTool(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("Page size: *([0-9.]+) x ([0-9.]+) pts"))
                                             .match(QString::fromLatin1(info.output));
    ASSERT_TRUE(size.hasMatch()) << info.output.toStdString();
    const QSizeF points(size.captured(1).toDouble(), size.captured(2).toDouble());
    EXPECT_GT(points.width(), points.height());  // landscape
    outputtest::ToolRun raster;
    const QImage page = outputtest::rasterised(pdf, (points * 0.75).toSize(), raster);  // 54 dots per inch
    ASSERT_FALSE(page.isNull()) << raster.errors.toStdString();
    const QRect inked = inkedArea(page);
    // 15 % of the width beside the chart and 25 % of the height above and below it.
    EXPECT_GE(inked.left(), int(page.width() * 0.14));
    EXPECT_LE(inked.right(), int(page.width() * 0.86));
    EXPECT_GE(inked.top(), int(page.height() * 0.24));
    EXPECT_LE(inked.bottom(), int(page.height() * 0.76));
    EXPECT_GT(inked.width(), page.width() * 0.6);
    EXPECT_GT(inked.height(), page.height() * 0.4);
}

TEST_F(OutputCommandsTest, WithoutAnInstalledPrinterThePrintDialogOffersPrintingToAFile)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "this machine has a printer installed";
    const QString pdf = QString::fromStdString(dir.file("to-file.pdf"));
    ui.printerFiles.push_back(pdf);
    window->action("mnuPrintChart")->trigger();
    ASSERT_EQ(ui.printerFormatsOffered.size(), 1u);
    EXPECT_EQ(ui.printerFormatsOffered[0], QPrinter::PdfFormat);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(head("to-file.pdf", 5), QByteArray("%PDF-"));
}

TEST_F(OutputCommandsTest, ACancelledPrintDialogPrintsNothingAndAPrinterThatCannotPrintIsTold)
{
    ui.printerFiles.push_back(QString());  // Cancel
    window->action("mnuPrintChart")->trigger();
    EXPECT_EQ(ui.printerDialogs, 1);
    EXPECT_TRUE(ui.messages.empty());
    ui.printerFiles.push_back(QStringLiteral(""));  // accepted, but nothing to print on
    window->action("mnuPrintChart")->trigger();
    EXPECT_EQ(ui.printerDialogs, 2);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("The chart was not printed: No printer is installed"));
    EXPECT_EQ(window->chart().panelColour(), QColor(236, 233, 216));
}

TEST_F(OutputCommandsTest, AnEmptyChartExportsWholeInEveryFormat)
{
    for (auto &row : window->items().current().rows)
        row.selected = false;
    window->lvwKavra_Click();
    ASSERT_EQ(window->chart().seriesCount(), 0);
    window->resize(1200, 800);
    window->show();
    QCoreApplication::processEvents();
    const QSize size = window->chart().size();
    const char *const names[] = {"e.bmp", "e.jpg", "e.wmf", "e.emf", "e.gif",
                                 "e.png", "e.pcx", "e.eps", "e.pdf", "e.svg"};
    QStringList skipped;
    for (int index = 1; index <= 10; ++index) {
        const char *name = names[index - 1];
        SCOPED_TRACE(name);
        ui.chosenIndex = index;
        ui.fileAnswers.push_back(QString::fromStdString(dir.file(name)));
        window->action("mnuExportChart")->trigger();
        outputtest::ToolRun reader;
        const QImage image = outputtest::rasterised(QString::fromStdString(dir.file(name)), size, reader);
        if (!reader.found) {
            skipped << QLatin1String(name);
            continue;
        }
        ASSERT_FALSE(image.isNull()) << reader.errors.toStdString();
        const QRect plot = outputtest::plotArea(image);
        EXPECT_GT(plot.width(), image.width() * 3 / 4) << "the axes span the picture";
        EXPECT_GT(plot.height(), image.height() / 2);
    }
    EXPECT_TRUE(ui.messages.empty());
    if (!skipped.isEmpty())
        GTEST_SKIP() << "no reader installed for " << skipped.join(' ').toStdString();
}

TEST_F(OutputCommandsTest, SaveReportChartsTheSelectedItemsOrTheTopOnesIntoAPdfNamedAsSaveAsNamesFiles)
{
    QAction *report = window->action("mnuSaveReport");
    ASSERT_TRUE(report && report->isEnabled());
    const QString typed = QString::fromStdString(dir.file("day report"));
    outputtest::writeFile(typed + QStringLiteral(".pdf"), "the report before");
    ui.fileAnswers = {typed, typed};
    ui.questionAnswers = {false, true};  // not replaced, then replaced
    report->trigger();
    EXPECT_EQ(outputtest::readFile(typed + QStringLiteral(".pdf")), QByteArray("the report before"));
    report->trigger();
    ASSERT_EQ(ui.askedQuestions.size(), 2u);
    EXPECT_EQ(ui.askedQuestions[1].text, QStringLiteral("day report.pdf already exists.\nDo you want to replace it?"));
    EXPECT_EQ(ui.askedQuestions[1].title, QStringLiteral("Save Report"));
    EXPECT_EQ(ui.filters.last(), QStringLiteral("PDF files (*.pdf)|*.pdf"));
    // With nothing selected, the items of the highest median: all three here.
    for (kavra::ItemRow &row : window->items().current().rows)
        row.selected = false;
    ui.fileAnswers = {QString::fromStdString(dir.file("top.PDF"))};
    report->trigger();
    EXPECT_EQ(ui.folders.last(), QString::fromStdString(dir.file("")).chopped(1)) << "the folder last used";
    EXPECT_TRUE(ui.messages.empty());

    const struct {
        QString file;
        const char *pages;
        QStringList texts;
    } reports[] = {
        {typed + QStringLiteral(".pdf"), "2", {QStringLiteral("MP Sync Time(# 1)"), QStringLiteral("the selected items")}},
        {QString::fromStdString(dir.file("top.PDF")), "2",
         {QStringLiteral("Disk Rate(# 1)"), QStringLiteral("CPU Busy(# 1)"), QStringLiteral("MP Sync Time(# 1)"),
          QStringLiteral("the 24 items with the highest median")}},
    };
    for (const auto &r : reports) {
        const outputtest::ToolRun info = outputtest::runTool(QStringLiteral("pdfinfo"), {r.file});
        const outputtest::ToolRun text = outputtest::runTool(QStringLiteral("pdftotext"), {r.file, QStringLiteral("-")});
        if (!info.found || !text.found)
            GTEST_SKIP() << "poppler's pdfinfo and pdftotext are not installed";
        EXPECT_TRUE(info.output.contains(QByteArray("\nPages:           ") + r.pages + '\n')) << info.output.constData();
        for (const QString &needle : r.texts)
            EXPECT_TRUE(QString::fromUtf8(text.output).contains(needle)) << needle.toStdString();
    }
}
