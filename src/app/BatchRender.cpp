#include "app/BatchRender.h"

#include "app/AppState.h"
#include "chart/ChartRedraw.h"
#include "chart/ChartView.h"
#include "data/DataSet.h"
#include "items/ItemList.h"

#include <QApplication>
#include <QImage>

#include <iostream>

namespace kavra {
namespace {

// Selects the named items instead of the default one; false names one unknown.
bool selectItems(ItemRevision &list, const std::vector<std::string> &names)
{
    for (ItemRow &row : list.rows)
        row.selected = false;
    for (const std::string &name : names) {
        bool found = false;
        for (ItemRow &row : list.rows)
            if (row.text == name)
                row.selected = found = true;
        if (!found) {
            std::cerr << "No item named \"" << name << "\" in the item list\n";
            return false;
        }
    }
    return true;
}

}  // namespace

int renderChartImage(const char *program, const DataSet &data, ItemList &items, const RenderOptions &options)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");  // no window system is needed or used
    int argc = 1;
    char *argv[] = {const_cast<char *>(program), nullptr};
    QApplication app(argc, argv);

    ItemRevision &list = items.current();
    list.selectDefaultItem();
    if (!options.items.empty() && !selectItems(list, options.items))
        return 2;

    ChartView chart;
    chart.resize(options.width, options.height);
    AppState state;
    state.Axis_Format_String_Left = chart.axisNumberFormat(ChartAxis::Left);
    state.Axis_Format_String_Right = chart.axisNumberFormat(ChartAxis::Right);
    applyLoadedView(state, data, true);
    redrawChart(chart, state, data, list);
    const QImage image = chart.picture(options.width, options.height);
    if (!image.save(QString::fromLocal8Bit(options.output.c_str()), "PNG")) {
        std::cerr << "Cannot write the picture " << options.output << '\n';
        return 1;
    }
    return 0;
}

}  // namespace kavra
