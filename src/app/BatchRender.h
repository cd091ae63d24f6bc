#pragma once
// kavra-batch render: the viewer's chart drawn into a picture, without a window.

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
};

// Draws the chart the viewer would show for the loaded files and writes it as a
// PNG. Returns the exit status: 0, 1 when the picture cannot be written, 2 when an
// item name is not in the list.
int renderChartImage(const char *program, const DataSet &data, ItemList &items, const RenderOptions &options);

}  // namespace kavra
