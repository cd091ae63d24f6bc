// The chart on paper, printed to PDF files and read back with poppler: the
// page's orientation, the margins, the title, and white paper behind.

#include "output/ChartPrint.h"
#include "output/OutputTestSupport.h"
#include "support/TempDir.h"

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QRegularExpression>
#include <gtest/gtest.h>

using kavra::paintPreview;
using kavra::printChart;
using namespace outputtest;

namespace {

const QColor kPanel(200, 220, 255);

// A PDF printer writing to path; nothing here reaches a real printer.
void toPdf(QPrinter &printer, const QString &path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

// The first page of a PDF as a bitmap, at 30 dots per inch.
QImage pageImage(const QString &pdf, ToolRun &run)
{
    const QString stem = pdf + QStringLiteral("-page");
    run = runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("30"),
                                               QStringLiteral("-singlefile"), pdf, stem});
    return QImage(stem + QStringLiteral(".png"));
}

// The part of the page painted in the panel colour, as fractions of the page.
QRectF panelArea(const QImage &page)
{
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (std::abs(c.red() - kPanel.red()) + std::abs(c.green() - kPanel.green()) +
                    std::abs(c.blue() - kPanel.blue()) <
                12) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    if (right < 0)
        return {};
    return QRectF(double(left) / page.width(), double(top) / page.height(), double(right + 1 - left) / page.width(),
                  double(bottom + 1 - top) / page.height());
}

}  // namespace

TEST(ChartPrint, PrintsALandscapePageWithTheTitleOnWhite)
{
    auto chart = makeChart();
    chart->setPanelColour(kPanel);
    TempDir dir;
    const QString pdf = QString::fromStdString(dir.file("printed.pdf"));
    QPrinter printer;
    toPdf(printer, pdf);
    ASSERT_EQ(printChart(*chart, printer, 0.15, 0.25), QString());
    EXPECT_EQ(chart->panelColour(), kPanel);
    ASSERT_TRUE(readFile(pdf).startsWith("%PDF-"));
    const ToolRun info = runTool(QStringLiteral("pdfinfo"), {pdf});
    SKIP_WITHOUT(info, "pdfinfo (poppler-utils)");
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("Page size: *([0-9.]+) x ([0-9.]+) pts"))
                                             .match(QString::fromLatin1(info.output));
    ASSERT_TRUE(size.hasMatch()) << info.output.toStdString();
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble());  // landscape
    const ToolRun text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.output.contains(kTitle.toUtf8())) << text.output.toStdString();
    ToolRun raster;
    const QImage page = pageImage(pdf, raster);
    ASSERT_FALSE(page.isNull()) << raster.errors.toStdString();
    EXPECT_TRUE(panelArea(page).isEmpty());  // paper is white behind the chart
}

TEST(ChartPrint, PreviewShowsThePanelColourWithinTheMargins)
{
    auto chart = makeChart();
    chart->setPanelColour(kPanel);
    TempDir dir;
    const struct {
        const char *name;
        double marginX, marginY;
    } layouts[] = {{"main.pdf", 0.15, 0.25}, {"scatter.pdf", 0, 0}};
    for (const auto &layout : layouts) {
        SCOPED_TRACE(layout.name);
        const QString pdf = QString::fromStdString(dir.file(layout.name));
        QPrinter printer;
        toPdf(printer, pdf);
        paintPreview(*chart, printer, layout.marginX, layout.marginY);
        EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
        ToolRun raster;
        const QImage page = pageImage(pdf, raster);
        SKIP_WITHOUT(raster, "pdftoppm (poppler-utils)");
        ASSERT_FALSE(page.isNull()) << raster.errors.toStdString();
        EXPECT_GT(page.width(), page.height());
        // The chart's panel fills the page within the margins.
        const QRectF area = panelArea(page);
        const double slack = 0.02;
        EXPECT_NEAR(area.left(), layout.marginX, slack);
        EXPECT_NEAR(area.right(), 1 - layout.marginX, slack);
        EXPECT_NEAR(area.top(), layout.marginY, slack);
        EXPECT_NEAR(area.bottom(), 1 - layout.marginY, slack);
    }
}

TEST(ChartPrint, RefusesWithAMessageWhenThereIsNoPrinter)
{
    auto chart = makeChart();
    chart->setPanelColour(kPanel);
    // A PDF printer without a file, named after no printer: what Qt gives when
    // no printer is installed. Set in this order it can never reach a real one.
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString());
    printer.setPrinterName(QStringLiteral("Kavra No Such Printer"));
    ASSERT_TRUE(printer.outputFileName().isEmpty());
    EXPECT_EQ(printChart(*chart, printer, 0.15, 0.25), QStringLiteral("No printer is installed"));
    EXPECT_EQ(chart->panelColour(), kPanel);
    // A PDF printer whose file cannot be made.
    TempDir dir;
    QPrinter unwritable;
    toPdf(unwritable, QString::fromStdString(dir.file("no-such-folder/printed.pdf")));
    const QString error = printChart(*chart, unwritable, 0, 0);
    EXPECT_TRUE(error.contains(QStringLiteral("no-such-folder"))) << error.toStdString();
    EXPECT_EQ(chart->panelColour(), kPanel);
}
