// kavra-batch render, run as a script would run it.

#include "output/OutputTestSupport.h"
#include "support/PerfFiles.h"
#include "support/TempDir.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct BatchRun {
    int status;
    QString errors;
};

BatchRun batch(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(KAVRA_BATCH), arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QString example(const char *name)
{
    return QStringLiteral(KAVRA_EXAMPLES "/") + QLatin1String(name);
}

// Distinct colours in a sample of the picture's pixels.
int colourCount(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

bool seriesRed(const QColor &c)
{
    return c.red() >= 200 && c.green() <= 80 && c.blue() <= 80;
}

struct RedPixels {
    int inside = 0, outside = 0;
};

// The pixels of the first series' colour in the rows of the plot, within the
// plot area (with a little room for the width of the line) and beside it.
RedPixels redPixels(const QImage &image, const QRect &plot)
{
    const QRect room = plot.adjusted(-3, -3, 3, 3);
    RedPixels red;
    for (int y = plot.top(); y <= plot.bottom(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (seriesRed(image.pixelColor(x, y)))
                ++(room.contains(x, y) ? red.inside : red.outside);
    return red;
}

}  // namespace

TEST(BatchRender, DrawsTheChartOfTheDefaultItemAtTheDefaultSize)
{
    TempDir dir;
    const QString out = QString::fromStdString(dir.file("chart.png"));
    const BatchRun run = batch({QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("-o"), out});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    const QImage image(out);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1600, 900));
    EXPECT_GT(colourCount(image), 3);  // not blank: plot, lines, text
}

TEST(BatchRender, DrawsTheNamedItemsOfSeveralFilesAtTheGivenSize)
{
    TempDir dir;
    const QString out = QString::fromStdString(dir.file("two.png"));
    const BatchRun run = batch({QStringLiteral("render"), example("node1_day.csv"), example("node2_day.csv"),
                                QStringLiteral("--items"), QStringLiteral("CPU Busy,MP Sync Time"),
                                QStringLiteral("--size"), QStringLiteral("640x480"), QStringLiteral("-o"), out});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    const QImage image(out);
    EXPECT_EQ(image.size(), QSize(640, 480));
    // Four series in the palette's first colours: red, blue, green and navy.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & 0xffffff);
    for (QRgb colour : {0xff0000u, 0x0000ffu, 0x008000u, 0x000080u})
        EXPECT_TRUE(colours.contains(colour)) << std::hex << colour;
}

TEST(BatchRender, RefusesUnknownItemsAndBadSizes)
{
    TempDir dir;
    const QString out = QString::fromStdString(dir.file("none.png"));
    const BatchRun unknown = batch({QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("--items"),
                                    QStringLiteral("No Such Item"), QStringLiteral("-o"), out});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.errors.contains(QStringLiteral("No Such Item")));
    EXPECT_NE(batch({QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("--size"),
                     QStringLiteral("0x0"), QStringLiteral("-o"), out})
                  .status,
              0);
    EXPECT_NE(batch({QStringLiteral("render"), example("node1_day.csv")}).status, 0);  // no -o
    EXPECT_FALSE(QFile::exists(out));
}

TEST(BatchRender, DrawsEveryChartOption)
{
    TempDir dir;
    const QString twoItems = QStringLiteral("CPU Busy,MP Sync Time");
    const QList<QStringList> variants = {
        {QStringLiteral("--movavg")},
        {QStringLiteral("--movavg"), QStringLiteral("30"), QStringLiteral("--dual-charts")},
        {QStringLiteral("--smooth"), QStringLiteral("200")},
        {QStringLiteral("--candle")},
        {QStringLiteral("--stack"), QStringLiteral("--title"), QStringLiteral("Stacked"), QStringLiteral("--footer"),
         QStringLiteral("foot"), QStringLiteral("--width"), QStringLiteral("1")},
        {QStringLiteral("--dual-y"), QStringLiteral("--subtitle"), QStringLiteral("two axes")},
        {QStringLiteral("--ratio"), QStringLiteral("--width2"), QStringLiteral("5")},
    };
    QSet<QByteArray> pictures;
    for (const QStringList &options : variants) {
        const bool oneItem =
            options.contains(QStringLiteral("--smooth")) || options.contains(QStringLiteral("--candle"));
        const QString out = QString::fromStdString(dir.file("option.png"));
        QStringList arguments = {QStringLiteral("render"),  example("node1_day.csv"),
                                 QStringLiteral("--items"), oneItem ? QStringLiteral("CPU Busy") : twoItems,
                                 QStringLiteral("--size"),  QStringLiteral("800x500"),
                                 QStringLiteral("-o"),      out};
        arguments << options;
        const BatchRun run = batch(arguments);
        ASSERT_EQ(run.status, 0) << options.join(' ').toStdString() << ": " << run.errors.toStdString();
        QFile picture(out);
        ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
        pictures.insert(picture.readAll());
    }
    EXPECT_EQ(pictures.size(), variants.size());  // every option draws something of its own
}

TEST(BatchRender, RefusesOptionsTheViewerWouldNotCombine)
{
    TempDir dir;
    const QString out = QString::fromStdString(dir.file("refused.png"));
    const QList<QStringList> refused = {
        {QStringLiteral("--movavg"), QStringLiteral("--smooth")},
        {QStringLiteral("--stack"), QStringLiteral("--dual-y")},
        {QStringLiteral("--movavg"), QStringLiteral("0")},
        {QStringLiteral("--smooth"), QStringLiteral("20000")},
        {QStringLiteral("--width"), QStringLiteral("7")},
        {QStringLiteral("--title")},
    };
    for (const QStringList &options : refused) {
        QStringList arguments = {QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("-o"), out};
        arguments << options;
        EXPECT_EQ(batch(arguments).status, 2) << options.join(' ').toStdString();
    }
    const BatchRun oneItemRatio = batch(
        {QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("--ratio"), QStringLiteral("-o"), out});
    EXPECT_EQ(oneItemRatio.status, 2);
    EXPECT_TRUE(oneItemRatio.errors.contains(QStringLiteral("two charted items")));
}

TEST(BatchRender, TheExtensionChoosesThePictureFormat)
{
    TempDir dir;
    const QList<std::pair<const char *, QByteArray>> formats = {
        {"chart.svg", "<?xml"},
        {"chart.pdf", "%PDF-"},
        {"chart.WMF", QByteArray("\xD7\xCD\xC6\x9A", 4)},
        {"chart.eps", "%!PS-Adobe-3.0 EPSF-3.0"},
        {"chart.jpeg", "\xFF\xD8\xFF"},
        {"chart.gif", "GIF8"},
        {"chart.pcx", "\x0A"},
        {"chart.bmp", "BM"},
    };
    for (const auto &[name, magic] : formats) {
        const QString out = QString::fromStdString(dir.file(name));
        const BatchRun run = batch({QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("--size"),
                                    QStringLiteral("400x300"), QStringLiteral("-o"), out});
        ASSERT_EQ(run.status, 0) << name << ": " << run.errors.toStdString();
        QFile picture(out);
        ASSERT_TRUE(picture.open(QIODevice::ReadOnly)) << name;
        EXPECT_TRUE(picture.readAll().startsWith(magic)) << name;
    }
    const QString emf = QString::fromStdString(dir.file("chart.emf"));
    ASSERT_EQ(batch({QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("-o"), emf}).status, 0);
    QFile metafile(emf);
    ASSERT_TRUE(metafile.open(QIODevice::ReadOnly));
    EXPECT_EQ(metafile.readAll().mid(40, 4), QByteArray(" EMF"));

    const QString unknown = QString::fromStdString(dir.file("chart.tiff"));
    const BatchRun refused = batch({QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("-o"), unknown});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.errors.contains(QStringLiteral("Unknown picture format of ") + unknown +
                                        QStringLiteral(": use .bmp .jpg .wmf .emf .gif .png .pcx .eps .pdf .svg")))
        << refused.errors.toStdString();
    EXPECT_FALSE(QFile::exists(unknown));

    const QString missing = QString::fromStdString(dir.file("no-such-folder/chart.svg"));
    const BatchRun failed = batch({QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("-o"), missing});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.errors.contains(QStringLiteral("no-such-folder"))) << failed.errors.toStdString();
}

TEST(BatchRender, AZoomedChartShowsTheZoomedTimesInsideItsPlotInEveryFormat)
{
    TempDir dir;
    const QSize size(800, 500);
    const auto render = [&](const QString &out) {
        return batch({QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("--items"),
                      QStringLiteral("CPU Busy"), QStringLiteral("--zoom"), QStringLiteral("600:700"),
                      QStringLiteral("--size"), QStringLiteral("800x500"), QStringLiteral("-o"), out});
    };
    const QString png = QString::fromStdString(dir.file("zoom.png"));
    const BatchRun reference = render(png);
    ASSERT_EQ(reference.status, 0) << reference.errors.toStdString();
    const QRect plot = outputtest::plotArea(QImage(png));
    ASSERT_GT(plot.width(), size.width() / 2);
    // Rows 600 to 700 are the samples from 09:59 to 11:39: the time axis shows
    // those times only, while the line still runs on beyond both edges.
    const QString svg = QString::fromStdString(dir.file("zoom.svg"));
    ASSERT_EQ(render(svg).status, 0);
    const QString labels = outputtest::xmlText(outputtest::readFile(svg), QStringLiteral("text"));
    QStringList times;
    for (const QRegularExpressionMatch &label :
         QRegularExpression(QStringLiteral("(\\d\\d:\\d\\d):\\d\\d \\(")).globalMatch(labels))
        times << label.captured(1);
    EXPECT_GE(times.size(), 2) << labels.toStdString();
    for (const QString &time : times)
        EXPECT_TRUE(time >= QLatin1String("09:59") && time <= QLatin1String("11:39")) << time.toStdString();

    // Every format looks like the PNG: the line stays within the plot area.
    QStringList skipped;
    for (const char *name : {"zoom.png", "zoom.bmp", "zoom.jpg", "zoom.gif", "zoom.pcx", "zoom.svg", "zoom.eps",
                             "zoom.pdf", "zoom.wmf", "zoom.emf"}) {
        SCOPED_TRACE(name);
        const QString out = QString::fromStdString(dir.file(name));
        const BatchRun run = render(out);
        ASSERT_EQ(run.status, 0) << run.errors.toStdString();
        outputtest::ToolRun reader;
        const QImage image = outputtest::rasterised(out, size, reader);
        if (!reader.found) {
            skipped << QLatin1String(name);
            continue;
        }
        ASSERT_FALSE(image.isNull()) << reader.errors.toStdString();
        const RedPixels red = redPixels(image, plot);
        EXPECT_GT(red.inside, 200);  // the line is drawn
        EXPECT_EQ(red.outside, 0);   // and nothing of it lies beside the plot
    }
    if (!skipped.isEmpty())
        GTEST_SKIP() << "no reader installed for " << skipped.join(' ').toStdString()
                     << " (tools/setup.sh installs them)";
}

TEST(BatchRender, AChartWithNoItemFillsItsPictureInEveryFormat)
{
    TempDir dir;
    const QSize size(800, 500);
    const auto render = [&](const QString &out, const QString &items) {
        return batch({QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("--items"), items,
                      QStringLiteral("--size"), QStringLiteral("800x500"), QStringLiteral("-o"), out});
    };
    const QString charted = QString::fromStdString(dir.file("charted.png"));
    ASSERT_EQ(render(charted, QStringLiteral("CPU Busy")).status, 0);
    const QRect full = outputtest::plotArea(QImage(charted));
    ASSERT_GT(full.width(), size.width() / 2);

    QStringList skipped;
    for (const char *name : {"empty.png", "empty.bmp", "empty.jpg", "empty.gif", "empty.pcx", "empty.svg", "empty.eps",
                             "empty.pdf", "empty.wmf", "empty.emf"}) {
        SCOPED_TRACE(name);
        const QString out = QString::fromStdString(dir.file(name));
        const BatchRun run = render(out, QString());
        ASSERT_EQ(run.status, 0) << run.errors.toStdString();
        outputtest::ToolRun reader;
        const QImage image = outputtest::rasterised(out, size, reader);
        if (!reader.found) {
            skipped << QLatin1String(name);
            continue;
        }
        ASSERT_FALSE(image.isNull()) << reader.errors.toStdString();
        const QRect plot = outputtest::plotArea(image);
        EXPECT_GT(plot.width(), full.width() * 9 / 10) << "the axes span the picture as with an item charted";
        EXPECT_GT(plot.height(), full.height() * 9 / 10);
        EXPECT_EQ(redPixels(image, QRect(0, 0, image.width(), image.height())).inside, 0) << "no item charted";
    }
    if (!skipped.isEmpty())
        GTEST_SKIP() << "no reader installed for " << skipped.join(' ').toStdString()
                     << " (tools/setup.sh installs them)";
}

TEST(BatchRender, EveryFileGetsTheSameItemsAsInTheViewer)
{
    TempDir dir;
    QStringList arguments = {QStringLiteral("render")};
    for (int f = 1; f <= 2; ++f)
        arguments << QString::fromStdString(
            dir.write("node" + std::to_string(f) + ".csv",
                      perfFile(
                          itemNames(10), 30, [f](int i, int r) { return f * 1000.0 + i * 40.0 + r; }, "06-DEC-2026",
                          "NODE" + std::to_string(f))));
    QStringList names;
    for (const std::string &name : itemNames(10))
        names << QString::fromStdString(name);
    const QString out = QString::fromStdString(dir.file("shared.png"));
    arguments << QStringLiteral("--items") << names.join(QLatin1Char(',')) << QStringLiteral("-o") << out;
    const BatchRun run = batch(arguments);
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Charting 8 of 10 selected items for each of 2 files")))
        << run.errors.toStdString();
    // Sixteen series in the sixteen palette colours: the second file's eight too.
    const QImage image(out);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & 0xffffff);
    for (QRgb colour : {0xff0000u, 0x0000ffu, 0x008000u, 0x000080u, 0x800000u, 0xff00ffu, 0x800080u, 0xc890c8u,
                        0xfab946u, 0x808000u, 0x400040u, 0x00dc00u, 0xc0c000u, 0x90dc90u, 0x9090c0u})
        EXPECT_TRUE(colours.contains(colour)) << std::hex << colour;
}

namespace {

bool seriesBlue(const QColor &c)
{
    return c.blue() >= 200 && c.red() <= 90 && c.green() <= 90;
}

// The smoothed curve (blue) as drawn: for each column of the plot, the middle of
// its blue pixels; NaN where it has none.
std::vector<double> blueLine(const QImage &image, const QRect &plot)
{
    std::vector<double> line;
    for (int x = plot.left() + 2; x < plot.right() - 2; ++x) {
        double sum = 0;
        int count = 0;
        for (int y = plot.top() + 2; y < plot.bottom() - 2; ++y)
            if (seriesBlue(image.pixelColor(x, y))) {
                sum += y;
                ++count;
            }
        line.push_back(count ? sum / count : std::nan(""));
    }
    return line;
}

}  // namespace

// The picture of each smoothing factor: a decade apart, the curves differ; the
// larger the factor, the less the curve drawn goes up and down.
TEST(BatchRender, EachDecadeOfTheSmoothingFactorDrawsASmootherCurve)
{
    TempDir dir;
    std::vector<std::vector<double>> lines;
    for (const char *factor : {"1", "10", "100", "1000", "10000"}) {
        SCOPED_TRACE(factor);
        const QString out = QString::fromStdString(dir.file(std::string("smooth") + factor + ".png"));
        const BatchRun run = batch({QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("--items"),
                                    QStringLiteral("CPU Busy"), QStringLiteral("--smooth"), QLatin1String(factor),
                                    QStringLiteral("--size"), QStringLiteral("800x500"), QStringLiteral("-o"), out});
        ASSERT_EQ(run.status, 0) << run.errors.toStdString();
        const QImage image(out);
        lines.push_back(blueLine(image, outputtest::plotArea(image)));
        ASSERT_GT(lines.back().size(), 500u);
    }
    const auto upAndDown = [](const std::vector<double> &line) {
        double sum = 0;
        for (size_t x = 1; x < line.size(); ++x)
            if (!std::isnan(line[x]) && !std::isnan(line[x - 1]))
                sum += std::fabs(line[x] - line[x - 1]);
        return sum;
    };
    for (size_t f = 1; f < lines.size(); ++f) {
        SCOPED_TRACE(f);
        EXPECT_LT(upAndDown(lines[f]), upAndDown(lines[f - 1]));
        int apart = 0;
        for (size_t x = 0; x < lines[f].size(); ++x)
            apart += std::fabs(lines[f][x] - lines[f - 1][x]) > 2;  // NaN compares false
        EXPECT_GT(apart, int(lines[f].size()) / 10) << "columns where the two curves lie apart";
    }
}

// A period longer than the rows leaves the item drawn, and says why no average is.
TEST(BatchRender, AnAverageLongerThanTheRowsLeavesTheItemDrawnAndSaysSo)
{
    TempDir dir;
    const QString out = QString::fromStdString(dir.file("long-average.png"));
    const BatchRun run = batch({QStringLiteral("render"), example("node1_day.csv"), QStringLiteral("--items"),
                                QStringLiteral("CPU Busy"), QStringLiteral("--movavg"), QStringLiteral("2000"),
                                QStringLiteral("--size"), QStringLiteral("800x500"), QStringLiteral("-o"), out});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(
        QStringLiteral("The moving average period (2000) is longer than the 1440 rows shown: no average is drawn")))
        << run.errors.toStdString();
    const QImage image(out);
    EXPECT_GT(redPixels(image, outputtest::plotArea(image)).inside, 500) << "the item's line";
}
