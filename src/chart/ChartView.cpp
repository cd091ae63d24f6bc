#include "chart/ChartView.h"

#include <QVBoxLayout>
#include <qcustomplot.h>

namespace kavra {

ChartView::ChartView(QWidget *parent) : QWidget(parent), plot_(new QCustomPlot(this))
{
    setObjectName(QStringLiteral("tchKavra"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot_);
    plot_->plotLayout()->insertRow(0);
    plot_->plotLayout()->addElement(0, 0, new QCPTextElement(plot_, QString(), QFont(font().family(), 12, QFont::Bold)));
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss\n(d-MMM-yyyy)"));
    ticker->setDateTimeSpec(Qt::UTC);  // date values are wall-clock times
    plot_->xAxis->setTicker(ticker);
    plot_->legend->setVisible(true);
    plot_->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
}

void ChartView::removeAllSeries() { plot_->clearGraphs(); }

void ChartView::addLineSeries(const QString &legend, const std::vector<double> &x, const double *y, QColor colour,
                              int width)
{
    // Date values count days from 30 December 1899; the axis wants seconds since 1970.
    constexpr double kUnixEpochDay = 25569.0;
    QVector<double> keys(static_cast<int>(x.size())), values(static_cast<int>(x.size()));
    for (size_t i = 0; i < x.size(); ++i) {
        keys[int(i)] = (x[i] - kUnixEpochDay) * 86400.0;
        values[int(i)] = y[i];
    }
    QCPGraph *graph = plot_->addGraph();
    graph->setName(legend);
    graph->setPen(QPen(colour, width));
    graph->setData(keys, values, true);
}

int ChartView::seriesCount() const { return plot_->graphCount(); }

void ChartView::setHeader(const QString &text)
{
    if (auto *title = qobject_cast<QCPTextElement *>(plot_->plotLayout()->element(0, 0)))
        title->setText(text);
}

void ChartView::redraw()
{
    plot_->rescaleAxes();
    plot_->replot();
}

}  // namespace kavra
