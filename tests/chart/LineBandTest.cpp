// The band a dense line is drawn as, checked against Qt's own stroking of the
// same line as the chart strokes sparse lines (its segments with square ends):
// both must cover the same rows in every pixel column. Gaps get no ink, and the
// ink keeps to the plot however far off it the points lie.

#include "chart/LineBand.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr int kWidth = 400, kHeight = 200;
const QColor kInk(200, 30, 30);

// The first and last rows of column x covered by more than half the ink.
std::optional<std::pair<int, int>> inkedRows(const QImage &image, int x)
{
    std::optional<std::pair<int, int>> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (qAlpha(image.pixel(x, y)) <= 128)
            continue;
        if (!rows)
            rows = std::make_pair(y, y);
        rows->second = y;
    }
    return rows;
}

QImage blank(double ratio = 1)
{
    QImage image(int(kWidth * ratio), int(kHeight * ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

void prepare(QPainter &painter, bool antialiased, double penWidth = 3)
{
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
    painter.setPen(QPen(kInk, penWidth));
}

QImage banded(const QVector<QPointF> &line, bool antialiased, double ratio = 1,
              const QRect &clip = {0, 0, kWidth, kHeight})
{
    QImage image = blank(ratio);
    QPainter painter(&image);
    prepare(painter, antialiased);
    painter.setClipRect(clip);
    kavra::LineBand band(painter, clip);
    band.paint(&painter, line);
    return image;
}

QImage stroked(const QVector<QPointF> &line, bool antialiased, double ratio = 1)
{
    QImage image = blank(ratio);
    QPainter painter(&image);
    prepare(painter, antialiased);
    QVector<QLineF> segments;
    for (qsizetype i = 0; i + 1 < line.size(); ++i)
        segments << QLineF(line[i], line[i + 1]);
    painter.drawLines(segments);
    return image;
}

// A busy counter: a slow wave with fast noise, many points to a pixel.
QVector<QPointF> busyLine(int points)
{
    QVector<QPointF> line;
    for (int i = 0; i < points; ++i) {
        const double x = 10 + (kWidth - 20) * double(i) / (points - 1);
        line << QPointF(x, 100 + 50 * std::sin(x / 40) + 12 * std::sin(i * 2.7));
    }
    return line;
}

// Column by column, leaving out the line's two ends, where the square ends of
// its steep first and last segments stick out a little differently.
void expectSameRowsAsStroke(const QImage &band, const QImage &stroke)
{
    ASSERT_EQ(band.size(), stroke.size());
    const double ratio = band.devicePixelRatio();
    int inked = 0;
    for (int x = int(12 * ratio); x < int((kWidth - 12) * ratio); ++x) {
        const auto b = inkedRows(band, x), s = inkedRows(stroke, x);
        ASSERT_EQ(bool(b), bool(s)) << "column " << x;
        if (!b)
            continue;
        ++inked;
        EXPECT_NEAR(b->first, s->first, 1) << "column " << x;
        EXPECT_NEAR(b->second, s->second, 1) << "column " << x;
    }
    EXPECT_GT(inked, band.width() / 2);
}

}  // namespace

TEST(LineBand, ADenseLineCoversTheRowsTheStrokedLineCovers)
{
    const QVector<QPointF> line = busyLine(8000);
    for (const bool antialiased : {true, false}) {
        SCOPED_TRACE(antialiased ? "antialiased" : "aliased");
        expectSameRowsAsStroke(banded(line, antialiased), stroked(line, antialiased));
    }
}

TEST(LineBand, OnADenserScreenItDrawsAtTheScreensPixels)
{
    const QVector<QPointF> line = busyLine(8000);
    const QImage band = banded(line, true, 2), stroke = stroked(line, true, 2);
    expectSameRowsAsStroke(band, stroke);
    // A flat stretch is as thick as the pen on the device: six rows, not three.
    QVector<QPointF> flat;
    for (int i = 0; i <= 2000; ++i)
        flat << QPointF(10 + i * 0.19, 50);
    const auto rows = inkedRows(banded(flat, true, 2), 200);
    ASSERT_TRUE(rows);
    EXPECT_NEAR(rows->second - rows->first + 1, 6, 1);
}

TEST(LineBand, AFlatLineIsAsThickAsThePen)
{
    QVector<QPointF> flat;
    for (int i = 0; i <= 4000; ++i)
        flat << QPointF(10 + i * 0.095, 60.5);
    for (const bool antialiased : {true, false}) {
        const QImage image = banded(flat, antialiased);
        const auto rows = inkedRows(image, 200);
        ASSERT_TRUE(rows);
        EXPECT_EQ(rows->first, 59);
        EXPECT_EQ(rows->second, 61);
        EXPECT_EQ(image.pixelColor(200, 60).rgb(), kInk.rgb());
    }
}

TEST(LineBand, AGapInTheLineGetsNoInk)
{
    QVector<QPointF> line = busyLine(8000);
    for (QPointF &p : line)
        if (p.x() > 150 && p.x() < 250)
            p.setY(std::numeric_limits<double>::quiet_NaN());
    const QImage image = banded(line, true);
    for (int x = 156; x <= 244; ++x)
        EXPECT_FALSE(inkedRows(image, x)) << "column " << x;
    EXPECT_TRUE(inkedRows(image, 100));
    EXPECT_TRUE(inkedRows(image, 300));
}

TEST(LineBand, PointsFarOffThePlotKeepTheInkInsideIt)
{
    const QRect plot(50, 40, 300, 120);
    const QVector<QPointF> line = {{-1e15, 1e15}, {60, 100}, {200, -1e300}, {340, 120}, {1e18, -1e18}};
    const QImage image = banded(line, true, 1, plot);
    int inked = 0;
    for (int x = 0; x < kWidth; ++x)
        for (int y = 0; y < kHeight; ++y)
            if (qAlpha(image.pixel(x, y)) > 0) {
                ASSERT_TRUE(plot.contains(x, y)) << x << "," << y;
                ++inked;
            }
    EXPECT_GT(inked, 0);
}

TEST(LineBand, OnlyLinesWithAPointToAPixelAreDense)
{
    QImage image = blank();
    QPainter painter(&image);
    prepare(painter, true);
    const kavra::LineBand band(painter, QRect(0, 0, kWidth, kHeight));
    EXPECT_TRUE(band.dense(busyLine(800)));
    EXPECT_FALSE(band.dense(busyLine(50)));
    // A short stretch, zoomed out: dense for its own width.
    QVector<QPointF> shortLine;
    for (int i = 0; i < 40; ++i)
        shortLine << QPointF(100 + i * 0.5, 50);
    EXPECT_TRUE(band.dense(shortLine));
}

TEST(LineBand, ABandTallerThanOneImageHasNoSeam)
{
    // 400 x 12000 pixels: more than one image's worth of rows for each column.
    QImage image(kWidth, 12000, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QVector<QPointF> zigzag;
    for (int i = 0; i < 4000; ++i)
        zigzag << QPointF(10 + i * 0.095, i % 2 ? 20 : 11980);
    {
        QPainter painter(&image);
        prepare(painter, true);
        kavra::LineBand band(painter, image.rect());
        band.paint(&painter, zigzag);
    }
    for (const int x : {50, 200, 350}) {
        const auto rows = inkedRows(image, x);
        ASSERT_TRUE(rows);
        EXPECT_NEAR(rows->first, 19, 1);
        EXPECT_NEAR(rows->second, 11981, 1);
        for (int y = rows->first + 1; y < rows->second; ++y)
            ASSERT_EQ(qAlpha(image.pixel(x, y)), 255) << "row " << y << " of column " << x;
    }
}

TEST(LineBand, AJumpAtOneSampleTimeIsInkedAllTheWay)
{
    // Two records with the same time: the line goes straight up or down there,
    // in the middle of columns 100, 200 and 300.
    QVector<QPointF> steps;
    double y = 60;
    for (int i = 0; i <= 3040; ++i) {
        const double x = 10 + i * 0.125;
        steps << QPointF(x, y);
        if (x == 100.5 || x == 200.5 || x == 300.5) {
            y = 200 - y;
            steps << QPointF(x, y);
        }
    }
    // And alone between two gaps, at column 350.
    const double gap = std::numeric_limits<double>::quiet_NaN();
    steps[2720] = steps[2723] = QPointF(gap, gap);
    steps[2721] = QPointF(350.5, 60);
    steps[2722] = QPointF(350.5, 140);
    for (const bool antialiased : {true, false}) {
        SCOPED_TRACE(antialiased ? "antialiased" : "aliased");
        const QImage band = banded(steps, antialiased), stroke = stroked(steps, antialiased);
        expectSameRowsAsStroke(band, stroke);
        for (const int column : {100, 200, 300, 350})
            for (int row = 60; row <= 140; ++row) {
                ASSERT_GT(qAlpha(stroke.pixel(column, row)), 128) << "the stroke, column " << column << ", row " << row;
                ASSERT_GT(qAlpha(band.pixel(column, row)), 128) << "column " << column << ", row " << row;
            }
    }
}

TEST(LineBand, LinesWrittenOntoOneCanvasLookAsEachPaintedInTurn)
{
    // Opaque lines, and one seen through, crossing each other.
    const QVector<QPointF> lines[] = {busyLine(6000), busyLine(3000), busyLine(5000)};
    const QColor colours[] = {kInk, QColor(20, 40, 220), QColor(20, 160, 40, 120)};
    const auto shifted = [](QVector<QPointF> line, double dy) {
        for (QPointF &p : line)
            p.ry() += dy;
        return line;
    };
    const QRect clip(5, 8, kWidth - 30, kHeight - 20);
    const auto draw = [&](kavra::BandCanvas *canvas, double ratio) {
        QImage image = blank(ratio);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setClipRect(clip);
        for (int i = 0; i < 3; ++i) {
            painter.setPen(QPen(colours[i], 3));
            kavra::LineBand band(painter, clip);
            band.paint(&painter, shifted(lines[i], 9.0 * i), canvas);
        }
        if (canvas)
            canvas->paint(&painter);
        return image;
    };
    kavra::BandCanvas canvas;
    // The canvas is clean again after each paint, made anew for a denser screen,
    // and made again after it gave its memory back.
    for (const double ratio : {1.0, 1.0, 2.0, 1.0}) {
        SCOPED_TRACE("device pixel ratio " + std::to_string(ratio));
        const QImage inTurn = draw(nullptr, ratio), together = draw(&canvas, ratio);
        int differing = 0;
        for (int y = 0; y < inTurn.height(); ++y)
            for (int x = 0; x < inTurn.width(); ++x) {
                const QRgb a = inTurn.pixel(x, y), b = together.pixel(x, y);
                differing += std::abs(qRed(a) - qRed(b)) > 2 || std::abs(qGreen(a) - qGreen(b)) > 2 ||
                             std::abs(qBlue(a) - qBlue(b)) > 2;
            }
        EXPECT_EQ(differing, 0);
        if (ratio == 2.0)
            canvas.release();  // as when a drag ends: the next one starts on a new picture
    }
}
