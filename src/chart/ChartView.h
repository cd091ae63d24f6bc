#pragma once
// tchKavra: the chart, an adapter over QCustomPlot that offers the operations the
// program relies on in its own terms.

#include <QColor>
#include <QWidget>

#include <vector>

class QCustomPlot;

namespace kavra {

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget *parent = nullptr);

    void removeAllSeries();
    // A line series of y over x (date values), drawn in the given colour and width.
    void addLineSeries(const QString &legend, const std::vector<double> &x, const double *y, QColor colour,
                       int width);
    int seriesCount() const;
    void setHeader(const QString &text);
    // Fits the axes to the series and draws.
    void redraw();

    QCustomPlot *plot() const { return plot_; }

private:
    QCustomPlot *plot_;
};

}  // namespace kavra
