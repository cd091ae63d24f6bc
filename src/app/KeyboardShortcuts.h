#pragma once
// The main window's keyboard shortcuts. They are not menu accelerators: an
// application-wide event filter sees every key before the focused control, records
// the modifiers when a key goes down (Form_Key_Shift) and runs the command of the
// table when the key comes up, provided the command is available then (its menu
// entry enabled, or its button or frame visible).

#include <QObject>

#include <cstdint>
#include <functional>
#include <span>

class QKeyEvent;

namespace kavra {

class MainWindow;

// Key codes as the shortcut table counts them: letters are their upper-case
// character codes (A = 65 ... Z = 90), Insert = 45, Delete = 46, F1 = 112 ...,
// Up = 38, Down = 40; modifier and control keys (Shift, Ctrl, Alt, Meta, Enter,
// Tab, Escape, Backspace, ...) are below 32. Keys the table cannot name get 255.
int virtualKeyCode(int qtKey);

// The modifier bits of the table: 1 Shift, 2 Ctrl, 4 Alt.
int shiftState(Qt::KeyboardModifiers modifiers);

// What a shortcut does.
enum class ShortcutAction {
    MenuEntry,     // triggers the named menu entry, when it is enabled
    EndProgram,    // ends the program at once
    ItemListMenu,  // pops up the Modify Item List menu at the mouse pointer
    Correlate,     // the Correlate button's handler, when the button is visible
    Stack,         // OptStack(0), when the frame fraKavra1 is visible
    UnStack,       // OptStack(1), when the frame fraKavra1 is visible
    FocusFilter,   // the item list's filter box takes the keys, when it is visible
};

struct Shortcut {
    int16_t shift;  // Form_Key_Shift: 2 Ctrl, 3 Ctrl+Shift, 4 Alt
    int key;        // virtual-key code
    ShortcutAction action;
    const char *entry;  // the object name of MenuEntry's menu entry
};

// The whole table, by modifiers and key.
std::span<const Shortcut> shortcutTable();

class KeyboardShortcuts : public QObject {
    Q_OBJECT
public:
    // Installs itself on the application; removed again when destroyed (with the window).
    explicit KeyboardShortcuts(MainWindow &window);
    ~KeyboardShortcuts() override;

    // Form_KeyDown: records Form_Key_Shift in the window's state.
    void keyDown(int keyCode, int shift);
    // Form_KeyUp: runs the command of (Form_Key_Shift, keyCode) if there is one
    // and it is available; true when a command ran.
    bool keyUp(int keyCode);

    // How Ctrl+X ends the program; tests replace it to observe the call.
    std::function<void(int)> exitProgram;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // True when a key delivered to this receiver belongs to the main window while
    // it is the window the user works in (no modal dialog, pop-up or other
    // top-level window active).
    bool isMainWindowKey(QObject *receiver) const;
    bool available(const Shortcut &shortcut) const;
    void run(const Shortcut &shortcut);

    MainWindow &window_;
};

}  // namespace kavra
