#pragma once
// The chart commands of the Options and Chart Settings menus and the Stack /
// UnStack buttons: each changes the application state and redraws.

#include "plan/ChartOptions.h"

#include <QObject>

#include <functional>
#include <optional>

class QGroupBox;
class QRadioButton;
class QWidget;

namespace kavra {

struct AppState;
struct DataSet;
struct RedrawContext;
class ChartEditor;
class ChartView;
class Interaction;
class ItemList;
class SeriesSources;

// What the commands work on, owned by the main window.
struct ChartCommandContext {
    AppState &state;
    ChartView &chart;
    const DataSet &data;
    SeriesSources &sources;  // of the series charted
    ItemList &items;
    Interaction &ui;
    QWidget *window;
    QGroupBox *stackFrame;
    QRadioButton *stack;
    QRadioButton *unStack;
    std::function<void()> redraw;        // show the chart and redraw it
    std::function<void()> itemsChanged;  // the current revision's rows or selection changed
};

class ChartCommands : public QObject {
    Q_OBJECT
public:
    explicit ChartCommands(ChartCommandContext context, QObject *parent = nullptr);
    ~ChartCommands() override;

    // Stack and Unstack: the stacking of item series and the sub-footer that says so.
    void stack();
    void unstack();

public slots:
    void mnuToggleMovingAverage_Click();
    void mnuSetMovingAveragePeriodValue_Click();
    void mnuSmoothUnSmooth_Click();
    void mnuSetSmoothingFactor_Click();
    void mnuAddRemoveCandleChart_Click();
    void mnuCycleDualCharts_Click();
    void OptStack_Click(int index);
    void mnuChartMultipleItems_Click();
    void mnuSetChartTitle_Click();
    void mnuSetChartSubTitle_Click();
    void mnuSetChartFooter_Click();
    void mnuSetPrimaryChartLineWidth_Click();
    void mnuSetSecondaryChartLineWidth_Click();
    void mnuEditChartProperties_Click();
    void mnuGenerateRatioCharts_Click();

private:
    RedrawContext redrawContext() const;
    void redrawWithRatios();
    QString askText(const QString &prompt, const QString &title, const QString &current);
    // Asks for the text of a title line, the current one offered; Cancel empties it.
    void setTitle(TitleLine line, const QString &prompt, const QString &title);
    long long askBounded(const QString &prompt, const QString &title, long long current, long long low,
                         long long high);

    ChartCommandContext c_;
    ChartEditor *editor_ = nullptr;
};

}  // namespace kavra
