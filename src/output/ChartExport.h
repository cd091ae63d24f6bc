#pragma once
// The chart as a picture file: bitmaps (BMP, JPEG, GIF, PNG, PCX) drawn at the
// chart's pixels, and vector drawings (WMF, EMF, EPS, PDF, SVG) whose lines and
// text stay lines and text. Pictures are white behind the chart.

#include <QByteArray>
#include <QString>

#include <optional>

namespace kavra {

class ChartView;

enum class ImageFormat { Bmp, Jpeg, Wmf, Emf, Gif, Png, Pcx, Eps, Pdf, Svg };

// The format of a file name's extension (case-insensitive: .bmp .jpg/.jpeg .wmf
// .emf .gif .png .pcx .eps .pdf .svg); empty when none fits.
std::optional<ImageFormat> formatForPath(const QString &path);

// The format's usual name ("PNG", "JPEG", ...).
QString formatName(ImageFormat format);

// The chart's picture in format, laid out for width x height pixels, white
// behind the chart, as the bytes of its file; or the error's description.
struct EncodedPicture {
    QByteArray bytes;
    QString error;
};
EncodedPicture encodeChart(ChartView &chart, ImageFormat format, int width, int height);

// Writes the chart's picture (white background; the chart on screen keeps its
// panel colour) to path in format, at the chart's current size (or the given
// size when width and height are above 0). Writes as every save does
// (data/AtomicFile), so a failure never leaves a partial file in place of an
// existing one. Returns the error's description ("No space left on device
// (/path/chart.png)"), empty on success.
QString exportChart(ChartView &chart, const QString &path, ImageFormat format, int width = 0, int height = 0);

}  // namespace kavra
