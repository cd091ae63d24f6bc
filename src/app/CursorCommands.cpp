#include "app/CursorCommands.h"

#include "analysis/ChangeRanking.h"
#include "app/AppState.h"
#include "chart/ChartRedraw.h"
#include "chart/ChartView.h"
#include "chart/SeriesSources.h"
#include "data/DataSet.h"
#include "data/TimeStrings.h"
#include "dialogs/CursorReadoutWindow.h"
#include "dialogs/RankingWindow.h"
#include "items/ItemList.h"
#include "ui/BusyCursor.h"
#include "ui/Interaction.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kavra {
namespace {

const QString kRankTitle = QStringLiteral("Rank Items by Change A..B");

QString dateText(double value) { return QString::fromStdString(timestr::generalDateText(value)); }

}  // namespace

CursorCommands::CursorCommands(CursorCommandContext context, QObject *parent) : QObject(parent), c_(std::move(context))
{
    connect(&c_.chart, &ChartView::cursorPressed, this, [this](int which) { c_.state.cursors.lastTouched = which; });
    connect(&c_.chart, &ChartView::cursorDragged, this,
            [this](int which, double time) { moveCursor(which, nearestRow(c_.data.Xaxis_Values, time)); });
}

CursorCommands::~CursorCommands() = default;

void CursorCommands::updateEntries() { c_.entriesChanged(); }

void CursorCommands::mnuCursors_Click()
{
    CursorPair &cursors = c_.state.cursors;
    cursors.on = !cursors.on && c_.data.Row_Count > 0;
    if (cursors.on) {
        const auto [first, last] = c_.state.rows.within(int(c_.data.Row_Count));
        std::tie(cursors.rowA, cursors.rowB) = cursorStartRows(c_.data.Xaxis_Values, first, last);
        cursors.lastTouched = 1;
        showCursors(true);
        mnuCursorReadout_Click();
    } else {
        c_.chart.setCursorLines(false);
        if (readout_)
            readout_->cmdKavraReadoutOK_Click();
    }
    updateEntries();
}

void CursorCommands::mnuCursorReadout_Click()
{
    if (!c_.state.cursors.on)
        return;
    if (!readout_)
        readout_ = new CursorReadoutWindow(c_.window);
    readout_->showReadout(readoutInput(true), true);
    readout_->show();
    readout_->raise();
}

void CursorCommands::chartRedrawn()
{
    if (c_.state.cursors.on)
        showCursors(true);
    updateEntries();
}

void CursorCommands::closeAll()
{
    c_.state.cursors = CursorPair{};
    c_.chart.setCursorLines(false);
    if (readout_) {
        readout_->cmdKavraReadoutOK_Click();
        readout_->forgetData();
    }
    if (ranking_)
        ranking_->cmdKavraRankingOK_Click();
    updateEntries();
}

bool CursorCommands::step(int samples)
{
    const CursorPair &cursors = c_.state.cursors;
    if (!cursors.on || c_.data.Row_Count <= 0)
        return false;
    const int which = cursors.lastTouched;
    moveCursor(which, std::clamp(cursors.row(which) + samples, 1, int(c_.data.Row_Count)));
    return true;
}

void CursorCommands::moveCursor(int which, int row)
{
    CursorPair &cursors = c_.state.cursors;
    cursors.lastTouched = which;
    if (!cursors.on || row < 1 || row == cursors.row(which))
        return;
    cursors.setRow(which, row);
    showCursors(false);
}

void CursorCommands::showCursors(bool newChart)
{
    const CursorPair &cursors = c_.state.cursors;
    const int rows = int(c_.data.Row_Count);
    if (rows <= 0)
        return;
    // Rows of a table that shrank since (a file loaded again) stay within it.
    c_.state.cursors.rowA = std::clamp(cursors.rowA, 1, rows);
    c_.state.cursors.rowB = std::clamp(cursors.rowB, 1, rows);
    c_.chart.setCursorLines(true, c_.data.sampleTime(cursors.rowA), c_.data.sampleTime(cursors.rowB));
    if (readout_ && readout_->isVisible())
        readout_->showReadout(readoutInput(newChart), newChart);
}

// A curve drawn from a series (an average, a smoothed curve) by row: its points
// lie at sample times; rows it has no point at are not a number.
std::vector<double> CursorCommands::drawnValuesByRow(int s) const
{
    const PlannedSeries *planned = drawnSeries(c_.state, c_.chart.seriesCount(), s);
    if (!planned || planned->role == SeriesRole::Item || planned->role == SeriesRole::Ratio)
        return {};
    // As the redraw drew it; none for candles.
    const SeriesValues curve = c_.state.drawnPoints.values(*planned, s, c_.sources, c_.data);
    const std::vector<double> &times = c_.data.Xaxis_Values;
    const double none = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> byRow(size_t(c_.data.Row_Count), none);
    bool any = false;
    const auto end = times.begin() + std::ptrdiff_t(byRow.size());
    for (size_t p = 0; p < curve.n; ++p) {
        auto at = std::lower_bound(times.begin(), end, curve.x[p] - 1e-7);
        if (at != end && std::abs(*at - curve.x[p]) <= 1e-7) {
            byRow[size_t(at - times.begin())] = std::isfinite(curve.y[p]) ? curve.y[p] : none;
            any = true;
        }
    }
    return any ? byRow : std::vector<double>{};
}

ReadoutInput CursorCommands::readoutInput(bool newChart)
{
    ReadoutInput input;
    const DataSet &data = c_.data;
    heldColumns_.clear();
    std::tie(input.rowA, input.rowB) = c_.state.cursors.ordered();
    if (input.rowA < 1 || input.rowB > data.Row_Count)
        return input;
    input.timeA = data.sampleTime(input.rowA);
    input.timeB = data.sampleTime(input.rowB);
    const ChartView &chart = c_.chart;
    if (newChart || drawnCurves_.size() != size_t(chart.seriesCount())) {
        drawnCurves_.assign(size_t(chart.seriesCount()), {});
        for (int s = 0; s < chart.seriesCount(); ++s)
            if (int column = 0, file = 0; !c_.sources.itemOf(s, column, file) && c_.sources.values(s, c_.data).n == 0)
                drawnCurves_[size_t(s)] = drawnValuesByRow(s);
    }
    for (int s = 0; s < chart.seriesCount(); ++s) {
        ReadoutSeries series;
        const PlannedSeries *planned = drawnSeries(c_.state, chart.seriesCount(), s);
        const SeriesStyle style = chart.seriesStyle(s);
        series.name = planned ? QString::fromStdString(planned->legend) : style.name;
        series.colour = style.colour;
        series.format =
            chart.axisLook(style.axis == ValueAxis::Right ? ChartAxis::Right : ChartAxis::Left).numberFormat;
        int column = 0, file = 0;
        if (c_.sources.itemOf(s, column, file) && file <= data.Perf_Data.files() && column >= 1 &&
            column <= data.Perf_Data.columns()) {
            // The item's whole column: a cursor outside the rows shown still reads its values.
            heldColumns_.push_back(data.Perf_Data.values(column, file));
            series.values = heldColumns_.back()->data();
            series.count = size_t(data.Row_Count);
            series.column = column;
            series.file = file;
        } else if (const SeriesValues values = c_.sources.values(s, data); values.n > 0) {
            series.values = values.y;
            series.count = values.n;
            series.firstRow = int(values.x - data.Xaxis_Values.data()) + 1;
        } else if (const std::vector<double> &drawn = drawnCurves_[size_t(s)]; !drawn.empty()) {
            series.values = drawn.data();
            series.count = drawn.size();
        } else {
            continue;  // candles: four values a group, not one a row
        }
        input.series.push_back(series);
    }
    return input;
}

void CursorCommands::mnuRankItemsByChange_Click()
{
    const DataSet &data = c_.data;
    const CursorPair &cursors = c_.state.cursors;
    if (!cursors.on || data.Files_Open != 1 || data.Row_Count <= 0)
        return;
    const auto [first, last] = c_.state.rows.within(int(data.Row_Count));
    const auto [a, b] = cursors.ordered();
    const int from = std::max(a, first), to = std::min(b, last);
    if (from > to) {
        c_.ui.message(c_.window, QStringLiteral("The cursors stand outside the rows shown"), kRankTitle);
        return;
    }
    std::vector<analysis::RankingItem> candidates;
    for (const ItemRow &row : c_.items.current().rows)
        candidates.push_back({row.text, row.tag});
    analysis::ChangeRanking ranking;
    {
        BusyCursor busy;
        ranking = analysis::rankByChange(
            [&](int32_t column, double *out) { data.Perf_Data.decode(column, 1, first, last - first + 1, out); },
            size_t(last - first + 1), size_t(from - first), size_t(to - first), candidates);
    }
    if (!ranking.enoughRows) {
        c_.ui.message(c_.window, QString::fromLatin1(analysis::kNotEnoughRowsText), kRankTitle);
        return;
    }
    if (!ranking_) {
        ranking_ = new RankingWindow(c_.ui, c_.state.folders, c_.window);
        connect(ranking_, &RankingWindow::itemChosen, this, [this](int column) { c_.chartItem(column); });
    }
    const QStringList header = {
        QStringLiteral("Change between ") + dateText(data.sampleTime(from)) + QStringLiteral(" and ") +
            dateText(data.sampleTime(to)),
        QStringLiteral("against the other rows from ") + dateText(data.sampleTime(first)) + QStringLiteral(" to ") +
            dateText(data.sampleTime(last)),
        QStringLiteral("on node ") + QString::fromLocal8Bit(data.Node_Name) + QStringLiteral(" :")};
    ranking_->showRanking(header, ranking.lines);
}

}  // namespace kavra
