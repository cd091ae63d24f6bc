#pragma once
// kavra-batch render: the viewer's chart drawn into a picture, without a window.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kavra {

struct DataSet;
class ItemList;

struct RenderOptions {
    std::string output;
    // Names to select; none keeps the selection made after loading, an empty list
    // selects nothing (the chart with no series).
    std::optional<std::vector<std::string>> items;
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
    // > 0: the chart as the viewer draws it after such a zoom and a redraw: the
    // series hold rows rowsFirst to rowsLast only.
    int rowsFirst = 0, rowsLast = 0;
};

// Draws the chart the viewer would show for the loaded files and writes it as a
// picture in the format of the output's extension. Returns the exit status: 0,
// 1 when the picture cannot be written, 2 when an item name is not in the list,
// the zoom's rows are not in the files or the extension names no format.
int renderChartImage(const char *program, const DataSet &data, ItemList &items, const RenderOptions &options);

// Whether the picture's extension names a format; says which ones do when not.
bool knownPictureFormat(const std::string &path);

// The scatter diagram the correlation window shows for a list line (coefficient
// text, two blanks, item text; the item in column) against the reference item,
// over rows first to last, written at the window's chart size in the format of
// the path's extension. Returns the exit status: 0, or 1 when it cannot be written.
int renderScatterImage(const char *program, const DataSet &data, const std::string &line, int32_t column,
                       const std::string &referenceText, int32_t referenceColumn, int first, int last,
                       const std::string &path);

}  // namespace kavra
