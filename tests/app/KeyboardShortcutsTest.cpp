#include "app/KeyboardShortcuts.h"
#include "app/WindowFixture.h"

#include "chart/ChartView.h"
#include "itemviews/ItemListView.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <map>
#include <utility>

using kavra::KeyboardShortcuts;
using kavra::Shortcut;
using kavra::ShortcutAction;

namespace {

void sendKey(QWidget *to, QEvent::Type type, int key, Qt::KeyboardModifiers held, bool autoRepeat = false)
{
    QKeyEvent event(type, key, held, QString(), autoRepeat);
    QApplication::sendEvent(to, &event);
}

// The modifiers go down in the order Ctrl, Shift, Alt, then the key goes down and
// up, then the modifiers come up in reverse order, as a hand types a shortcut.
void typeShortcut(QWidget *to, Qt::KeyboardModifiers modifiers, int key)
{
    const std::pair<Qt::KeyboardModifier, int> modifierKeys[] = {
        {Qt::ControlModifier, Qt::Key_Control}, {Qt::ShiftModifier, Qt::Key_Shift}, {Qt::AltModifier, Qt::Key_Alt}};
    // As the window system reports them, a modifier key's events carry the state
    // before the key; Qt adds or removes the key's own modifier.
    Qt::KeyboardModifiers held;
    for (const auto &[flag, modifierKey] : modifierKeys)
        if (modifiers.testFlag(flag)) {
            sendKey(to, QEvent::KeyPress, modifierKey, held);
            held |= flag;
        }
    sendKey(to, QEvent::KeyPress, key, held);
    sendKey(to, QEvent::KeyRelease, key, held);
    for (auto it = std::rbegin(modifierKeys); it != std::rend(modifierKeys); ++it)
        if (modifiers.testFlag(it->first)) {
            sendKey(to, QEvent::KeyRelease, it->second, held);
            held &= ~Qt::KeyboardModifiers(it->first);
        }
}

// The Qt key and modifiers that type a table entry.
std::pair<Qt::KeyboardModifiers, int> keysOf(const Shortcut &shortcut)
{
    const std::map<int, Qt::KeyboardModifiers> modifiers = {
        {2, Qt::ControlModifier}, {3, Qt::ControlModifier | Qt::ShiftModifier}, {4, Qt::AltModifier}};
    const std::map<int, int> special = {{45, Qt::Key_Insert}, {46, Qt::Key_Delete}, {121, Qt::Key_F10}};
    const int key = special.count(shortcut.key) ? special.at(shortcut.key) : shortcut.key;
    return {modifiers.at(shortcut.shift), key};
}

std::string describe(const Shortcut &shortcut)
{
    return "shift " + std::to_string(shortcut.shift) + " key " + std::to_string(shortcut.key) + " " +
           (shortcut.entry ? shortcut.entry : "");
}

}  // namespace

TEST(KeyboardShortcutsKeys, QtKeysBecomeTheTableKeyCodes)
{
    using kavra::virtualKeyCode;
    EXPECT_EQ(virtualKeyCode(Qt::Key_A), 65);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Z), 90);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Insert), 45);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Delete), 46);
    EXPECT_EQ(virtualKeyCode(Qt::Key_F10), 121);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Up), 38);
    EXPECT_EQ(virtualKeyCode(Qt::Key_Down), 40);
    for (int key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_Meta, Qt::Key_Return, Qt::Key_Enter,
                    Qt::Key_Tab, Qt::Key_Escape, Qt::Key_Backspace})
        EXPECT_LT(virtualKeyCode(key), 32) << std::hex << key;
    // Punctuation whose Qt code is the character must not pass for Insert, Delete or a letter.
    for (int key : {Qt::Key_Minus, Qt::Key_Period, Qt::Key_Underscore, Qt::Key_BracketLeft, Qt::Key_F11})
        for (const Shortcut &shortcut : kavra::shortcutTable())
            EXPECT_NE(virtualKeyCode(key), shortcut.key) << std::hex << key;

    EXPECT_EQ(kavra::shiftState(Qt::NoModifier), 0);
    EXPECT_EQ(kavra::shiftState(Qt::ShiftModifier), 1);
    EXPECT_EQ(kavra::shiftState(Qt::ControlModifier), 2);
    EXPECT_EQ(kavra::shiftState(Qt::ControlModifier | Qt::ShiftModifier), 3);
    EXPECT_EQ(kavra::shiftState(Qt::AltModifier), 4);
    EXPECT_EQ(kavra::shiftState(Qt::AltModifier | Qt::ShiftModifier), 5);
    EXPECT_EQ(kavra::shiftState(Qt::ControlModifier | Qt::AltModifier), 6);
    EXPECT_EQ(kavra::shiftState(Qt::ControlModifier | Qt::MetaModifier | Qt::KeypadModifier), 2);

    EXPECT_EQ(kavra::shortcutTable().size(), 28u);
}

class KeyboardShortcutsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        watchExit();
    }

    void start(const QString &commandLine)
    {
        WindowTest::start(commandLine);
        watchExit();
    }

    void watchExit()
    {
        exits.clear();
        shortcuts()->exitProgram = [this](int code) { exits.push_back(code); };
    }

    KeyboardShortcuts *shortcuts() const { return window->findChild<KeyboardShortcuts *>(); }
    QWidget *list() const { return child<QWidget>("lvwKavra"); }
    void type(Qt::KeyboardModifiers modifiers, int key) { typeShortcut(list(), modifiers, key); }
    void load() { open(dir.write("day.csv", kGoodFile)); }
    int shift() const { return window->state().Form_Key_Shift; }
    bool shown(const char *name) const { return child<QWidget>(name) && child<QWidget>(name)->isVisible(); }
    int selectedCount() const
    {
        int n = 0;
        for (const auto &row : window->items().current().rows)
            n += row.selected ? 1 : 0;
        return n;
    }
    // Selects the rows with these indexes and redraws, as clicks in the list would.
    void select(std::initializer_list<size_t> rows)
    {
        for (auto &row : window->items().current().rows)
            row.selected = false;
        for (size_t r : rows)
            window->items().current().rows[r].selected = true;
        window->lvwKavra_Click();
    }

    std::vector<int> exits;
};

TEST_F(KeyboardShortcutsTest, KeyDownRecordsTheModifierState)
{
    const auto down = [&](int key, Qt::KeyboardModifiers held) {
        sendKey(list(), QEvent::KeyPress, key, held);
        return shift();
    };
    EXPECT_EQ(down(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier), 3);
    EXPECT_EQ(down(Qt::Key_C, Qt::ControlModifier), 2);
    EXPECT_EQ(down(Qt::Key_A, Qt::AltModifier), 4);
    EXPECT_EQ(down(Qt::Key_A, Qt::ShiftModifier), 1);
    EXPECT_EQ(down(Qt::Key_A, Qt::AltModifier | Qt::ShiftModifier), 5);
    EXPECT_EQ(down(Qt::Key_A, Qt::ControlModifier | Qt::AltModifier), 6);
    EXPECT_EQ(down(Qt::Key_A, Qt::NoModifier), 0);
    // Modifier and control keys record 0, whatever is held ...
    EXPECT_EQ(down(Qt::Key_Control, Qt::ControlModifier), 0);
    EXPECT_EQ(down(Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier), 0);
    EXPECT_EQ(down(Qt::Key_Return, Qt::ControlModifier), 0);
    EXPECT_EQ(down(Qt::Key_Tab, Qt::ControlModifier), 0);
    // ... except that Alt alone always records 4: the Alt key itself (Qt counts its
    // own modifier as held while it goes down) and a control key with Alt.
    EXPECT_EQ(down(Qt::Key_Alt, Qt::NoModifier), 4);
    EXPECT_EQ(down(Qt::Key_Escape, Qt::AltModifier), 4);
    EXPECT_EQ(down(Qt::Key_Alt, Qt::ShiftModifier), 0);

    // A release leaves the recorded value alone, the release's own modifiers are ignored.
    down(Qt::Key_Q, Qt::ControlModifier | Qt::ShiftModifier);
    sendKey(list(), QEvent::KeyRelease, Qt::Key_Q, Qt::NoModifier);
    sendKey(list(), QEvent::KeyRelease, Qt::Key_Shift, Qt::AltModifier);
    EXPECT_EQ(shift(), 3);

    // Keys reach the table whichever control has them: the chart, the window itself.
    sendKey(child<QWidget>("tchKavra"), QEvent::KeyPress, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(shift(), 2);
    sendKey(window.get(), QEvent::KeyPress, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(shift(), 4);
}

// Every entry of the table, typed before any file is open (only Open and End run),
// with a file but its condition false (nothing runs), and with the condition true.
TEST_F(KeyboardShortcutsTest, EveryEntryRunsOnlyWhenItsCommandIsAvailable)
{
    for (const Shortcut &shortcut : kavra::shortcutTable()) {
        SCOPED_TRACE(describe(shortcut));
        const auto [modifiers, key] = keysOf(shortcut);
        start(QString());
        int triggered = 0;
        if (shortcut.action == ShortcutAction::MenuEntry)
            QObject::connect(window->action(QString::fromLatin1(shortcut.entry)), &QAction::triggered,
                             [&triggered] { ++triggered; });
        auto *menu = child<QMenu>("mnuModifyItemList");
        const auto ran = [&] {
            switch (shortcut.action) {
            case ShortcutAction::MenuEntry: return triggered > 0;
            case ShortcutAction::EndProgram: return !exits.empty();
            case ShortcutAction::ItemListMenu: return menu->isVisible();
            case ShortcutAction::Correlate: return window->correlationWindow() != nullptr;
            case ShortcutAction::Stack: return window->state().chart.stackMode() == 2;
            case ShortcutAction::UnStack: return window->state().chart.stackMode() == 1;
            case ShortcutAction::FocusFilter: return window->focusWidget() == child<QWidget>("txtKavraFilter");
            }
            return false;
        };

        type(modifiers, key);
        EXPECT_EQ(ran(), shortcut.action == ShortcutAction::EndProgram ||
                             (shortcut.entry && QByteArray(shortcut.entry) == "mnuOpenFile"))
            << "before a file is open";
        ui.fileDialogs = 0;
        ui.fileAnswers.clear();
        triggered = 0;
        exits.clear();

        load();
        select({0, 1});  // two charted items: every menu entry of the table is enabled
        if (shortcut.action == ShortcutAction::Stack)
            window->state().chart.unStack();
        if (shortcut.action == ShortcutAction::UnStack)
            window->state().chart.stack();
        switch (shortcut.action) {
        case ShortcutAction::MenuEntry: window->action(QString::fromLatin1(shortcut.entry))->setEnabled(false); break;
        case ShortcutAction::EndProgram: break;
        case ShortcutAction::ItemListMenu: list()->hide(); break;
        case ShortcutAction::Correlate: child<QWidget>("cmdCorrelate")->hide(); break;
        case ShortcutAction::Stack:
        case ShortcutAction::UnStack: child<QWidget>("fraKavra1")->hide(); break;
        case ShortcutAction::FocusFilter: child<QWidget>("txtKavraFilter")->hide(); break;
        }
        if (shortcut.action != ShortcutAction::EndProgram) {
            typeShortcut(window.get(), modifiers, key);
            EXPECT_FALSE(ran()) << "condition false";
        }

        switch (shortcut.action) {
        case ShortcutAction::MenuEntry: window->action(QString::fromLatin1(shortcut.entry))->setEnabled(true); break;
        case ShortcutAction::EndProgram: break;
        case ShortcutAction::ItemListMenu: list()->show(); break;
        case ShortcutAction::Correlate: child<QWidget>("cmdCorrelate")->show(); break;
        case ShortcutAction::Stack:
        case ShortcutAction::UnStack: child<QWidget>("fraKavra1")->show(); break;
        case ShortcutAction::FocusFilter: child<QWidget>("txtKavraFilter")->show(); break;
        }
        // The other modifier values run nothing.
        for (Qt::KeyboardModifiers other :
             {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
              Qt::ControlModifier | Qt::AltModifier, Qt::AltModifier | Qt::ShiftModifier,
              Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier})
            if (other != modifiers)
                type(other, key);
        if (shortcut.shift != 2 && key != Qt::Key_C)  // Ctrl+C would close the files
            type(Qt::ControlModifier, key);
        if (shortcut.shift != 3)
            type(Qt::ControlModifier | Qt::ShiftModifier, key);
        if (shortcut.shift != 4)
            type(Qt::AltModifier, key);
        EXPECT_FALSE(ran()) << "other modifiers";

        type(modifiers, key);
        EXPECT_TRUE(ran()) << "condition true";
        if (shortcut.action == ShortcutAction::MenuEntry) {
            EXPECT_EQ(triggered, 1);
        }
        if (shortcut.action == ShortcutAction::EndProgram) {
            EXPECT_EQ(exits, std::vector<int>{0});
        }
        menu->hide();
    }
}

TEST_F(KeyboardShortcutsTest, FileCommandsRunFromTheKeyboard)
{
    // Ctrl+O asks for a file and opens it.
    ui.fileAnswers.push_back(QString::fromStdString(dir.write("day.csv", kGoodFile)));
    type(Qt::ControlModifier, Qt::Key_O);
    EXPECT_EQ(ui.fileDialogs, 1);
    EXPECT_EQ(window->data().Files_Open, 1);
    ui.fileAnswers.push_back(QString::fromStdString(dir.write("day2.csv", kGoodFile)));
    type(Qt::ControlModifier, Qt::Key_O);
    EXPECT_EQ(window->data().Files_Open, 2);

    // Ctrl+S saves the data.
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("saved.csv")));
    type(Qt::ControlModifier, Qt::Key_S);
    EXPECT_EQ(ui.fileDialogs, 3);
    EXPECT_FALSE(dir.read("saved.csv").empty());

    // Holding Ctrl, pressing C, releasing Ctrl and then C still closes the files.
    sendKey(list(), QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    sendKey(list(), QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    sendKey(list(), QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(window->data().Files_Open, 2) << "the release of Ctrl matches nothing";
    sendKey(list(), QEvent::KeyRelease, Qt::Key_C, Qt::NoModifier);
    EXPECT_EQ(window->data().Files_Open, 0);
    EXPECT_EQ(window->statusText(), kNoFileText);
    EXPECT_TRUE(exits.empty());

    // Ctrl+X ends the program, with or without files.
    type(Qt::ControlModifier, Qt::Key_X);
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
}

TEST_F(KeyboardShortcutsTest, StackAndUnStackRunTheirOptions)
{
    load();
    ASSERT_EQ(window->state().chart.stackMode(), 1);
    sendKey(list(), QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    sendKey(list(), QEvent::KeyPress, Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
    sendKey(list(), QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(shift(), 3);
    sendKey(list(), QEvent::KeyRelease, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window->state().chart.stackMode(), 2);
    EXPECT_EQ(QString::fromStdString(window->state().chart.title(kavra::TitleLine::SubFooter)), QStringLiteral("Values are STACKED"));
    EXPECT_TRUE(child<QRadioButton>("OptStack(0)")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("OptStack(1)")->isChecked());

    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_U);
    EXPECT_EQ(window->state().chart.stackMode(), 1);
    EXPECT_TRUE(window->state().chart.title(kavra::TitleLine::SubFooter).empty());
    EXPECT_TRUE(child<QRadioButton>("OptStack(1)")->isChecked());

    // Hidden frame: nothing.
    child<QWidget>("fraKavra1")->hide();
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_S);
    EXPECT_EQ(window->state().chart.stackMode(), 1);
}

TEST_F(KeyboardShortcutsTest, StackIsNotOfferedWhileTwoValueAxesAreInUse)
{
    // On two value axes the Stack option is disabled; its key must not stack
    // behind it and write "Values are STACKED" under a chart that is not.
    load();
    select({0, 1});
    window->action(QStringLiteral("mnuCycleDualCharts"))->trigger();
    ASSERT_EQ(window->state().chart.dualLayout(), kavra::DualAxes);
    ASSERT_FALSE(child<QWidget>("fraKavra1")->isEnabled());

    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_S);
    EXPECT_EQ(window->state().chart.stackMode(), 1);
    EXPECT_TRUE(window->state().chart.title(kavra::TitleLine::SubFooter).empty());
    EXPECT_TRUE(child<QRadioButton>("OptStack(1)")->isChecked());

    window->action(QStringLiteral("mnuCycleDualCharts"))->trigger();
    window->action(QStringLiteral("mnuCycleDualCharts"))->trigger();
    ASSERT_EQ(window->state().chart.dualLayout(), kavra::SingleAxis);
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_S);
    EXPECT_EQ(window->state().chart.stackMode(), 2) << "back on one axis the key stacks again";
}

TEST_F(KeyboardShortcutsTest, ItemListCommandsRunFromTheKeyboard)
{
    load();
    const auto &items = window->items();
    ASSERT_EQ(items.current().rows.size(), 3u);

    // Ctrl+Z with only the first revision: nothing to undo.
    type(Qt::ControlModifier, Qt::Key_Z);
    EXPECT_EQ(items.index(), 0);
    EXPECT_EQ(items.current().rows.size(), 3u);

    // Ctrl+Shift+Insert removes the selected item (the default, MP Sync Time).
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Insert);
    EXPECT_EQ(items.index(), 1);
    ASSERT_EQ(items.current().rows.size(), 2u);
    EXPECT_EQ(items.current().rows[0].text, "CPU Busy");
    EXPECT_EQ(items.current().rows[1].text, "Disk Rate");

    // Ctrl+Z goes back to the full list.
    type(Qt::ControlModifier, Qt::Key_Z);
    EXPECT_EQ(items.index(), 0);
    EXPECT_EQ(items.current().rows.size(), 3u);

    // Ctrl+Shift+Delete keeps only the selected item.
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Delete);
    EXPECT_EQ(items.index(), 1);
    ASSERT_EQ(items.current().rows.size(), 1u);
    EXPECT_EQ(items.current().rows[0].text, "MP Sync Time");
    type(Qt::ControlModifier, Qt::Key_Z);

    // Ctrl+Shift+R asks for a string and keeps the items containing it.
    ui.inputAnswers.push_back(QStringLiteral("busy"));
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_R);
    EXPECT_TRUE(ui.inputAnswers.empty());
    EXPECT_EQ(window->state().list.Search_String, QStringLiteral("busy"));
    ASSERT_EQ(items.current().rows.size(), 1u);
    EXPECT_EQ(items.current().rows[0].text, "CPU Busy");
    type(Qt::ControlModifier, Qt::Key_Z);

    // Ctrl+Shift+Z removes the items with zero values (there are none) into a new revision.
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
    EXPECT_EQ(items.index(), 1);
    EXPECT_EQ(items.current().rows.size(), 3u);

    // Alt+A opens the new-item window.
    EXPECT_FALSE(shown("frmKavra5"));
    type(Qt::AltModifier, Qt::Key_A);
    EXPECT_TRUE(shown("frmKavra5"));
}

TEST_F(KeyboardShortcutsTest, ItemListMenuPopsUpWhileTheListIsShown)
{
    auto *menu = child<QMenu>("mnuModifyItemList");
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_L);
    EXPECT_FALSE(menu->isVisible()) << "no list without a file";

    load();
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_L);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(QApplication::activePopupWidget(), menu);
    // While the pop-up has the keys, the main window's shortcuts rest.
    type(Qt::ControlModifier, Qt::Key_C);
    EXPECT_EQ(window->data().Files_Open, 1);
    menu->hide();
    type(Qt::ControlModifier, Qt::Key_C);
    EXPECT_EQ(window->data().Files_Open, 0);
}

TEST_F(KeyboardShortcutsTest, ChartCommandsRunFromTheKeyboard)
{
    load();
    kavra::AppState &state = window->state();

    ui.inputAnswers = {QStringLiteral("25")};
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_A);
    EXPECT_EQ(state.chart.movingAveragePeriod(), 25);

    ASSERT_TRUE(enabled("mnuToggleMovingAverage"));
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_T);
    EXPECT_TRUE(state.chart.shows(kavra::DerivedCurve::MovingAverage));
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_T);
    EXPECT_FALSE(state.chart.shows(kavra::DerivedCurve::MovingAverage));

    ui.inputAnswers = {QStringLiteral("Busy")};
    type(Qt::AltModifier, Qt::Key_M);
    EXPECT_EQ(state.list.Search_String, QStringLiteral("Busy"));
    EXPECT_EQ(selectedCount(), 1);
    EXPECT_TRUE(window->items().current().rows[0].selected);

    ui.inputAnswers = {QStringLiteral("The title")};
    type(Qt::AltModifier, Qt::Key_T);
    EXPECT_EQ(QString::fromStdString(state.chart.title(kavra::TitleLine::Header)), QStringLiteral("The title"));
    ui.inputAnswers = {QStringLiteral("The sub-title")};
    type(Qt::AltModifier, Qt::Key_S);
    EXPECT_EQ(QString::fromStdString(state.chart.title(kavra::TitleLine::SubHeader)), QStringLiteral("The sub-title"));
    ui.inputAnswers = {QStringLiteral("The footer")};
    type(Qt::AltModifier, Qt::Key_O);
    EXPECT_EQ(QString::fromStdString(state.chart.title(kavra::TitleLine::Footer)), QStringLiteral("The footer"));
    ui.inputAnswers = {QStringLiteral("5")};
    type(Qt::AltModifier, Qt::Key_W);
    EXPECT_EQ(state.chart.primaryWidth(), 5);
    EXPECT_TRUE(ui.inputAnswers.empty());

    // Ctrl+Shift+D needs two charted items.
    EXPECT_FALSE(enabled("mnuCycleDualCharts"));
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_D);
    EXPECT_EQ(state.chart.dualLayout(), 0);
    select({0, 1});
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_D);
    EXPECT_EQ(state.chart.dualLayout(), 1);
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_D);
    EXPECT_EQ(state.chart.dualLayout(), 2);

    EXPECT_FALSE(shown("frmChartEditor"));
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F10);
    EXPECT_TRUE(shown("frmChartEditor"));
    EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
}

TEST_F(KeyboardShortcutsTest, CorrelateRunsOnlyWhileItsButtonIsShown)
{
    load();
    auto *button = child<QPushButton>("cmdCorrelate");
    button->hide();
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_K);
    EXPECT_EQ(window->correlationWindow(), nullptr);
    button->show();
    type(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_K);
    ASSERT_NE(window->correlationWindow(), nullptr);
}

TEST_F(KeyboardShortcutsTest, UnusedModifierValuesRunNothing)
{
    load();
    // Alt+Shift+A (5) and Ctrl+Alt+A (6): neither the new-item window nor the period.
    ui.inputAnswers = {QStringLiteral("7")};
    type(Qt::AltModifier | Qt::ShiftModifier, Qt::Key_A);
    EXPECT_EQ(shift(), 5);
    type(Qt::ControlModifier | Qt::AltModifier, Qt::Key_A);
    EXPECT_EQ(shift(), 6);
    type(Qt::ShiftModifier, Qt::Key_C);
    type(Qt::NoModifier, Qt::Key_C);
    EXPECT_FALSE(shown("frmKavra5"));
    EXPECT_EQ(window->state().chart.movingAveragePeriod(), 10);
    EXPECT_EQ(ui.inputAnswers.size(), 1u);
    EXPECT_EQ(window->data().Files_Open, 1);
    // A modifier key released after a shortcut's key went down matches nothing either.
    sendKey(list(), QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    sendKey(list(), QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    sendKey(list(), QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    EXPECT_EQ(window->data().Files_Open, 1);
}

TEST_F(KeyboardShortcutsTest, AHeldKeyRunsItsCommandOnce)
{
    load();
    kavra::AppState &state = window->state();
    const Qt::KeyboardModifiers held = Qt::ControlModifier | Qt::ShiftModifier;
    sendKey(list(), QEvent::KeyPress, Qt::Key_T, held);
    for (int i = 0; i < 3; ++i) {
        sendKey(list(), QEvent::KeyRelease, Qt::Key_T, held, true);
        sendKey(list(), QEvent::KeyPress, Qt::Key_T, held, true);
    }
    EXPECT_FALSE(state.chart.shows(kavra::DerivedCurve::MovingAverage));
    sendKey(list(), QEvent::KeyRelease, Qt::Key_T, held);
    EXPECT_TRUE(state.chart.shows(kavra::DerivedCurve::MovingAverage));
}

TEST_F(KeyboardShortcutsTest, OtherWindowsKeepTheirKeys)
{
    load();
    {
        // A modal dialog of the window is up: keys sent to the window or the dialog run nothing.
        QDialog dialog(window.get());
        dialog.setModal(true);
        dialog.show();
        ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
        typeShortcut(list(), Qt::ControlModifier, Qt::Key_C);
        typeShortcut(&dialog, Qt::ControlModifier, Qt::Key_C);
        EXPECT_EQ(window->data().Files_Open, 1);
    }
    {
        // Another top-level window is active.
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        typeShortcut(&other, Qt::ControlModifier, Qt::Key_C);
        typeShortcut(list(), Qt::ControlModifier, Qt::Key_C);
        EXPECT_EQ(window->data().Files_Open, 1);
        // A non-modal child window of the main window is a window of its own too.
        QApplication::setActiveWindow(nullptr);
        QWidget tool(window.get(), Qt::Tool);
        tool.show();
        typeShortcut(&tool, Qt::ControlModifier, Qt::Key_C);
        EXPECT_EQ(window->data().Files_Open, 1);
    }
    // A second main window's keys are its own.
    FakeInteraction otherUi;
    {
        kavra::MainWindow second(otherUi);
        second.Form_Load(QString());
        second.findChild<KeyboardShortcuts *>()->exitProgram = [](int) {};
        typeShortcut(second.findChild<QWidget *>(QStringLiteral("lvwKavra")), Qt::ControlModifier, Qt::Key_C);
        EXPECT_EQ(window->data().Files_Open, 1);
    }
    // Once the second window is gone its filter is too; this one still works.
    type(Qt::ControlModifier, Qt::Key_C);
    EXPECT_EQ(window->data().Files_Open, 0);
}

TEST_F(KeyboardShortcutsTest, ArrowKeysInTheListStillRedrawTheChart)
{
    load();
    auto &rows = window->items().current().rows;
    ASSERT_TRUE(rows[2].selected);  // MP Sync Time, the default
    type(Qt::NoModifier, Qt::Key_Up);
    EXPECT_FALSE(rows[2].selected);
    EXPECT_TRUE(rows[1].selected);
    EXPECT_EQ(window->chart().seriesStyle(0).name.toStdString().find("Disk Rate"), 0u)
        << window->chart().seriesStyle(0).name.toStdString();
    EXPECT_GT(window->chart().seriesCount(), 0);
}
