#pragma once
// A line drawn as the band it covers on the device. For each pixel column the
// band holds the line's extent over that column, widened by half the pen; it is
// painted as one image, its ends antialiased when the painter is. Where points
// are as dense as the pixels or denser this is the picture the stroked line
// makes, at a fraction of the cost of thousands of wide, antialiased segments:
// Qt blends such segments (and tall, one-pixel-wide fills) a few pixels at a
// time, while the band's image is blended row by row in one call.

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QTransform>
#include <QVector>

#include <limits>
#include <vector>

class QPainter;

namespace kavra {

// One picture the bands of several lines are written into, painted once over
// what lies below them: while the view moves, one blend of the plot instead of one
// per line. A later line covers an earlier one, as when each is painted in turn.
class BandCanvas {
public:
    // Paints what was written since the last paint, and clears it.
    void paint(QPainter *painter);
    // Gives back the picture's memory until a line is next painted onto it.
    void release();

private:
    friend class LineBand;
    // Makes the canvas ready for bands of the device area (pixels) under device;
    // what was written for another device or area is dropped.
    void prepare(const QTransform &device, const QRect &area);
    void touch(int firstRow, int lastRow);  // device rows written
    void forgetTouched();

    QImage image_;
    QTransform device_;
    QRect area_;  // device pixels
    int touchedTop_ = std::numeric_limits<int>::max(), touchedBottom_ = -1;  // image rows; none when top > bottom
};

class LineBand {
public:
    // Only painters that move and scale, without rotating or shearing, have
    // device pixel columns along the key axis.
    static bool fits(const QPainter &painter);

    // The band of lines drawn with painter's pen, within clip (painter units).
    LineBand(const QPainter &painter, const QRect &clip);

    // Whether lines has at least a point per device column along its width.
    bool dense(const QVector<QPointF> &lines) const;

    // Paints the band of each unbroken stretch of lines (non-finite points break
    // it); onto canvas, when one is given, to be painted later with other lines.
    void paint(QPainter *painter, const QVector<QPointF> &lines, BandCanvas *canvas = nullptr);

private:
    // Where the columns are written: device row y and band column c go to
    // bits + (y - row0) * stride, pixel c - column0.
    struct Pixels {
        uchar *bits;
        qsizetype stride;
        int column0, width, row0, rows;
        bool over;  // blended over what is there, not written in its place
    };

    void paintRun(QPainter *painter, const QPointF *points, qsizetype count, BandCanvas *canvas);
    // The device rows the band of columns first to last spans.
    void rowSpan(int first, int last, int &row0, int &rows) const;
    void paintOnto(BandCanvas &canvas, const QColor &colour, int first, int last) const;
    void paintImage(QPainter *painter, int first, int last);
    void paintRows(QPainter *painter, int first, int last, int row0, int rows);
    void writeColumns(const QColor &colour, int first, int last, const Pixels &out) const;

    static constexpr qsizetype kImagePixels = qsizetype(1) << 22;  // 16 MiB an image at most

    QTransform device_;  // painter units to device pixels
    int left_ = 0;       // the first device column of the clip
    int columns_ = 0;
    double top_ = 0, bottom_ = 0;  // the clip's rows, device pixels
    double halfX_ = 0.5, halfY_ = 0.5;
    bool antialiased_ = false;
    std::vector<float> low_, high_;  // each column's extent, device rows
};

}  // namespace kavra
