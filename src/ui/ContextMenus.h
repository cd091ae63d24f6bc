#pragma once
// The commands of the context menus that windows below the main window build
// themselves (the scatter diagram's in the correlation window). They belong with
// the main window's command table (app/CommandTable), but a window of dialogs/
// cannot see app/, so their object names and captions are declared here, one
// layer down, where both may read them; no other file spells them.

namespace kavra {

struct ContextCommand {
    const char *objectName;
    const char *caption;
};

// The scatter diagram's menu (it has no caption of its own) and its one entry.
inline constexpr ContextCommand kScatterDiagramMenu{"mnuScatterDiagram", ""};
inline constexpr ContextCommand kCopyScatterChart{"mnuCopyScatterChart", "Copy Chart"};

}  // namespace kavra
