#pragma once
// The drawing pieces the chart adds to QCustomPlot: a line series that paints
// fast with wide pens and can be stacked on others, and the picture lines are
// drawn onto while the view moves.

#include <qcustomplot.h>

#include <functional>
#include <memory>
#include <vector>

namespace kavra {

class BandCanvas;

class ChartGraph : public QCPGraph {
    Q_OBJECT
public:
    ChartGraph(QCPAxis *keyAxis, QCPAxis *valueAxis);

    // Stacked on base: each point is drawn at its own value plus base's drawn
    // value at the same index. Null draws the values as they are. Set again
    // whenever points change: the stacked values are then worked out once, when
    // next needed, not on every paint and hover.
    void setStackBase(const ChartGraph *base)
    {
        stackBase_ = base;
        stackStale_ = true;
    }
    const ChartGraph *stackBase() const { return stackBase_; }
    // While the view moves the line is drawn quickly and roughly: as its band,
    // written onto canvas with the other lines, which a BandCanvasItem then paints
    // in one go. Null draws it as usual; pictures and printouts never see that.
    void setQuickPreview(BandCanvas *canvas) { previewCanvas_ = canvas; }

    // The values drawn for count points from first.
    std::vector<double> stackedValues(int first, int count) const;
    // How far pos (pixels) lies from the line or points as drawn, and the drawn
    // point nearest to it; -1 and no point when nothing is drawn within tolerance
    // pixels of pos.
    double drawnDistance(const QPointF &pos, double tolerance, int &nearest) const;
    // Whether the line as drawn passes within reach pixels of pos, measured up
    // and down within pos's pixel column (for points without a line: a point
    // within reach of pos).
    bool drawnThrough(const QPointF &pos, double reach) const;

    QCPRange getValueRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange &inKeyRange = QCPRange()) const override;

protected:
    void drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const override;
    void getOptimizedLineData(QVector<QCPGraphData> *lineData, const QCPGraphDataContainer::const_iterator &begin,
                              const QCPGraphDataContainer::const_iterator &end) const override;

private:
    // The points as drawn: own keys, stacked values.
    const QCPGraphDataContainer &stacked() const;
    // The sum of the values at index i of the series this one stands on.
    double sumBelow(int i) const;

    const ChartGraph *stackBase_ = nullptr;
    BandCanvas *previewCanvas_ = nullptr;
    mutable QCPGraphDataContainer stacked_;
    mutable QCPRange stackedRange_;  // of the drawn values
    mutable bool stackedRangeFound_ = false;
    mutable bool stackStale_ = true;
};

// Paints, on its layer above the lines, what lines in quick preview wrote onto
// its canvas.
class BandCanvasItem : public QCPLayerable {
    Q_OBJECT
public:
    BandCanvasItem(QCustomPlot *plot, const QString &layer);
    ~BandCanvasItem() override;
    BandCanvas *canvas() const { return canvas_.get(); }

protected:
    void applyDefaultAntialiasingHint(QCPPainter *) const override {}
    void draw(QCPPainter *painter) override;

private:
    std::unique_ptr<BandCanvas> canvas_;
};

}  // namespace kavra
