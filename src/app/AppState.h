#pragma once
// The application state: the main window's variables that shape the item list
// and the chart, in groups by what they are for. Every option starts from these
// values at each start; nothing is kept between runs.

#include "plan/ChartOptions.h"
#include "plan/ChartPlan.h"
#include "chart/ChartRedraw.h"
#include "chart/CursorPair.h"
#include "data/DataSet.h"
#include "data/DisplayedRows.h"
#include "ui/FileFolders.h"

#include <QString>

#include <cstdint>

namespace kavra {

// How the item-list commands sort and prune.
struct ListOptions {
    int16_t Sort_Order = 0;      // 0 ascending, 1 descending
    int16_t Sort_Key_Start = 1;  // 1 to 10
    bool Median_Sorted = false;
    QString Search_String = QStringLiteral("MpSync");
};

struct AppState {
    ChartOptions chart;
    ListOptions list;
    DisplayedRows rows;
    CursorPair cursors;
    // The plan of the chart drawn last (see drawnSeries, setDrawn), and its points.
    ChartPlan drawn;
    DrawnPoints drawnPoints;
    int32_t Export_Filter_Index = 3;
    FileFolders folders;  // where each kind of file dialog starts
    QString Current_User;
    int16_t Form_Key_Shift = 0;
};

// Series s of the chart as its plan drew it, for the readers of the chart (the
// point readout, the cursors); none when the chart showing seriesCount series is
// not the plan's (one a window drew of its own).
inline const PlannedSeries *drawnSeries(const AppState &state, int seriesCount, int s)
{
    const std::vector<PlannedSeries> &series = state.drawn.series;
    if (seriesCount != int(series.size()) || s < 0 || s >= seriesCount)
        return nullptr;
    return &series[size_t(s)];
}

// A plan drawn: the points of the one before are forgotten.
inline void setDrawn(AppState &state, ChartPlan plan)
{
    state.drawn = std::move(plan);
    state.drawnPoints.clear();
}

// How a successful load leaves the view: stacking off (items overlap), no moving
// average or smoothing; after the first file, its node in the title and all rows.
inline void applyLoadedView(AppState &state, const DataSet &data, bool firstFile)
{
    if (firstFile) {
        state.rows.Zoom_First_Row = 1;
        state.rows.Zoom_Last_Row = data.Row_Count;
    }
    state.chart.loaded(firstFile, firstFile ? QString::fromLocal8Bit(data.Node_Names[0]).toStdString() : std::string());
}

}  // namespace kavra
