#pragma once
// Every command of the main window's menus, declared once: the entry's object
// name and caption, its menu and place there, the editions that have it, when it
// is enabled, what it runs and its keyboard shortcut. The menu bar, the
// connections, the enabling, the shortcut keys and the exerciser's list of
// commands are all made from this table; code elsewhere names a command by its
// Command value. The context menus that windows below app/ build declare their
// commands in ui/ContextMenus.h, which those windows can see.

#include "data/Edition.h"

#include <cstdint>
#include <span>

namespace kavra {

class MainWindow;

// The menus, in the order of the menu bar (Set Sort Order opens from Options).
enum class Menu : uint8_t { File, Options, SortOrder, ChartSettings, ModifyItemList, Help };

// The commands, in the order of the table: each menu's entries top to bottom,
// each menu beginning a line.
// clang-format off
enum class Command : uint8_t {
    OpenFile, PrintPreview, PrintChart, ExportChart, CopyChart, SaveDataAs, SaveReport, Properties,
    FollowGrowingFiles, CloseFile, Exit,
    AddNewItem, ChartMultipleItems, CycleDualCharts, EditChartProperties, ToggleMovingAverage,
    GenerateRatioCharts, SmoothUnSmooth, AddRemoveCandleChart, SetSortOrder, SetSortOrderAscending,
    SetSortOrderDescending, SetFollowInterval,
    SetChartTitle, SetChartSubTitle, SetChartFooter, SetPrimaryChartLineWidth, SetSecondaryChartLineWidth,
    SetMovingAveragePeriodValue, SetSmoothingFactor, Cursors, CursorReadout,
    RemoveZeroItems, RemoveSelectedItems, RemoveItemsNotSelected, RemoveItemsContainingString,
    RemoveItemsNotContainingString, SortInMedianOrder, SortItemsinAlphabeticalOrder, ListItemsinOriginalOrder,
    RevertToPreviousItemList, RankItemsByChange,
    HelpAbout, ViewReleaseNotes,
};
// clang-format on

// Which editions have an entry.
enum class Editions : uint8_t { Both, KavraOnly };

// When an entry is enabled, answered by commandEnabled from the facts below.
enum class EnabledWhen : uint8_t {
    Always,
    RoomForAFile,        // fewer files open than may be
    FileOpen,            // any file open
    OneFileOpen,         // exactly one file open
    ChartMovingAverage,  // the chart drawn last allows it (a load allows all but the dual layouts)
    ChartSmoothing,
    ChartCandles,
    ChartRatios,
    ChartDualLayouts,
    CursorsShown,
    CursorsShownOneFile,  // the cursors shown over one file
    ReleaseNotesFound,    // the release-notes file could be read
};

// What the chart drawn last allows; every entry it decides is off again after Close.
struct ChartAllows {
    bool movingAverage = false;
    bool smoothing = false;
    bool candles = false;
    bool ratios = false;
    bool dualLayouts = false;
};

struct EnablingFacts {
    int filesOpen = 0;
    int maxFiles = 0;
    bool cursorsShown = false;
    bool releaseNotesFound = false;
    ChartAllows chart;
};

bool commandEnabled(EnabledWhen when, const EnablingFacts &facts);

// A check item's state: the cursors' is the cursors' state; Follow Growing Files
// keeps its own (FollowCommands).
enum class Check : uint8_t { None, CursorsShown, Following };

// A shortcut as the keyboard table counts it: shift 2 Ctrl, 3 Ctrl+Shift, 4 Alt
// (0: none), key a virtual-key code (letters their upper-case character).
struct KeyChord {
    int16_t shift = 0;
    int key = 0;
};

struct CommandEntry {
    Command id;
    const char *objectName;
    const char *caption;
    const char *classicCaption;  // the classic edition's, when it differs
    Menu menu;
    Editions editions;
    EnabledWhen enabledWhen;
    bool separatorBefore;
    Check check;
    void (*handler)(MainWindow &window, bool checked);  // none: the entry opens the submenu `opens`
    Menu opens;
    KeyChord shortcut;

    // Refinements of an entry, for the table's declarations.
    constexpr CommandEntry kavraOnly() const { return with(&CommandEntry::editions, Editions::KavraOnly); }
    constexpr CommandEntry inClassicAs(const char *text) const { return with(&CommandEntry::classicCaption, text); }
    constexpr CommandEntry afterSeparator() const { return with(&CommandEntry::separatorBefore, true); }
    constexpr CommandEntry checks(Check state) const { return with(&CommandEntry::check, state); }
    constexpr CommandEntry key(int16_t shift, int code) const
    {
        return with(&CommandEntry::shortcut, KeyChord{shift, code});
    }

private:
    template <typename T, typename V> constexpr CommandEntry with(T CommandEntry::*field, V value) const
    {
        CommandEntry copy = *this;
        copy.*field = value;
        return copy;
    }
};

// A menu of the menu bar (a submenu is named by the entry that opens it).
struct MenuEntry {
    Menu id;
    const char *objectName;
    const char *caption;
};

// The whole table, every edition's entries, in menu order.
std::span<const CommandEntry> commandTable();
const CommandEntry &commandEntry(Command command);
// The menu bar's menus in their order.
std::span<const MenuEntry> menuTable();
// Whether this edition's menus have the entry, and its caption there.
bool hasEntry(const CommandEntry &entry, Edition edition);
const char *captionIn(const CommandEntry &entry, Edition edition);

}  // namespace kavra
