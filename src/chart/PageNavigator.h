#pragma once
// cpnKavra: first, previous, next and last page of the chart's time axis, a page
// being the width of the current view. Disabled while the whole range is shown.

#include <QWidget>

class QToolButton;

namespace kavra {

class ChartView;

class PageNavigator : public QWidget {
    Q_OBJECT
public:
    explicit PageNavigator(ChartView &chart, QWidget *parent = nullptr);

    void first();
    void previous();
    void next();
    void last();
    // Enables the buttons that lead somewhere.
    void refresh();

private:
    // Shows the view moved to start at from, kept inside the data.
    void moveTo(double from);

    ChartView &chart_;
    QToolButton *first_, *previous_, *next_, *last_;
};

}  // namespace kavra
