#pragma once
// A legend entry with a check box that shows and hides its series.

#include <qcustomplot.h>

#include <functional>

namespace kavra {

// One legend entry: a check box and the series' text in the series' colour. An
// entry wider than the room it is given keeps both ends of its text and leaves out
// the middle, so that the file number at the end still shows.
class CheckLegendItem : public QCPAbstractLegendItem {
    Q_OBJECT
public:
    CheckLegendItem(QCPLegend *legend, QCPAbstractPlottable *series, std::function<QString()> text);

    QCPAbstractPlottable *series() const { return series_; }
    QString text() const { return text_(); }
    // The width the whole text needs, margins included.
    int naturalWidth() const;
    // The widest the entry asks to be; 0 for no limit.
    void setWidthLimit(int width) { widthLimit_ = width; }
    // The text as drawn in the room the entry has.
    QString shownText() const;

protected:
    void draw(QCPPainter *painter) override;
    QSize minimumOuterSizeHint() const override;

private:
    QColor colour() const;
    int boxSize() const;
    QRect textRect() const;

    QCPAbstractPlottable *series_;
    std::function<QString()> text_;
    int widthLimit_ = 0;
};

}  // namespace kavra
