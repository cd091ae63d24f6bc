#include "app/KeyboardShortcuts.h"

#include "app/ChartCommands.h"
#include "app/CommandTable.h"
#include "app/CursorCommands.h"
#include "app/MainWindow.h"
#include "itemviews/ItemListView.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <utility>
#include <vector>

namespace kavra {
namespace {

constexpr int kOtherKey = 255;

bool isTextEditingKey(const QObject *receiver, const QKeyEvent &key)
{
    if (!qobject_cast<const QLineEdit *>(receiver))
        return false;
    for (const QKeySequence::StandardKey editing : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste,
                                                    QKeySequence::Undo, QKeySequence::Redo, QKeySequence::SelectAll})
        if (key.matches(editing))
            return true;
    return false;
}

// The keys that run no menu entry; those of the menu entries are in the command table.
constexpr Shortcut kOwnKeys[] = {
    {2, 'F', ShortcutAction::FocusFilter, nullptr}, {2, 'X', ShortcutAction::EndProgram, nullptr},
    {3, 'K', ShortcutAction::Correlate, nullptr},   {3, 'L', ShortcutAction::ItemListMenu, nullptr},
    {3, 'S', ShortcutAction::Stack, nullptr},       {3, 'U', ShortcutAction::UnStack, nullptr},
};

// Every edition's entries: a key whose entry this edition lacks runs nothing.
std::vector<Shortcut> allShortcuts()
{
    std::vector<Shortcut> table(std::begin(kOwnKeys), std::end(kOwnKeys));
    for (const CommandEntry &command : commandTable())
        if (command.shortcut.shift != 0)
            table.push_back(
                {command.shortcut.shift, command.shortcut.key, ShortcutAction::MenuEntry, command.objectName});
    std::sort(table.begin(), table.end(), [](const Shortcut &a, const Shortcut &b) {
        return std::pair(a.shift, a.key) < std::pair(b.shift, b.key);
    });
    return table;
}

// [ and ] move the cursor touched last one sample back or on; with Shift ({ and
// } on most layouts) ten. 0 for any other key.
int cursorStep(const QKeyEvent &key)
{
    if (key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return 0;
    const int ten = key.modifiers().testFlag(Qt::ShiftModifier) ? 10 : 1;
    switch (key.key()) {
    case Qt::Key_BracketLeft: return -ten;
    case Qt::Key_BracketRight: return ten;
    case Qt::Key_BraceLeft: return -10;
    case Qt::Key_BraceRight: return 10;
    default: return 0;
    }
}

}  // namespace

std::span<const Shortcut> shortcutTable()
{
    static const std::vector<Shortcut> table = allShortcuts();
    return table;
}

int virtualKeyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;  // Qt's codes of letters and digits are their upper-case characters
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    // The Windows and Super keys are modifiers here, below 32 like the others.
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R: return 16;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: return kOtherKey;
    }
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

KeyboardShortcuts::KeyboardShortcuts(MainWindow &window)
    : QObject(&window), exitProgram([](int code) { QCoreApplication::exit(code); }), window_(window)
{
    setObjectName(QStringLiteral("KeyboardShortcuts"));
    qApp->installEventFilter(this);
}

KeyboardShortcuts::~KeyboardShortcuts()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void KeyboardShortcuts::keyDown(int keyCode, int shift)
{
    AppState &state = window_.state();
    state.Form_Key_Shift = int16_t(keyCode < 32 ? 0 : shift);
    if (shift == 4)
        state.Form_Key_Shift = 4;
}

bool KeyboardShortcuts::keyUp(int keyCode)
{
    const int16_t shift = window_.state().Form_Key_Shift;
    for (const Shortcut &shortcut : shortcutTable()) {
        if (shortcut.shift != shift || shortcut.key != keyCode)
            continue;
        if (!available(shortcut))
            return false;
        run(shortcut);
        return true;
    }
    return false;
}

bool KeyboardShortcuts::available(const Shortcut &shortcut) const
{
    const auto shown = [this](const char *name) {
        const QWidget *control = window_.findChild<QWidget *>(QString::fromLatin1(name));
        return control && control->isVisibleTo(&window_);
    };
    switch (shortcut.action) {
    case ShortcutAction::MenuEntry: {
        const QAction *entry = window_.action(QString::fromLatin1(shortcut.entry));
        return entry && entry->isEnabled();
    }
    case ShortcutAction::EndProgram: return true;
    case ShortcutAction::ItemListMenu: return shown("lvwKavra");
    case ShortcutAction::Correlate: return shown("cmdCorrelate");
    case ShortcutAction::FocusFilter: return shown("txtKavraFilter");
    case ShortcutAction::Stack:
    case ShortcutAction::UnStack: {
        // As a click would: the options are disabled while two value axes are in use.
        const QWidget *frame = window_.findChild<QWidget *>(QStringLiteral("fraKavra1"));
        return frame && frame->isVisibleTo(&window_) && frame->isEnabled();
    }
    }
    return false;
}

void KeyboardShortcuts::run(const Shortcut &shortcut)
{
    switch (shortcut.action) {
    case ShortcutAction::MenuEntry: window_.action(QString::fromLatin1(shortcut.entry))->trigger(); break;
    case ShortcutAction::EndProgram: exitProgram(0); break;
    case ShortcutAction::ItemListMenu: window_.menu(Menu::ModifyItemList)->popup(QCursor::pos()); break;
    case ShortcutAction::Correlate: window_.cmdCorrelate_Click(); break;
    case ShortcutAction::FocusFilter:
        if (auto *filter = window_.findChild<QLineEdit *>(QStringLiteral("txtKavraFilter"))) {
            filter->setFocus(Qt::ShortcutFocusReason);
            filter->selectAll();  // what is typed next replaces the filter
        }
        break;
    case ShortcutAction::Stack:
    case ShortcutAction::UnStack: {
        // As a click on the option would: it becomes the chosen one, then its handler runs.
        const int index = shortcut.action == ShortcutAction::Stack ? 0 : 1;
        if (auto *option = window_.findChild<QRadioButton *>(QStringLiteral("OptStack(%1)").arg(index)))
            option->setChecked(true);
        window_.chartCommands().OptStack_Click(index);
        break;
    }
    }
}

bool KeyboardShortcuts::isMainWindowKey(QObject *receiver) const
{
    // Keys reach the window system's window first and then the focused control;
    // only the control's delivery counts, so that each key is seen once.
    if (!receiver->isWidgetType() || static_cast<QWidget *>(receiver)->window() != &window_)
        return false;
    const QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal != &window_)
        return false;
    if (QApplication::activePopupWidget())
        return false;
    const QWidget *active = QApplication::activeWindow();
    return !active || active == &window_;
}

bool KeyboardShortcuts::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    if (!isMainWindowKey(watched))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const int code = virtualKeyCode(key->key());
    if (type == QEvent::KeyPress && !qobject_cast<QLineEdit *>(watched) && cursorStep(*key) != 0 &&
        window_.cursorCommands().step(cursorStep(*key))) {
        key->accept();
        return true;
    }
    if (type == QEvent::KeyPress) {
        // A key the focused control leaves alone travels on to its parents; recording
        // it again there gives the same value. In a text box the editing keys (copy,
        // cut, paste, undo, redo, select all) edit its text and run no command.
        keyDown(code, isTextEditingKey(watched, *key) ? 0 : shiftState(key->modifiers()));
        return false;
    }
    // A key held down repeats its press and release; only the real release counts.
    if (key->isAutoRepeat())
        return false;
    if (!keyUp(code))
        return false;
    // The command ran: the release ends here, so it is not handled a second time
    // on its way to the focused control's parents.
    key->accept();
    return true;
}

}  // namespace kavra
