// Correlate and the correlation window: which items are listed and how, the
// scatter diagram of the chosen line, and the list saved and printed.

#include "dialogs/CorrelationWindow.h"
#include "app/AppState.h"
#include "app/MainWindow.h"
#include "chart/ChartView.h"
#include "data/DataSet.h"
#include "data/TimeStrings.h"
#include "items/ItemList.h"
#include "itemviews/ItemListView.h"
#include "support/FakeInteraction.h"
#include "support/InputEvents.h"
#include "support/PerfFiles.h"
#include "support/TempDir.h"
#include "support/ChartAccess.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

using kavra::TitleLine;

namespace {

// A print dialog that chooses a PDF file, or is cancelled when none is given.
class PrintingInteraction : public FakeInteraction {
public:
    std::optional<QString> pdfFile;
    int printDialogs = 0;
    std::vector<QPrinter::OutputFormat> formatsOffered;

    bool choosePrinter(QWidget *, QPrinter &printer) override
    {
        ++printDialogs;
        formatsOffered.push_back(printer.outputFormat());
        if (!pdfFile)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*pdfFile);
        return true;
    }
};

// Two zero-mean patterns of the same length and size that are orthogonal: an
// item a*P + b*Q correlates with P at a / sqrt(a*a + b*b), exactly for these
// small integers (the means, sums and square roots are all exact).
const double P[8] = {3, 1, -1, -3, 3, 1, -1, -3};
const double Q[8] = {1, -3, 3, -1, 1, -3, 3, -1};

const std::vector<std::string> kNames = {
    "Total Busy",       // 1: the reference, 100 + P
    "Disk Reads",       // 2: twice the reference            1.000
    "Disk Writes",      // 3: three times the reference      1.000
    "Free Pages",       // 4: 500 - 3P                      (1.000)
    "Net Packets Out",  // 5: 3P + Q                         0.949
    "Cache Hits",       // 6: 5P + 3Q                        0.857
    "Page Faults",      // 7: -2P + Q                       (0.894)
    "Queue Len",        // 8: -5P + 3Q                      (0.857)
    "Weak One",         // 9: P + 2Q                         0.447
    "Constant",         // 10: 42
    "Edge Plus",        // 11: 4P + 3Q                       0.8 exactly
    "Edge Minus",       // 12: -4P + 3Q                     -0.8 exactly
    "Just Over",        // 13: 4P + 2.99Q                    0.80096
};

double mainValue(int item, int row)
{
    const double p = P[row - 1], q = Q[row - 1];
    switch (item) {
    case 1: return 100 + p;
    case 2: return 2 * (100 + p);
    case 3: return 3 * (100 + p);
    case 4: return 500 - 3 * p;
    case 5: return 50 + 3 * p + q;
    case 6: return 50 + 5 * p + 3 * q;
    case 7: return 50 - 2 * p + q;
    case 8: return 50 - 5 * p + 3 * q;
    case 9: return 50 + p + 2 * q;
    case 10: return 42;
    case 11: return 50 + 4 * p + 3 * q;
    case 12: return 50 - 4 * p + 3 * q;
    case 13: return 50 + 4 * p + 2.99 * q;
    }
    return 0;
}

const QStringList kMainLines = {
    "(0.857)  Queue Len", "(0.894)  Page Faults", "(1.000)  Free Pages",      "0.801  Just Over",
    "0.857  Cache Hits",  "0.949  Net Packets Out", "1.000  Disk Reads", "1.000  Disk Writes",
};

const QString kStart = QStringLiteral("06-DEC-2026 10:00:00");
const QString kEnd = QStringLiteral("06-DEC-2026 10:07:00");

}  // namespace

class CorrelationWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<kavra::MainWindow>(ui);
        window->Form_Load(QString());
    }

    void open(const std::string &name, const std::string &bytes)
    {
        ui.fileAnswers.push_back(QString::fromStdString(dir.write(name, bytes)));
        window->mnuOpenFile_Click();
        ASSERT_TRUE(ui.messages.empty()) << ui.messages.back().text.toStdString();
    }

    void openMainFile() { open("main.csv", perfFile(kNames, 8, mainValue)); }

    // Selects just this item in the list and charts it, as a click on it does.
    void chartOnly(const QString &name)
    {
        bool found = false;
        for (kavra::ItemRow &row : window->items().current().rows) {
            row.selected = QString::fromStdString(row.text) == name;
            found = found || row.selected;
        }
        ASSERT_TRUE(found) << name.toStdString();
        window->findChild<kavra::ItemListView *>(QStringLiteral("lvwKavra"))->refresh();
        window->lvwKavra_Click();
    }

    void clickCorrelate()
    {
        auto *button = window->findChild<QPushButton *>(QStringLiteral("cmdCorrelate"));
        ASSERT_TRUE(button);
        ASSERT_TRUE(button->isEnabled());
        button->click();
    }

    kavra::CorrelationWindow *corr() const { return window->correlationWindow(); }
    template <typename T> T *part(const char *name) const { return corr()->findChild<T *>(QString::fromLatin1(name)); }
    QListWidget *list() const { return part<QListWidget>("lstKavra9221"); }
    QPushButton *button(int n) const { return part<QPushButton>(("cmdKavra922" + std::to_string(n)).c_str()); }
    kavra::ChartView &scatter() const { return corr()->scatter(); }
    QString bottomTitle() const { return kavra::plotOf(scatter())->xAxis->label(); }
    QString leftTitle() const { return kavra::plotOf(scatter())->yAxis->label(); }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto &m : ui.messages)
            texts << m.text;
        return texts;
    }

    // Correlates the main file's items with "Total Busy".
    void correlateMain()
    {
        openMainFile();
        chartOnly(QStringLiteral("Total Busy"));
        clickCorrelate();
        ASSERT_TRUE(corr());
        ASSERT_EQ(corr()->lines(), kMainLines);
    }

    // The scatter points are the listed item (x) against the reference (y), one
    // per displayed row, in any order.
    void expectPoints(const std::function<double(int row)> &x, const std::function<double(int row)> &y, int first,
                      int last)
    {
        ASSERT_EQ(scatter().seriesCount(), 1);
        ASSERT_EQ(pointCount(scatter(), 0), last - first + 1);
        std::vector<std::pair<double, double>> expected, shown;
        for (int r = first; r <= last; ++r)
            expected.push_back({x(r), y(r)});
        for (int p = 0; p < pointCount(scatter(), 0); ++p)
            shown.push_back({pointX(scatter(), 0, p), pointY(scatter(), 0, p)});
        std::sort(expected.begin(), expected.end());
        std::sort(shown.begin(), shown.end());
        for (size_t i = 0; i < expected.size(); ++i) {  // the values as read back from the file's text
            EXPECT_NEAR(shown[i].first, expected[i].first, 1e-12 * std::fabs(expected[i].first)) << i;
            EXPECT_NEAR(shown[i].second, expected[i].second, 1e-12 * std::fabs(expected[i].second)) << i;
        }
    }

    PrintingInteraction ui;
    TempDir dir;
    std::unique_ptr<kavra::MainWindow> window;
};

// ---- Correlate ------------------------------------------------------------------

TEST_F(CorrelationWindowTest, ListsTheStrongItemsInTextOrderAndChartsTheLastOne)
{
    correlateMain();
    kavra::CorrelationWindow &w = *corr();
    EXPECT_EQ(w.objectName(), QStringLiteral("frmKavra2"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Vesk Correlation Coefficients"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(ui.messages.empty());

    // Neither the reference, the constant item, the weak one nor the two at
    // exactly 0.8 and -0.8 are listed; just over 0.8 is.
    for (const QString &line : w.lines())
        for (const char *absent : {"Total Busy", "Constant", "Weak One", "Edge Plus", "Edge Minus"})
            EXPECT_FALSE(line.endsWith(QLatin1String(absent))) << line.toStdString();

    const QFont heading = part<QLabel>("lblKavra3")->font();
    EXPECT_EQ(heading.family(), QStringLiteral("Arial"));
    EXPECT_TRUE(heading.bold());
    EXPECT_DOUBLE_EQ(heading.pointSizeF(), 9.75);
    EXPECT_EQ(part<QLabel>("lblKavra3")->text(),
              QStringLiteral("Correlations against \r\n\"Total Busy\" are as follows :"));
    EXPECT_TRUE(part<QLabel>("lblKavra3")->isVisible());
    for (int n = 1; n <= 5; ++n)
        EXPECT_TRUE(button(n)->isVisible()) << n;
    EXPECT_TRUE(part<QLabel>("lblKavra2")->isHidden());
    EXPECT_TRUE(part<QProgressBar>("pbrKavra2")->isHidden());
    EXPECT_EQ(part<QProgressBar>("pbrKavra2")->minimum(), 1);
    EXPECT_EQ(part<QProgressBar>("pbrKavra2")->maximum(), int(kNames.size()));
    EXPECT_TRUE(scatter().isVisible());

    // The last line is selected and charted; every line carries its item's column.
    EXPECT_EQ(list()->currentRow(), list()->count() - 1);
    EXPECT_TRUE(list()->currentItem()->isSelected());
    EXPECT_EQ(w.Corr_Legend_Text, QStringLiteral("1.000"));
    EXPECT_EQ(bottomTitle(), QStringLiteral(" Disk Writes"));
    const auto column = [&](const QString &name) {
        for (const kavra::ItemRow &row : window->items().current().rows)
            if (QString::fromStdString(row.text) == name)
                return row.tag;
        return 0;
    };
    for (int i = 0; i < list()->count(); ++i) {
        const QString text = list()->item(i)->text();
        EXPECT_EQ(list()->item(i)->data(Qt::UserRole).toInt(), column(text.mid(text.indexOf(QStringLiteral("  ")) + 2)))
            << text.toStdString();
    }
}

TEST_F(CorrelationWindowTest, WithoutASelectedItemCorrelateDoesNothing)
{
    openMainFile();
    for (kavra::ItemRow &row : window->items().current().rows)
        row.selected = false;
    window->findChild<kavra::ItemListView *>(QStringLiteral("lvwKavra"))->refresh();
    window->lvwKavra_Click();
    window->cmdCorrelate_Click();
    EXPECT_TRUE(!corr() || corr()->isHidden());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CorrelationWindowTest, NoStrongItemSaysSoAndHidesTheWindow)
{
    open("weak.csv", perfFile({"Alpha", "Beta", "Gamma"}, 8, [](int item, int row) {
             const double p = P[row - 1], q = Q[row - 1];
             return item == 1 ? 10 + p : item == 2 ? 20 + q : 7.0;  // orthogonal, constant
         }));
    chartOnly(QStringLiteral("Alpha"));
    clickCorrelate();
    ASSERT_TRUE(corr());
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("No relevant items found ...")});
    EXPECT_FALSE(corr()->isVisible());
    EXPECT_TRUE(corr()->lines().isEmpty());
    for (int n = 1; n <= 5; ++n)
        EXPECT_TRUE(button(n)->isHidden()) << n;
}

TEST_F(CorrelationWindowTest, OnlyTheDisplayedRowsTakePartAndColumnOneIsNeverListed)
{
    // Over all 20 rows Mixed is weak and Outside strong; over rows 3 to 10 Mixed
    // follows Load exactly and Outside is constant.
    open("zoom.csv", perfFile({"Load", "Mixed", "Outside", "Falling"}, 20, [](int item, int r) {
             switch (item) {
             case 1: return double(r);
             case 2: return r <= 12 ? double(r) : 40.0 - 3 * r;
             case 3: return r < 3 || r > 10 ? double(r) : 5.0;
             default: return 100.0 - 2 * r;
             }
         }));
    // The sample times rise with Load: column 1 would be listed at 1.000.
    kavra::ItemRow times;
    times.text = "Sample Time";
    times.tag = 1;
    window->items().current().rows.push_back(times);
    chartOnly(QStringLiteral("Load"));

    clickCorrelate();
    EXPECT_EQ(corr()->lines(), (QStringList{"(1.000)  Falling", "0.963  Outside"}));
    EXPECT_EQ(pointCount(scatter(), 0), 20);

    window->state().rows.Zoom_First_Row = 3;
    window->state().rows.Zoom_Last_Row = 10;
    window->cmdCorrelate_Click();
    ASSERT_EQ(corr()->lines(), (QStringList{"(1.000)  Falling", "1.000  Mixed"}));
    EXPECT_EQ(corr()->Start_Date, QStringLiteral("06-DEC-2026 10:02:00"));
    EXPECT_EQ(QString::fromStdString(kavra::timestr::generalDateText(corr()->End_Date)),
              QStringLiteral("06-DEC-2026 10:09:00"));
    expectPoints([](int r) { return double(r); }, [](int r) { return double(r); }, 3, 10);

    // One displayed row: nothing can be correlated.
    window->state().rows.Zoom_First_Row = window->state().rows.Zoom_Last_Row = 5;
    window->cmdCorrelate_Click();
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("No relevant items found ...")});
    EXPECT_FALSE(corr()->isVisible());
}

TEST_F(CorrelationWindowTest, CoefficientsComeFromTheLastFileAndTheDiagramFromTheFirst)
{
    openMainFile();
    // In the second file Disk Reads falls as Total Busy rises and Free Pages rises with it.
    open("second.csv", perfFile(kNames, 8,
                                [](int item, int row) {
                                    const double p = P[row - 1];
                                    return item == 1 ? 10 + p : item == 2 ? 80 - p : item == 4 ? 5 * p : 1.0;
                                },
                                "07-DEC-2026", "NODE2"));
    ASSERT_EQ(window->data().Files_Open, 2);
    chartOnly(QStringLiteral("Total Busy"));
    window->cmdCorrelate_Click();
    ASSERT_EQ(corr()->lines(), (QStringList{"(1.000)  Disk Reads", "1.000  Free Pages"}));

    // Free Pages against Total Busy as the first file has them (falling there),
    // dated by the first file's sample times.
    EXPECT_EQ(bottomTitle(), QStringLiteral(" Free Pages"));
    expectPoints([](int r) { return mainValue(4, r); }, [](int r) { return mainValue(1, r); }, 1, 8);
    EXPECT_EQ(corr()->Start_Date, kStart);
    EXPECT_TRUE(scatter().title(TitleLine::Header).text.contains(kStart + QStringLiteral(" and ") + kEnd));
}

TEST_F(CorrelationWindowTest, CoefficientsUseAFullStopWhateverTheLocale)
{
    const QLocale before;
    const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // when the system has it
    openMainFile();
    chartOnly(QStringLiteral("Total Busy"));
    window->cmdCorrelate_Click();
    const QStringList lines = corr() ? corr()->lines() : QStringList();
    const QString legend = corr() ? corr()->Corr_Legend_Text : QString();
    QLocale::setDefault(before);
    std::setlocale(LC_NUMERIC, numeric.c_str());
    EXPECT_EQ(lines, kMainLines);
    EXPECT_EQ(legend, QStringLiteral("1.000"));
}

TEST_F(CorrelationWindowTest, LargeValuesThatVaryLittleStillCorrelate)
{
    open("large.csv", perfFile({"Base", "Double", "Mirror", "Unrelated"}, 10000, [](int item, int r) {
             const double v = r % 7;
             switch (item) {
             case 1: return 1e9 + v;
             case 2: return 3e9 + 2 * v;
             case 3: return 2e9 - v;
             default: return 1e9 + (r / 7) % 5;
             }
         }));
    chartOnly(QStringLiteral("Base"));
    clickCorrelate();
    ASSERT_TRUE(corr());
    EXPECT_EQ(corr()->lines(), (QStringList{"(1.000)  Mirror", "1.000  Double"}));
    EXPECT_EQ(pointCount(scatter(), 0), 10000);
}

TEST_F(CorrelationWindowTest, ListsWhatKavraBatchCorrelatePrintsForTheSameFile)
{
    // tests/app/correlate-node1-cpu-busy.txt is what kavra-batch prints (the
    // batch_cli test checks it byte for byte); the window lists the same lines.
    QFile expected(QStringLiteral(KAVRA_EXAMPLES "/../tests/app/correlate-node1-cpu-busy.txt"));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    const QByteArray printed = expected.readAll();
    ui.fileAnswers.push_back(QStringLiteral(KAVRA_EXAMPLES "/node1_day.csv"));
    window->mnuOpenFile_Click();
    chartOnly(QStringLiteral("CPU Busy"));
    clickCorrelate();
    ASSERT_TRUE(corr());
    QByteArray listed;
    for (const QString &line : corr()->lines())
        listed += line.toLocal8Bit() + '\n';
    EXPECT_EQ(listed.toStdString(), printed.toStdString());
}

// ---- The scatter diagram ------------------------------------------------------------

TEST_F(CorrelationWindowTest, TheDiagramShowsTheChosenLineAgainstTheReference)
{
    correlateMain();
    kavra::CorrelationWindow &w = *corr();
    const QString title = scatter().title(TitleLine::Header).text;
    const QStringList parts = {QStringLiteral("Scatter Diagram for Data Collection on "),
                               QStringLiteral("node NODE1 between "), kStart + QStringLiteral(" and ") + kEnd};
    qsizetype at = 0;
    for (const QString &p : parts) {
        const qsizetype found = title.indexOf(p, at);
        EXPECT_GE(found, at) << p.toStdString() << " in " << title.toStdString();
        at = found < 0 ? at : found + p.size();
    }
    EXPECT_EQ(w.Start_Date, kStart);
    EXPECT_EQ(QString::fromStdString(kavra::timestr::generalDateText(w.End_Date)), kEnd);
    EXPECT_EQ(w.reference().column, 2);  // Total Busy, the first item column
    EXPECT_EQ(leftTitle(), QStringLiteral("Total Busy"));
    EXPECT_FALSE(timeAxis(scatter()));
    ASSERT_TRUE(scatter().legendTextWanted);
    EXPECT_EQ(scatter().legendTextWanted(0), QStringLiteral("1.000"));
    EXPECT_EQ(scatter().legendTextWanted(1), QStringLiteral("Fitted Curve"));
    EXPECT_EQ(kavra::plotOf(scatter())->legend->outerRect().topLeft(), QPoint(100, 100));
    expectPoints([](int r) { return mainValue(3, r); }, [](int r) { return mainValue(1, r); }, 1, 8);

    // Choosing another line redraws the diagram for its item, whose name has blanks.
    list()->setCurrentRow(kMainLines.indexOf(QStringLiteral("0.949  Net Packets Out")));
    EXPECT_EQ(w.Corr_Legend_Text, QStringLiteral("0.949"));
    EXPECT_EQ(bottomTitle(), QStringLiteral(" Net Packets Out"));
    EXPECT_EQ(leftTitle(), QStringLiteral("Total Busy"));
    expectPoints([](int r) { return mainValue(5, r); }, [](int r) { return mainValue(1, r); }, 1, 8);

    list()->setCurrentRow(0);
    EXPECT_EQ(w.Corr_Legend_Text, QStringLiteral("(0.857)"));
    EXPECT_EQ(scatter().legendTextWanted(0), QStringLiteral("(0.857)"));
    EXPECT_EQ(bottomTitle(), QStringLiteral(" Queue Len"));
    expectPoints([](int r) { return mainValue(8, r); }, [](int r) { return mainValue(1, r); }, 1, 8);
}

namespace {

// A row order in which neither the first nor the last row holds an extreme.
int scrambled(int row) { return (row * 17 + 5) % 41; }

// Cells of a grid over the plot area in which the picture has red points.
int cellsWithRedPoints(const QImage &image, const QRect &plot, int grid)
{
    int cells = 0;
    for (int gy = 0; gy < grid; ++gy)
        for (int gx = 0; gx < grid; ++gx) {
            const QRect cell(plot.left() + plot.width() * gx / grid, plot.top() + plot.height() * gy / grid,
                             plot.width() / grid, plot.height() / grid);
            bool red = false;
            for (int y = cell.top(); y <= cell.bottom() && !red; ++y)
                for (int x = cell.left(); x <= cell.right() && !red; ++x) {
                    const QColor c = image.pixelColor(x, y);
                    red = c.red() > 200 && c.green() < 80 && c.blue() < 80;
                }
            cells += red;
        }
    return cells;
}

}  // namespace

TEST_F(CorrelationWindowTest, TheDiagramShowsEveryRowWithReadableAxesWhateverTheRowOrder)
{
    // Tiny values in no order: the first and last rows are not the extremes, and
    // the ticks lie closer together than three decimals can tell apart.
    open("scrambled.csv", perfFile({"Load", "Tiny", "Other"}, 40, [](int item, int r) {
             const double v = scrambled(r);
             return item == 1 ? 100 + 3 * v : item == 2 ? 0.00001 * v : double(r % 3);
         }));
    chartOnly(QStringLiteral("Load"));
    clickCorrelate();
    ASSERT_TRUE(corr());
    ASSERT_EQ(corr()->lines(), QStringList{QStringLiteral("1.000  Tiny")});
    expectPoints([](int r) { return 0.00001 * scrambled(r); }, [](int r) { return 100 + 3.0 * scrambled(r); }, 1, 40);

    QCustomPlot &plot = *kavra::plotOf(scatter());
    const QImage shown = scatter().grab().toImage();
    double lowX = 1e9, highX = -1e9;
    for (int r = 1; r <= 40; ++r) {
        lowX = qMin(lowX, 0.00001 * scrambled(r));
        highX = qMax(highX, 0.00001 * scrambled(r));
    }
    EXPECT_LE(plot.xAxis->range().lower, lowX);
    EXPECT_GE(plot.xAxis->range().upper, highX);
    EXPECT_LE(plot.yAxis->range().lower, 100 + 3 * 0.0);
    EXPECT_GE(plot.yAxis->range().upper, 100 + 3 * 40.0);

    // The points lie along the diagonal of the plot: in most cells of it.
    const int grid = 6;
    EXPECT_GE(cellsWithRedPoints(shown, plot.axisRect()->rect(), grid), grid);

    for (QCPAxis *axis : {plot.xAxis, plot.yAxis}) {
        const QVector<QString> labels = axis->tickVectorLabels();
        EXPECT_GE(labels.size(), 3);
        const QSet<QString> distinct(labels.begin(), labels.end());
        EXPECT_EQ(distinct.size(), labels.size()) << QStringList(labels.begin(), labels.end()).join('|').toStdString();
        EXPECT_EQ(labels.count(QStringLiteral("0")), qMin(1, int(labels.count(QStringLiteral("0")))));
    }
}

// ---- Closing ------------------------------------------------------------------------

TEST_F(CorrelationWindowTest, OkCloseAndAnyRedrawEmptyAndHideTheWindow)
{
    correlateMain();
    button(1)->click();
    EXPECT_FALSE(corr()->isVisible());
    EXPECT_TRUE(corr()->lines().isEmpty());
    for (int n = 1; n <= 5; ++n)
        EXPECT_TRUE(button(n)->isHidden()) << n;

    window->cmdCorrelate_Click();
    ASSERT_EQ(corr()->lines(), kMainLines);
    EXPECT_TRUE(corr()->isVisible());
    window->lvwKavra_Click();
    EXPECT_FALSE(corr()->isVisible());
    EXPECT_TRUE(corr()->lines().isEmpty());

    window->cmdCorrelate_Click();
    ASSERT_EQ(corr()->lines(), kMainLines);
    corr()->close();
    EXPECT_FALSE(corr()->isVisible());
    EXPECT_TRUE(corr()->lines().isEmpty());
    for (int n = 1; n <= 5; ++n)
        EXPECT_TRUE(button(n)->isHidden()) << n;
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CorrelationWindowTest, ExportAndPrintChartAreLeftToTheMainWindow)
{
    correlateMain();
    int exports = 0, prints = 0;
    QObject::connect(corr(), &kavra::CorrelationWindow::exportChartRequested, [&] { ++exports; });
    QObject::connect(corr(), &kavra::CorrelationWindow::printChartRequested, [&] { ++prints; });
    button(4)->click();
    EXPECT_EQ(exports, 1);
    EXPECT_EQ(prints, 0);
    button(5)->click();
    EXPECT_EQ(exports, 1);
    EXPECT_EQ(prints, 1);
}

TEST_F(CorrelationWindowTest, ARightClickOnTheDiagramOffersCopyChartWhichCopiesIt)
{
    correlateMain();
    QApplication::clipboard()->setText(QStringLiteral("held before"));
    QWidget *plot = kavra::plotOf(scatter());
    const QPoint centre = kavra::plotOf(scatter())->axisRect()->rect().center();
    auto *menu = part<QMenu>("mnuScatterDiagram");
    ASSERT_TRUE(menu);

    // A right drag scrolls the diagram and offers nothing.
    const double lower = kavra::plotOf(scatter())->xAxis->range().lower;
    input::drag(plot, Qt::RightButton, centre, centre + QPoint(60, 0));
    EXPECT_FALSE(menu->isVisible());
    EXPECT_NE(kavra::plotOf(scatter())->xAxis->range().lower, lower);

    // A right click offers the copy and leaves the diagram where it is.
    const double scrolled = kavra::plotOf(scatter())->xAxis->range().lower;
    input::press(plot, Qt::RightButton, centre);
    input::release(plot, Qt::RightButton, centre);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(kavra::plotOf(scatter())->xAxis->range().lower, scrolled);
    QStringList entries;
    for (QAction *entry : menu->actions())
        entries << entry->text();
    EXPECT_EQ(entries, QStringList{QStringLiteral("Copy Chart")});
    menu->actions().constFirst()->trigger();
    menu->hide();

    const QMimeData *held = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(held && held->hasImage());
    const QImage image = qvariant_cast<QImage>(held->imageData());
    EXPECT_EQ(image.size(), scatter().size() * scatter().devicePixelRatioF());
    int red = 0;  // the diagram's points
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red += qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 90 && qBlue(image.pixel(x, y)) < 90;
    EXPECT_GT(red, 8);
    const QByteArray svg = held->data(QStringLiteral("image/svg+xml"));
    EXPECT_TRUE(QSvgRenderer(svg).isValid());
    EXPECT_TRUE(svg.contains("Scatter Diagram for Data Collection on"));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.back().text.toStdString();
    // The window keeps its designed buttons.
    EXPECT_EQ(corr()->findChildren<QPushButton *>().size(), 5);
}

// ---- Saving the list ------------------------------------------------------------------

TEST_F(CorrelationWindowTest, SaveWritesTheFourHeaderLinesThenTheListInListOrder)
{
    correlateMain();
    const std::string path = dir.write("list.txt", "an older list that is replaced\r\n");
    ui.fileAnswers.push_back(QString::fromStdString(path));
    const int dialogs = ui.fileDialogs;
    button(2)->click();
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Save Correlations to file ... ")});
    EXPECT_EQ(ui.fileDialogs, dialogs + 1);
    ASSERT_FALSE(ui.filters.isEmpty());
    EXPECT_EQ(ui.filters.back(), QStringLiteral(".TXT files (*.TXT)|*.Txt"));
    std::string expected = "Correlations against Total Busy for the Data Collection on \r\n"
                           "node NODE1 for the period between \r\n" +
                           (kStart + QStringLiteral(" and ") + kEnd).toStdString() +
                           "\r\n"
                           "are as follows :\r\n";
    for (const QString &line : kMainLines)
        expected += line.toStdString() + "\r\n";
    EXPECT_EQ(dir.read("list.txt"), expected);
    EXPECT_EQ(corr()->lines(), kMainLines);  // the list stays as it was
    EXPECT_TRUE(corr()->isVisible());
}

TEST_F(CorrelationWindowTest, SaveCancelledOrIntoAMissingFolderWritesNothing)
{
    correlateMain();
    const int dialogs = ui.fileDialogs;
    button(2)->click();  // no answer: the dialog is cancelled
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Save Correlations to file ... ")});
    EXPECT_EQ(ui.fileDialogs, dialogs + 1);
    EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files), QStringList{"main.csv"});

    ui.messages.clear();
    const QString missing = QString::fromStdString(dir.file("no such folder/list.txt"));
    ui.fileAnswers.push_back(missing);
    button(2)->click();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Save Correlations to file ... "));
    EXPECT_TRUE(ui.messages[1].text.startsWith(QStringLiteral("Error : "))) << ui.messages[1].text.toStdString();
    EXPECT_TRUE(ui.messages[1].text.endsWith(QStringLiteral(" generated while Creating file")))
        << ui.messages[1].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("no such folder"))));
    EXPECT_EQ(corr()->lines(), kMainLines);
}

// ---- Printing the list ---------------------------------------------------------------

TEST_F(CorrelationWindowTest, PrintWithoutAChosenPrinterPrintsNothingAndSaysNothing)
{
    correlateMain();
    button(3)->click();
    EXPECT_EQ(ui.printDialogs, 1);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Print Correlations ... ")});
    EXPECT_EQ(corr()->lines(), kMainLines);
}

TEST_F(CorrelationWindowTest, WithoutAnInstalledPrinterTheDialogOffersPrintingToAFile)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "this machine has a printer installed";
    correlateMain();
    button(3)->click();
    ASSERT_EQ(ui.formatsOffered.size(), 1u);
    EXPECT_EQ(ui.formatsOffered[0], QPrinter::PdfFormat);
}

TEST_F(CorrelationWindowTest, APrinterThatCannotStartIsReported)
{
    correlateMain();
    const QString pdf = QString::fromStdString(dir.file("no such folder/list.pdf"));
    ui.pdfFile = pdf;
    button(3)->click();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Print Correlations ... "));
    EXPECT_FALSE(ui.messages[1].text.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST_F(CorrelationWindowTest, PrintShowsTheHeaderThenTheListStrongestPositiveFirst)
{
    correlateMain();
    const QString pdf = QString::fromStdString(dir.file("list.pdf"));
    ui.pdfFile = pdf;
    button(3)->click();
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Print Correlations ... ")});
    ASSERT_TRUE(QFileInfo(pdf).size() > 0);

    if (!QFileInfo::exists(QStringLiteral("/usr/bin/pdftotext")))
        GTEST_SKIP() << "pdftotext is not installed";
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("/usr/bin/pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(-1));
    // Blanks and tabs come out of the PDF as any run of white space.
    const auto squeezed = [](QString text) {
        return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
    };
    const QString text = squeezed(QString::fromUtf8(pdftotext.readAllStandardOutput()));
    QStringList expected = {QStringLiteral("Correlations against Total Busy for the Data Collection on"),
                            QStringLiteral("node NODE1 for the period between"), kStart + QStringLiteral(" and ") + kEnd,
                            QStringLiteral("are as follows :")};
    for (auto it = kMainLines.crbegin(); it != kMainLines.crend(); ++it)
        expected << *it;
    qsizetype at = 0;
    for (const QString &line : expected) {
        const qsizetype found = text.indexOf(squeezed(line), at);
        ASSERT_GE(found, at) << line.toStdString() << " in order in: " << text.toStdString();
        at = found + squeezed(line).size();
    }
}

// ---- The window after Close ---------------------------------------------------------

TEST_F(CorrelationWindowTest, CloseTakesTheWindowAwaySoItCannotShowColumnsThatAreGone)
{
    correlateMain();
    window->mnuCloseFile_Click();
    EXPECT_FALSE(corr()->isVisible());
    EXPECT_TRUE(corr()->lines().isEmpty());

    // A smaller file, then one that fails: the old window has nothing left to draw.
    open("small.csv", perfFile({"Only"}, 2, [](int, int r) { return double(r); }));
    ui.fileAnswers.push_back(QString::fromStdString(dir.write("bad.csv", "no terminator here")));
    window->mnuOpenFile_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(corr()->isVisible());
    EXPECT_EQ(list()->count(), 0);
    corr()->drawScatterDiagram();
    EXPECT_TRUE(corr()->lines().isEmpty());
    EXPECT_EQ(window->items().current().rows.size(), 1u);
}
