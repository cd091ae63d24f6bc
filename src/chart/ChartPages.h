#pragma once
// Several charts and other drawing on the pages of one document (a report):
// one painter on the device for the whole document, which paints each chart as
// ChartView::paintOnto does, into a rectangle of the page.

#include <QRect>

#include <memory>

class QCPPainter;
class QPainter;
class QPaintDevice;

namespace kavra {

class ChartView;

class ChartPages {
public:
    explicit ChartPages(QPaintDevice &device);
    ~ChartPages();
    ChartPages(const ChartPages &) = delete;
    ChartPages &operator=(const ChartPages &) = delete;

    // False when the device could not be painted on.
    bool isActive() const;
    // The painter, in the device's coordinates, for what is not a chart.
    QPainter &painter();
    // The chart laid out for width x height pixels, as on a screen, scaled into target.
    void paintChart(const ChartView &chart, int width, int height, const QRect &target);
    // Finishes the document; false when that failed.
    bool end();

private:
    std::unique_ptr<QCPPainter> painter_;
};

}  // namespace kavra
