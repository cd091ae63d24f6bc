#pragma once
// kavra-batch render: the viewer's chart drawn into a picture, without a window.

#include <optional>
#include <string>
#include <vector>

namespace kavra {

struct DataSet;
class ItemList;

struct RenderOptions {
    std::string output;
    std::vector<std::string> items;  // names to select; empty keeps the selection made after loading
    int width = 1600;
    int height = 900;
    // The chart options, as the viewer's commands set them; 0 or empty leaves the default.
    int movingAveragePeriod = 0;  // > 0: moving average on with this period
    int smoothingFactor = 0;      // > 0: smoothing on with this factor
    bool candle = false;
    bool stack = false;
    int dualCharts = 0;  // 1 dual Y axes, 2 dual charts
    bool ratio = false;
    std::optional<std::string> title, subTitle, footer;
    int primaryWidth = 0, secondaryWidth = 0;
    // > 0: the chart as the viewer shows it right after a zoom with the mouse to
    // rows zoomFirst to zoomLast (the series keep every row; the time axis shows
    // those rows).
    int zoomFirst = 0, zoomLast = 0;
};

// Draws the chart the viewer would show for the loaded files and writes it as a
// picture in the format of the output's extension. Returns the exit status: 0,
// 1 when the picture cannot be written, 2 when an item name is not in the list,
// the zoom's rows are not in the files or the extension names no format.
int renderChartImage(const char *program, const DataSet &data, ItemList &items, const RenderOptions &options);

}  // namespace kavra
