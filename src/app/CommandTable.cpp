#include "app/CommandTable.h"

#include "app/ChartCommands.h"
#include "app/CursorCommands.h"
#include "app/FollowCommands.h"
#include "app/ItemListCommands.h"
#include "app/MainWindow.h"
#include "app/OutputCommands.h"

namespace kavra {
namespace {

using Handler = void (*)(MainWindow &, bool);
using W = EnabledWhen;

// The handlers, by the object that carries the command out.
template <auto member> constexpr Handler onWindow = [](MainWindow &w, bool) { (w.*member)(); };
template <auto member> constexpr Handler onChart = [](MainWindow &w, bool) { (w.chartCommands().*member)(); };
template <auto member> constexpr Handler onItems = [](MainWindow &w, bool) { (w.itemCommands().*member)(); };
template <auto member> constexpr Handler onCursors = [](MainWindow &w, bool) { (w.cursorCommands().*member)(); };
template <auto member> constexpr Handler onOutput = [](MainWindow &w, bool) { (w.outputCommands().*member)(); };
// These change the charted series in place, without a redraw; the cursor
// readout follows them as it follows a redraw.
template <auto member>
constexpr Handler onChartInPlace = [](MainWindow &w, bool) {
    (w.chartCommands().*member)();
    w.cursorCommands().chartRedrawn();
};

constexpr CommandEntry entry(Command id, const char *name, const char *caption, Menu menu, EnabledWhen when,
                             Handler handler)
{
    return {id, name, caption, nullptr, menu, Editions::Both, when, false, Check::None, handler, Menu::File, {}};
}

constexpr CommandEntry submenu(Command id, const char *name, const char *caption, Menu menu, EnabledWhen when,
                               Menu opens)
{
    return {id, name, caption, nullptr, menu, Editions::Both, when, false, Check::None, nullptr, opens, {}};
}

constexpr Menu F = Menu::File, O = Menu::Options, S = Menu::SortOrder, C = Menu::ChartSettings,
               L = Menu::ModifyItemList, H = Menu::Help;
constexpr int16_t kCtrl = 2, kCtrlShift = 3, kAlt = 4;
constexpr int kInsert = 45, kDelete = 46, kF10 = 121;

constexpr CommandEntry kCommands[] = {
    entry(Command::OpenFile, "mnuOpenFile", "Open", F, W::RoomForAFile, onWindow<&MainWindow::mnuOpenFile_Click>)
        .key(kCtrl, 'O'),
    entry(Command::PrintPreview, "mnuPrintPreview", "PrintPreview", F, W::FileOpen,
          onOutput<&OutputCommands::mnuPrintPreview_Click>),
    entry(Command::PrintChart, "mnuPrintChart", "PrintChart", F, W::FileOpen,
          onOutput<&OutputCommands::mnuPrintChart_Click>)
        .key(kCtrl, 'P'),
    entry(Command::ExportChart, "mnuExportChart", "ExportChart", F, W::FileOpen,
          onOutput<&OutputCommands::mnuExportChart_Click>)
        .key(kCtrl, 'E'),
    entry(Command::CopyChart, "mnuCopyChart", "Copy Chart", F, W::FileOpen,
          onOutput<&OutputCommands::mnuCopyChart_Click>)
        .kavraOnly()
        .key(kCtrlShift, 'C'),
    entry(Command::SaveDataAs, "mnuSaveDataAs", "Save as ...", F, W::FileOpen,
          onWindow<&MainWindow::mnuSaveDataAs_Click>)
        .key(kCtrl, 'S'),
    entry(Command::SaveReport, "mnuSaveReport", "Save Report ...", F, W::FileOpen,
          [](MainWindow &w, bool) { w.outputCommands().mnuSaveReport_Click(w.data(), w.items().current()); })
        .kavraOnly(),
    entry(Command::Properties, "mnuProperties", "Properties", F, W::FileOpen,
          onWindow<&MainWindow::mnuProperties_Click>),
    entry(Command::FollowGrowingFiles, "mnuFollowGrowingFiles", "Follow Growing Files", F, W::FileOpen,
          [](MainWindow &w, bool checked) { w.followCommands()->mnuFollowGrowingFiles_Click(checked); })
        .kavraOnly()
        .checks(Check::Following),
    entry(Command::CloseFile, "mnuCloseFile", "Close", F, W::FileOpen, onWindow<&MainWindow::mnuCloseFile_Click>)
        .key(kCtrl, 'C'),
    entry(Command::Exit, "mnuExit", "Exit", F, W::Always, onWindow<&MainWindow::mnuExit_Click>),

    entry(Command::AddNewItem, "mnuAddNewItem", "&Add New Item to List Box", O, W::FileOpen,
          onItems<&ItemListCommands::mnuAddNewItem_Click>)
        .key(kAlt, 'A'),
    entry(Command::ChartMultipleItems, "mnuChartMultipleItems", "Chart &Multiple Items", O, W::FileOpen,
          onChart<&ChartCommands::mnuChartMultipleItems_Click>)
        .key(kAlt, 'M'),
    entry(Command::CycleDualCharts, "mnuCycleDualCharts", "Cycle Dual Y or Dual Charts", O, W::ChartDualLayouts,
          onChart<&ChartCommands::mnuCycleDualCharts_Click>)
        .key(kCtrlShift, 'D'),
    entry(Command::EditChartProperties, "mnuEditChartProperties", "Edit Chart Properties", O, W::FileOpen,
          onChart<&ChartCommands::mnuEditChartProperties_Click>)
        .key(kCtrlShift, kF10),
    entry(Command::ToggleMovingAverage, "mnuToggleMovingAverage", "Toggle Moving Average", O, W::ChartMovingAverage,
          onChartInPlace<&ChartCommands::mnuToggleMovingAverage_Click>)
        .key(kCtrlShift, 'T'),
    entry(Command::GenerateRatioCharts, "mnuGenerateRatioCharts", "Generate Ratio Charts", O, W::ChartRatios,
          onChartInPlace<&ChartCommands::mnuGenerateRatioCharts_Click>),
    entry(Command::SmoothUnSmooth, "mnuSmoothUnSmooth", "Smooth/UnSmooth", O, W::ChartSmoothing,
          onChart<&ChartCommands::mnuSmoothUnSmooth_Click>),
    entry(Command::AddRemoveCandleChart, "mnuAddRemoveCandleChart", "Add/Remove Candle Chart", O, W::ChartCandles,
          onChart<&ChartCommands::mnuAddRemoveCandleChart_Click>),
    submenu(Command::SetSortOrder, "mnuSetSortOrder", "Set Sort Order", O, W::FileOpen, S).kavraOnly(),
    entry(Command::SetSortOrderAscending, "mnuSetSortOrderAscending", "Ascending", S, W::Always,
          onItems<&ItemListCommands::mnuSetSortOrderAscending_Click>)
        .kavraOnly(),
    entry(Command::SetSortOrderDescending, "mnuSetSortOrderDescending", "Descending", S, W::Always,
          onItems<&ItemListCommands::mnuSetSortOrderDescending_Click>)
        .kavraOnly(),
    entry(Command::SetFollowInterval, "mnuSetFollowInterval", "Set Follow Interval", O, W::Always,
          [](MainWindow &w, bool) { w.followCommands()->mnuSetFollowInterval_Click(); })
        .kavraOnly(),

    entry(Command::SetChartTitle, "mnuSetChartTitle", "&Set Chart Title", C, W::FileOpen,
          onChart<&ChartCommands::mnuSetChartTitle_Click>)
        .key(kAlt, 'T'),
    entry(Command::SetChartSubTitle, "mnuSetChartSubTitle", "Set Chart Sub-&Title", C, W::FileOpen,
          onChart<&ChartCommands::mnuSetChartSubTitle_Click>)
        .key(kAlt, 'S'),
    entry(Command::SetChartFooter, "mnuSetChartFooter", "Set Chart &Footer", C, W::FileOpen,
          onChart<&ChartCommands::mnuSetChartFooter_Click>)
        .key(kAlt, 'O'),
    entry(Command::SetPrimaryChartLineWidth, "mnuSetPrimaryChartLineWidth", "Set Primary Chart Line &Width", C,
          W::FileOpen, onChart<&ChartCommands::mnuSetPrimaryChartLineWidth_Click>)
        .key(kAlt, 'W'),
    entry(Command::SetSecondaryChartLineWidth, "mnuSetSecondaryChartLineWidth", "Set Secondary Chart Line Width", C,
          W::FileOpen, onChart<&ChartCommands::mnuSetSecondaryChartLineWidth_Click>),
    entry(Command::SetMovingAveragePeriodValue, "mnuSetMovingAveragePeriodValue", "Set Moving A&verage Period Value", C,
          W::FileOpen, onChart<&ChartCommands::mnuSetMovingAveragePeriodValue_Click>)
        .key(kCtrlShift, 'A'),
    entry(Command::SetSmoothingFactor, "mnuSetSmoothingFactor", "Set Smoothing Factor", C, W::FileOpen,
          onChart<&ChartCommands::mnuSetSmoothingFactor_Click>),
    entry(Command::Cursors, "mnuCursors", "&Cursors", C, W::FileOpen, onCursors<&CursorCommands::mnuCursors_Click>)
        .kavraOnly()
        .afterSeparator()
        .checks(Check::CursorsShown)
        .key(kAlt, 'C'),
    entry(Command::CursorReadout, "mnuCursorReadout", "Cursor &Readout", C, W::CursorsShown,
          onCursors<&CursorCommands::mnuCursorReadout_Click>)
        .kavraOnly(),

    entry(Command::RemoveZeroItems, "mnuRemoveZeroItems", "Remove Items with Zero Values", L, W::FileOpen,
          onItems<&ItemListCommands::mnuRemoveZeroItems_Click>)
        .key(kCtrlShift, 'Z'),
    entry(Command::RemoveSelectedItems, "mnuRemoveSelectedItems", "Remove Selected Item(s)", L, W::FileOpen,
          onItems<&ItemListCommands::mnuRemoveSelectedItems_Click>)
        .key(kCtrlShift, kInsert),
    entry(Command::RemoveItemsNotSelected, "mnuRemoveItemsNotSelected", "Remove Item(s) NOT Selected", L, W::FileOpen,
          onItems<&ItemListCommands::mnuRemoveItemsNotSelected_Click>)
        .key(kCtrlShift, kDelete),
    entry(Command::RemoveItemsContainingString, "mnuRemoveItemsContainingString", "Remove Item(s) containing string", L,
          W::FileOpen, onItems<&ItemListCommands::mnuRemoveItemsContainingString_Click>),
    entry(Command::RemoveItemsNotContainingString, "mnuRemoveItemsNotContainingString",
          "Remove Items(s) NOT containing string", L, W::FileOpen,
          onItems<&ItemListCommands::mnuRemoveItemsNotContainingString_Click>)
        .key(kCtrlShift, 'R'),
    entry(Command::SortInMedianOrder, "mnuSortInMedianOrder", "Sort in Median order", L, W::OneFileOpen,
          onItems<&ItemListCommands::mnuSortInMedianOrder_Click>)
        .inClassicAs("Sort in Ascending Median order"),
    entry(Command::SortItemsinAlphabeticalOrder, "mnuSortItemsinAlphabeticalOrder", "Sort Items in Alphabetical Order",
          L, W::FileOpen, onItems<&ItemListCommands::mnuSortItemsinAlphabeticalOrder_Click>)
        .kavraOnly(),
    entry(Command::ListItemsinOriginalOrder, "mnuListItemsinOriginalOrder", "List Items in Original Order", L,
          W::FileOpen, onItems<&ItemListCommands::mnuListItemsinOriginalOrder_Click>)
        .kavraOnly(),
    entry(Command::RevertToPreviousItemList, "mnuRevertToPreviousItemList", "Revert to Previous Item List", L,
          W::FileOpen, onItems<&ItemListCommands::mnuRevertToPreviousItemList_Click>)
        .inClassicAs("Revert to Previous List Box")
        .key(kCtrl, 'Z'),
    entry(Command::RankItemsByChange, "mnuRankItemsByChange", "Rank Items by Change A..B", L, W::CursorsShownOneFile,
          onCursors<&CursorCommands::mnuRankItemsByChange_Click>)
        .kavraOnly(),

    entry(Command::HelpAbout, "mnuHelpAbout", "&About Kavra", H, W::Always, onWindow<&MainWindow::mnuHelpAbout_Click>),
    entry(Command::ViewReleaseNotes, "mnuViewReleaseNotes", "&View KAVRA Release Notes", H, W::ReleaseNotesFound,
          onWindow<&MainWindow::mnuViewReleaseNotes_Click>),
};

constexpr bool inCommandOrder()
{
    for (size_t i = 0; i < std::size(kCommands); ++i)
        if (size_t(kCommands[i].id) != i)
            return false;
    return true;
}
static_assert(inCommandOrder(), "each command sits at its Command value");

constexpr MenuEntry kMenus[] = {
    {Menu::File, "mnuFile", "File"},
    {Menu::Options, "mnuOptions", "O&ptions"},
    {Menu::ChartSettings, "mnuChartSettings", "Cha&rt Settings"},
    {Menu::ModifyItemList, "mnuModifyItemList", "Modify Item List"},
    {Menu::Help, "mnuHelp", "&Help"},
};

}  // namespace

std::span<const CommandEntry> commandTable()
{
    return kCommands;
}

const CommandEntry &commandEntry(Command command)
{
    return kCommands[size_t(command)];
}

std::span<const MenuEntry> menuTable()
{
    return kMenus;
}

bool hasEntry(const CommandEntry &entry, Edition edition)
{
    switch (entry.editions) {
    case Editions::Both: return true;
    case Editions::KavraOnly: return edition == Edition::Kavra;
    }
    return false;
}

const char *captionIn(const CommandEntry &entry, Edition edition)
{
    return edition == Edition::Classic && entry.classicCaption ? entry.classicCaption : entry.caption;
}

bool commandEnabled(EnabledWhen when, const EnablingFacts &facts)
{
    const bool cursors = facts.cursorsShown;
    switch (when) {
    case W::Always: return true;
    case W::RoomForAFile: return facts.filesOpen < facts.maxFiles;
    case W::FileOpen: return facts.filesOpen > 0;
    case W::OneFileOpen: return facts.filesOpen == 1;
    case W::ChartMovingAverage: return facts.chart.movingAverage;
    case W::ChartSmoothing: return facts.chart.smoothing;
    case W::ChartCandles: return facts.chart.candles;
    case W::ChartRatios: return facts.chart.ratios;
    case W::ChartDualLayouts: return facts.chart.dualLayouts;
    case W::CursorsShown: return cursors;
    case W::CursorsShownOneFile: return cursors && facts.filesOpen == 1;
    case W::ReleaseNotesFound: return facts.releaseNotesFound;
    }
    return false;
}

}  // namespace kavra
