#pragma once
// The A and B cursors (Chart Settings, Cursors): where they stand (AppState's
// CursorPair), what moves them (a drag on the chart, the [ and ] keys), the
// Cursor Readout window that follows them, and Rank Items by Change A..B.

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace kavra {

struct AppState;
struct DataSet;
struct ReadoutInput;
class ChartView;
class CursorReadoutWindow;
class Interaction;
class ItemList;
class RankingWindow;
class SeriesSources;

struct CursorCommandContext {
    AppState &state;
    ChartView &chart;
    const DataSet &data;
    const SeriesSources &sources;  // of the series charted
    ItemList &items;
    Interaction &ui;
    QWidget *window;
    std::function<void(int)> chartItem;  // select the item of this data column alone and redraw
    std::function<void()> entriesChanged;  // the cursors changed: the menu entries that follow them follow
};

class CursorCommands : public QObject {
    Q_OBJECT
public:
    explicit CursorCommands(CursorCommandContext context, QObject *parent = nullptr);
    ~CursorCommands() override;

    // The chart was drawn anew (any redraw): the lines stand at their rows, the readout follows.
    void chartRedrawn();
    // Close: the cursors go, and the windows showing what they found.
    void closeAll();
    // The keys: the cursor touched last moves this many samples; false when the cursors are off.
    bool step(int samples);

    CursorReadoutWindow *readoutWindow() const { return readout_; }
    RankingWindow *rankingWindow() const { return ranking_; }

public slots:
    void mnuCursors_Click();
    void mnuCursorReadout_Click();
    void mnuRankItemsByChange_Click();

private:
    void moveCursor(int which, int row);
    void showCursors(bool newChart);
    ReadoutInput readoutInput(bool newChart);
    std::vector<double> drawnValuesByRow(int s) const;
    void updateEntries();

    CursorCommandContext c_;
    CursorReadoutWindow *readout_ = nullptr;
    RankingWindow *ranking_ = nullptr;
    // The values of the curves drawn from a series (averages, smoothed curves),
    // by row, worked out again for each new chart; the readout points into them.
    std::vector<std::vector<double>> drawnCurves_;
    // The charted items' columns, decoded, that the last readout points into.
    std::vector<std::shared_ptr<const std::vector<double>>> heldColumns_;
};

}  // namespace kavra
