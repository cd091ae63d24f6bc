#include "output/ChartExport.h"

#include "chart/ChartView.h"
#include "data/AtomicFile.h"
#include "output/ChartPainting.h"
#include "output/ClippingDevice.h"
#include "output/PictureWriters.h"
#include "output/VectorRecorder.h"
#include "output/WmfWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace kavra {
namespace {

using Encoded = EncodedPicture;

QByteArray fromStd(const std::string &bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

Encoded qtImage(const QImage &image, const char *format, int quality = -1)
{
    Encoded result;
    QBuffer buffer(&result.bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        result.error = writer.errorString();
    return result;
}

Encoded magickImage(const QImage &image, const char *format)
{
    // Both formats keep sizes in 16 bits, and GraphicsMagick would cut them short.
    constexpr int kLargest = 65535;
    if (image.width() > kLargest || image.height() > kLargest) {
        const QString tooLarge = QStringLiteral("%1 pictures are at most %2 pixels wide and high");
        return {{}, tooLarge.arg(QLatin1String(format)).arg(kLargest)};
    }
    // Rows of QImage's 24-bit format are padded to 4 bytes; GraphicsMagick wants them packed.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const qsizetype row = qsizetype(rgb.width()) * 3;
    std::string packed(size_t(row * rgb.height()), '\0');
    for (int y = 0; y < rgb.height(); ++y)
        std::copy_n(rgb.constScanLine(y), row, packed.data() + y * row);
    std::string error;
    const std::string bytes =
        magickPicture(reinterpret_cast<const unsigned char *>(packed.data()), rgb.width(), rgb.height(), format, error);
    return {fromStd(bytes), QString::fromStdString(error)};
}

Encoded bitmap(ChartView &chart, ImageFormat format, int width, int height)
{
    const QImage image = chart.picture(width, height);
    if (image.isNull())
        return {{}, QStringLiteral("The chart could not be drawn at %1 x %2 pixels").arg(width).arg(height)};
    switch (format) {
    case ImageFormat::Bmp: return qtImage(image.convertToFormat(QImage::Format_RGB32), "bmp");
    case ImageFormat::Jpeg: return qtImage(image.convertToFormat(QImage::Format_RGB32), "jpeg", 90);
    case ImageFormat::Png: return qtImage(image, "png");
    case ImageFormat::Gif: return magickImage(image, "GIF");
    default: return magickImage(image, "PCX");
    }
}

QString titleOf(const ChartView &chart)
{
    return chart.title(TitleLine::Header).text;
}

QByteArray svgDrawing(ChartView &chart, int width, int height)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setResolution(chart.logicalDpiX());
    svg.setTitle(titleOf(chart));
    svg.setDescription(QStringLiteral("Chart drawn by Kavra"));
    ClippingDevice clipped(svg);  // the generator writes no clip paths
    chart.paintOnto(clipped, width, height);
    return bytes;
}

Encoded pdfDrawing(ChartView &chart, int width, int height)
{
    Encoded result;
    QBuffer buffer(&result.bytes);
    buffer.open(QIODevice::WriteOnly);
    // The page is the chart's size at the screen's resolution.
    const int dpi = chart.logicalDpiX();
    QPdfWriter pdf(&buffer);
    pdf.setCreator(QStringLiteral("Kavra"));
    pdf.setTitle(titleOf(chart));
    pdf.setResolution(dpi);
    const QSizeF points(width * 72.0 / dpi, height * 72.0 / dpi);
    pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF()));
    switch (chart.paintOnto(pdf, width, height, QRect(0, 0, pdf.width(), pdf.height()))) {
    case ChartView::PaintResult::CannotStart:
        return {{}, QStringLiteral("Cannot start the PDF drawing")};
    case ChartView::PaintResult::CannotFinish:
        result.error = QStringLiteral("Cannot finish the PDF drawing");
        break;
    case ChartView::PaintResult::Done:
        break;
    }
    return result;
}

Encoded epsDrawing(ChartView &chart, int width, int height)
{
    const QByteArray svg = svgDrawing(chart, width, height);
    const double points = 72.0 / chart.logicalDpiX();
    std::string error;
    const std::string eps = epsPicture(svg.toStdString(), width * points, height * points, error);
    return {fromStd(eps), QString::fromStdString(error)};
}

Encoded metafile(ChartView &chart, ImageFormat format, int width, int height)
{
    VectorRecorder recorder(width, height, chart.logicalDpiX());
    ClippingDevice clipped(recorder);  // metafiles are replayed without clipping
    chart.paintOnto(clipped, width, height);
    if (format == ImageFormat::Wmf)
        return {fromStd(wmfBytes(recorder.picture())), {}};
    std::string error;
    const std::string bytes = emfPicture(recorder.picture(), error);
    return {fromStd(bytes), QString::fromStdString(error)};
}

}  // namespace

EncodedPicture encodeChart(ChartView &chart, ImageFormat format, int width, int height)
{
    const WhitePanel white(chart);
    switch (format) {
    case ImageFormat::Svg: return {svgDrawing(chart, width, height), {}};
    case ImageFormat::Pdf: return pdfDrawing(chart, width, height);
    case ImageFormat::Eps: return epsDrawing(chart, width, height);
    case ImageFormat::Wmf:
    case ImageFormat::Emf: return metafile(chart, format, width, height);
    default: return bitmap(chart, format, width, height);
    }
}

std::optional<ImageFormat> formatForPath(const QString &path)
{
    static const struct {
        const char *extension;
        ImageFormat format;
    } kExtensions[] = {
        {"bmp", ImageFormat::Bmp}, {"jpg", ImageFormat::Jpeg}, {"jpeg", ImageFormat::Jpeg}, {"wmf", ImageFormat::Wmf},
        {"emf", ImageFormat::Emf}, {"gif", ImageFormat::Gif},  {"png", ImageFormat::Png},   {"pcx", ImageFormat::Pcx},
        {"eps", ImageFormat::Eps}, {"pdf", ImageFormat::Pdf},  {"svg", ImageFormat::Svg},
    };
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const auto &entry : kExtensions)
        if (suffix == QLatin1String(entry.extension))
            return entry.format;
    return std::nullopt;
}

QString formatName(ImageFormat format)
{
    static const char *const kNames[] = {"BMP", "JPEG", "WMF", "EMF", "GIF", "PNG", "PCX", "EPS", "PDF", "SVG"};
    return QString::fromLatin1(kNames[int(format)]);
}

QString exportChart(ChartView &chart, const QString &path, ImageFormat format, int width, int height)
{
    if (width <= 0 || height <= 0) {
        width = chart.width();
        height = chart.height();
    }
    const QString shownPath = QDir::toNativeSeparators(path);
    if (width <= 0 || height <= 0)
        return QStringLiteral("Cannot write the picture %1: the chart has no size").arg(shownPath);
    const auto writeError = [&](const std::string &reason) {
        return QString::fromLocal8Bit(reason) + QStringLiteral(" (") + shownPath + QLatin1Char(')');
    };
    // The file is made first, so that a folder that cannot be written is told at once.
    AtomicFile file(QFile::encodeName(path).toStdString());
    if (!file.error().empty())
        return writeError(file.error());
    const EncodedPicture encoded = encodeChart(chart, format, width, height);
    if (!encoded.error.isEmpty() || encoded.bytes.isEmpty()) {
        const QString reason = encoded.error.isEmpty() ? QStringLiteral("nothing was drawn") : encoded.error;
        return QStringLiteral("Cannot make the %1 picture %2: %3").arg(formatName(format), shownPath, reason);
    }
    file.stream().write(encoded.bytes.constData(), encoded.bytes.size());
    if (const std::string error = file.commit(); !error.empty())
        return writeError(error);
    return {};
}

}  // namespace kavra
