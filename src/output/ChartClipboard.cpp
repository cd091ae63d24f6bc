#include "output/ChartClipboard.h"

#include "chart/ChartView.h"
#include "output/ChartExport.h"

#include <QClipboard>
#include <QMimeData>

namespace kavra {

std::unique_ptr<QMimeData> chartMimeData(ChartView &chart, QString &error)
{
    const int width = chart.width(), height = chart.height();
    if (chart.isHidden() || chart.seriesCount() == 0 || width <= 0 || height <= 0) {
        error = QStringLiteral("there is no chart on screen to copy");
        return nullptr;
    }
    // Drawn at the screen's pixels, so that a paste on a HiDPI screen stays sharp.
    const QImage image = chart.picture(width, height, chart.devicePixelRatioF());
    const EncodedPicture svg = encodeChart(chart, ImageFormat::Svg, width, height);
    if (image.isNull() || !svg.error.isEmpty() || svg.bytes.isEmpty()) {
        error = svg.error.isEmpty()
                    ? QStringLiteral("the chart could not be drawn at %1 x %2 pixels").arg(width).arg(height)
                    : svg.error;
        return nullptr;
    }
    auto data = std::make_unique<QMimeData>();
    data->setImageData(image);
    data->setData(QLatin1String(kSvgMimeType), svg.bytes);
    return data;
}

QString copyChartToClipboard(ChartView &chart, QClipboard *clipboard)
{
    if (!clipboard)
        return QStringLiteral("there is no clipboard on this desktop");
    QString error;
    std::unique_ptr<QMimeData> data = chartMimeData(chart, error);
    if (!data)
        return error;
    clipboard->setMimeData(data.release());
    // A desktop without a clipboard service drops what it is given.
    const QMimeData *held = clipboard->mimeData();
    if (!held || !held->hasFormat(QLatin1String(kSvgMimeType)))
        return QStringLiteral("the desktop's clipboard did not take the chart");
    return {};
}

}  // namespace kavra
