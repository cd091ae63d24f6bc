#pragma once
// The chart on the clipboard, to paste into office documents, image editors and
// chat: a bitmap at the screen's resolution and an SVG drawing (image/svg+xml),
// both white behind the chart, made by the same code as the picture files.

#include <QString>

#include <memory>

class QClipboard;
class QMimeData;

namespace kavra {

class ChartView;

inline constexpr char kSvgMimeType[] = "image/svg+xml";

// The chart's clipboard contents at its size on screen; null, with error set,
// when the chart cannot be drawn.
std::unique_ptr<QMimeData> chartMimeData(ChartView &chart, QString &error);

// Puts the chart on clipboard (none when null). Returns the error's
// description, empty on success.
QString copyChartToClipboard(ChartView &chart, QClipboard *clipboard);

}  // namespace kavra
