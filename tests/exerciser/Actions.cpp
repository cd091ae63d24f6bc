// The exerciser's actions and their weights: everything a user can do to the
// main window and its small windows.

#include "Exerciser.h"

#include "app/KeyboardShortcuts.h"
#include "app/MainWindow.h"
#include "chart/ChartView.h"
#include "support/ChartAccess.h"
#include "ui/Edition.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include <algorithm>

namespace {

template <typename T> std::vector<T *> visibleChildren(QWidget *parent)
{
    std::vector<T *> found;
    for (T *child : parent->findChildren<T *>())
        if (child->isVisible())
            found.push_back(child);
    return found;
}

Qt::KeyboardModifiers clickModifiers(Random &random)
{
    switch (random.below(10)) {
    case 0:
    case 1: return Qt::ControlModifier;
    case 2: return Qt::ShiftModifier;
    case 3: return Qt::ControlModifier | Qt::ShiftModifier;
    default: return Qt::NoModifier;
    }
}

int qtKey(int virtualKey)
{
    switch (virtualKey) {
    case 45: return Qt::Key_Insert;
    case 46: return Qt::Key_Delete;
    case 121: return Qt::Key_F10;
    default: return virtualKey;  // letters
    }
}

Qt::KeyboardModifiers shortcutModifiers(int shift)
{
    Qt::KeyboardModifiers modifiers;
    if (shift & 1)
        modifiers |= Qt::ShiftModifier;
    if (shift & 2)
        modifiers |= Qt::ControlModifier;
    if (shift & 4)
        modifiers |= Qt::AltModifier;
    return modifiers;
}

QString modifierText(Qt::KeyboardModifiers modifiers)
{
    QString text;
    if (modifiers & Qt::ControlModifier)
        text += QStringLiteral("Ctrl+");
    if (modifiers & Qt::ShiftModifier)
        text += QStringLiteral("Shift+");
    if (modifiers & Qt::AltModifier)
        text += QStringLiteral("Alt+");
    return text;
}

// What a mouse sends for a double-click: a click, then the second press as a
// double-click event and its release. QTest's own double-click sends the middle
// event alone, which no real mouse does.
void doubleClick(QWidget *widget, Qt::KeyboardModifiers modifiers, const QPoint &at)
{
    QTest::mouseClick(widget, Qt::LeftButton, modifiers, at);
    QTest::mouseDClick(widget, Qt::LeftButton, modifiers, at);
    QTest::mouseRelease(widget, Qt::LeftButton, modifiers, at);
}

QPoint pointIn(Random &random, const QRect &rect)
{
    return QPoint(random.between(rect.left(), rect.right()), random.between(rect.top(), rect.bottom()));
}

}  // namespace

const std::vector<Exerciser::Action> &Exerciser::actions()
{
    static const std::vector<Action> table = {
        {"menu entry", 30, &Exerciser::menuEntry},     {"open", 8, &Exerciser::openFile},
        {"shortcut", 16, &Exerciser::shortcut},        {"other key", 4, &Exerciser::otherKey},
        {"list click", 16, &Exerciser::listClick},     {"list drag", 3, &Exerciser::listDrag},
        {"chart drag", 8, &Exerciser::chartDrag},      {"chart wheel", 4, &Exerciser::chartWheel},
        {"chart hover", 3, &Exerciser::chartHover},    {"legend tick", 4, &Exerciser::legendTick},
        {"stack option", 4, &Exerciser::stackOption},  {"main button", 8, &Exerciser::mainButton},
        {"small window", 14, &Exerciser::smallWindow}, {"drop", 2, &Exerciser::dropFiles},
        {"restart", 1, &Exerciser::restart},           {"file change", 2, &Exerciser::changeFile},
        {"window shape", 2, &Exerciser::windowShape},  {"focus move", 3, &Exerciser::focusMove},
        {"widget", 10, &Exerciser::widgetSignal},      {"context menu", 4, &Exerciser::contextMenu},
        {"new item", 3, &Exerciser::newItem},
    };
    return table;
}

void Exerciser::menuEntry()
{
    std::vector<kavra::Command> commands;
    for (const kavra::CommandEntry &command : kavra::commandTable())
        if (command.handler && kavra::hasEntry(command, kavra::kEdition))
            commands.push_back(command.id);
    const kavra::Command chosen = commands[size_t(random_.below(int(commands.size())))];
    QAction *entry = window_->action(chosen);
    note(entry->objectName() + (entry->isEnabled() ? QString() : QStringLiteral(" (disabled)")));
    entry->trigger();
    if (chosen == kavra::Command::Exit)
        exitAsked_ = true;
}

void Exerciser::openFile()
{
    window_->action(kavra::Command::OpenFile)->trigger();
}

// The modifiers go down in a random order, the key goes down and up, and the
// modifiers come up in a random order.
void Exerciser::typeKeys(int key, Qt::KeyboardModifiers modifiers)
{
    if (random_.chance(85))
        window_->activateWindow();
    QWidget *target = QApplication::focusWidget();
    if (!target || target->window() != window_.get())
        target = window_.get();
    std::vector<std::pair<Qt::KeyboardModifier, int>> keys;
    for (const auto &[flag, code] :
         {std::pair{Qt::ControlModifier, int(Qt::Key_Control)}, std::pair{Qt::ShiftModifier, int(Qt::Key_Shift)},
          std::pair{Qt::AltModifier, int(Qt::Key_Alt)}})
        if (modifiers.testFlag(flag))
            keys.push_back({flag, code});
    Qt::KeyboardModifiers held;
    const auto send = [&](QEvent::Type type, int code) {
        QKeyEvent event(type, code, held);
        QApplication::sendEvent(target, &event);
    };
    for (size_t i = keys.size(); i > 1; --i)
        std::swap(keys[i - 1], keys[size_t(random_.below(int(i)))]);
    for (const auto &[flag, code] : keys) {
        held |= flag;
        send(QEvent::KeyPress, code);
    }
    send(QEvent::KeyPress, key);
    send(QEvent::KeyRelease, key);
    for (size_t i = keys.size(); i > 1; --i)
        std::swap(keys[i - 1], keys[size_t(random_.below(int(i)))]);
    for (const auto &[flag, code] : keys) {
        held &= ~flag;
        send(QEvent::KeyRelease, code);
    }
}

// Whether Correlate computes the list again: with nothing selected (the button
// disabled) the window keeps the list of an earlier press, over other rows.
bool Exerciser::correlateEnabled() const
{
    const auto *correlate = window_->findChild<QAbstractButton *>(QStringLiteral("cmdCorrelate"));
    return correlate && correlate->isEnabled();
}

void Exerciser::shortcut()
{
    const auto table = kavra::shortcutTable();
    const kavra::Shortcut &chosen = table[size_t(random_.below(int(table.size())))];
    int key = qtKey(chosen.key);
    Qt::KeyboardModifiers modifiers = shortcutModifiers(chosen.shift);
    if (random_.chance(10))
        modifiers = shortcutModifiers(random_.below(8));  // the key with other modifiers
    note(modifierText(modifiers) + QKeySequence(key).toString());
    correlated_ = chosen.action == kavra::ShortcutAction::Correlate &&
                  modifiers == shortcutModifiers(chosen.shift) && correlateEnabled();
    if (chosen.action == kavra::ShortcutAction::EndProgram && modifiers == Qt::ControlModifier)
        note(QStringLiteral("(ends the program)"));
    typeKeys(key, modifiers);
}

void Exerciser::otherKey()
{
    static const int keys[] = {Qt::Key_Up,    Qt::Key_Down,   Qt::Key_Home,   Qt::Key_End, Qt::Key_PageDown,
                               Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape, Qt::Key_A,   Qt::Key_F10};
    const int key = keys[random_.below(int(std::size(keys)))];
    const Qt::KeyboardModifiers modifiers = clickModifiers(random_);
    note(modifierText(modifiers) + QKeySequence(key).toString());
    typeKeys(key, modifiers);
}

void Exerciser::listClick()
{
    auto *list = window_->findChild<QTreeView *>(QStringLiteral("lvwKavra"));
    if (!list || !list->isVisible() || list->model()->rowCount() == 0) {
        note(QStringLiteral("no list to click"));
        return;
    }
    const int row = random_.below(list->model()->rowCount() + 1);  // one beyond: below the last row
    const Qt::KeyboardModifiers modifiers = clickModifiers(random_);
    QPoint at(5, list->viewport()->height() - 2);  // below the last row
    if (row < list->model()->rowCount()) {
        const QModelIndex index = list->model()->index(row, random_.below(list->model()->columnCount()));
        list->scrollTo(index);
        at = list->visualRect(index).center();
    }
    note(QStringLiteral("%1click row %2").arg(modifierText(modifiers)).arg(row));
    if (random_.chance(10))
        doubleClick(list->viewport(), modifiers, at);
    else
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, at);
}

void Exerciser::listDrag()
{
    auto *list = window_->findChild<QTreeView *>(QStringLiteral("lvwKavra"));
    const int rows = list ? list->model()->rowCount() : 0;
    if (!list || !list->isVisible() || rows == 0) {
        note(QStringLiteral("no list to drag in"));
        return;
    }
    const int from = random_.below(rows), to = random_.below(rows);
    const Qt::KeyboardModifiers modifiers = clickModifiers(random_);
    list->scrollTo(list->model()->index(from, 0));
    const QPoint start = list->visualRect(list->model()->index(from, 0)).center();
    const QPoint end = list->visualRect(list->model()->index(to, 0)).center();
    note(QStringLiteral("%1drag rows %2 to %3").arg(modifierText(modifiers)).arg(from).arg(to));
    QTest::mousePress(list->viewport(), Qt::LeftButton, modifiers, start);
    QTest::mouseMove(list->viewport(), (start + end) / 2);
    QTest::mouseMove(list->viewport(), end);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, modifiers, end);
}

void Exerciser::chartDrag()
{
    QCustomPlot *plot = kavra::plotOf(window_->chart());
    if (!window_->chart().isVisible()) {
        note(QStringLiteral("no chart"));
        return;
    }
    const QRect area = plot->axisRect()->rect();
    const Qt::MouseButton button = random_.chance(60) ? Qt::LeftButton : Qt::RightButton;
    const QPoint start = random_.chance(5) ? QPoint(2, 2) : pointIn(random_, area);
    const QPoint end = random_.chance(5) ? QPoint(plot->width() + 20, plot->height() / 2) : pointIn(random_, area);
    note(QStringLiteral("%1 drag (%2,%3) to (%4,%5)")
             .arg(button == Qt::LeftButton ? QStringLiteral("left") : QStringLiteral("right"))
             .arg(start.x())
             .arg(start.y())
             .arg(end.x())
             .arg(end.y()));
    QTest::mousePress(plot, button, Qt::NoModifier, start);
    QTest::mouseMove(plot, (start + end) / 2);
    QTest::mouseMove(plot, end);
    QTest::mouseRelease(plot, button, Qt::NoModifier, end);
}

void Exerciser::chartWheel()
{
    QCustomPlot *plot = kavra::plotOf(window_->chart());
    if (!window_->chart().isVisible()) {
        note(QStringLiteral("no chart"));
        return;
    }
    const QPoint at = pointIn(random_, plot->axisRect()->rect());
    const int delta = random_.chance(50) ? 120 : -120 * random_.between(1, 3);
    note(QStringLiteral("wheel %1 at (%2,%3)").arg(delta).arg(at.x()).arg(at.y()));
    QWheelEvent wheel(at, plot->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot, &wheel);
}

void Exerciser::chartHover()
{
    QCustomPlot *plot = kavra::plotOf(window_->chart());
    const QPoint at = pointIn(random_, plot->rect());
    note(QStringLiteral("mouse over (%1,%2)").arg(at.x()).arg(at.y()));
    QTest::mouseMove(plot, at);
}

void Exerciser::legendTick()
{
    QCustomPlot *plot = kavra::plotOf(window_->chart());
    std::vector<QCPAbstractLegendItem *> entries;
    for (int i = 0; i < plot->legend->itemCount(); ++i)
        if (QCPAbstractLegendItem *entry = plot->legend->item(i); entry && entry->visible())
            entries.push_back(entry);
    if (!window_->chart().isVisible() || !plot->legend->visible() || entries.empty()) {
        note(QStringLiteral("no legend"));
        return;
    }
    const int i = random_.below(int(entries.size()));
    const QRect box = entries[size_t(i)]->rect();
    const QPoint at = random_.chance(70) ? QPoint(box.left() + 6, box.center().y()) : box.center();
    note(QStringLiteral("legend entry %1 at (%2,%3)").arg(i).arg(at.x()).arg(at.y()));
    QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, at);
}

void Exerciser::stackOption()
{
    const int index = random_.below(2);
    auto *option = window_->findChild<QRadioButton *>(QStringLiteral("OptStack(%1)").arg(index));
    note(index == 0 ? QStringLiteral("Stack") : QStringLiteral("UnStack"));
    if (!option || !option->isVisible()) {
        note(QStringLiteral("hidden"));
        return;
    }
    QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, QPoint(6, option->height() / 2));
}

void Exerciser::mainButton()
{
    std::vector<QAbstractButton *> buttons;
    for (QAbstractButton *button : visibleChildren<QAbstractButton>(window_.get()))
        if (!qobject_cast<QRadioButton *>(button))
            buttons.push_back(button);
    if (buttons.empty()) {
        note(QStringLiteral("no button"));
        return;
    }
    // Correlate is the one most worth pressing.
    QAbstractButton *button = buttons[size_t(random_.below(int(buttons.size())))];
    if (random_.chance(40))
        if (auto *correlate = window_->findChild<QAbstractButton *>(QStringLiteral("cmdCorrelate")))
            if (correlate->isVisible())
                button = correlate;
    note(button->objectName() + (button->isEnabled() ? QString() : QStringLiteral(" (disabled)")));
    correlated_ = button->objectName() == QLatin1String("cmdCorrelate") && correlateEnabled();
    button->click();
}

void Exerciser::smallWindow()
{
    std::vector<QWidget *> windows;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != window_.get() && !qobject_cast<QMenu *>(w) && !w->objectName().isEmpty())
            windows.push_back(w);
    std::sort(windows.begin(), windows.end(), [](QWidget *a, QWidget *b) { return a->objectName() < b->objectName(); });
    if (windows.empty()) {
        note(QStringLiteral("none open"));
        return;
    }
    QWidget *w = windows[size_t(random_.below(int(windows.size())))];
    note(w->objectName());
    const int roll = random_.below(100);
    if (roll < 40) {
        const auto buttons = visibleChildren<QAbstractButton>(w);
        if (buttons.empty())
            return;
        QAbstractButton *button = buttons[size_t(random_.below(int(buttons.size())))];
        note(QStringLiteral("button ") + button->objectName() + QLatin1Char(' ') + button->text());
        button->click();
    } else if (roll < 65) {
        const auto lists = visibleChildren<QListWidget>(w);
        if (lists.empty() || lists.front()->count() == 0)
            return;
        QListWidget *list = lists[size_t(random_.below(int(lists.size())))];
        if (list->count() == 0)
            return;
        const int row = random_.below(list->count());
        list->scrollToItem(list->item(row));
        const QPoint at = list->visualItemRect(list->item(row)).center();
        note(QStringLiteral("%1 line %2").arg(list->objectName()).arg(row));
        if (random_.chance(20))
            doubleClick(list->viewport(), Qt::NoModifier, at);
        else
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    } else if (roll < 82) {
        const auto boxes = visibleChildren<QLineEdit>(w);
        if (boxes.empty())
            return;
        QLineEdit *box = boxes[size_t(random_.below(int(boxes.size())))];
        if (random_.chance(50)) {
            note(QStringLiteral("click %1").arg(box->objectName()));
            QTest::mouseClick(box, Qt::LeftButton);
        } else {
            static const char *texts[] = {"", "2", "-1.5", "abc", "1E400", "0", "New Item", "a,b", "x y z"};
            const QString text = QString::fromLatin1(texts[random_.below(int(std::size(texts)))]);
            note(QStringLiteral("type \"%1\" into %2").arg(text, box->objectName()));
            box->setText(text);
        }
    } else if (roll < 95) {
        note(QStringLiteral("close"));
        w->close();
    } else {
        note(QStringLiteral("Escape"));
        QTest::keyClick(w, Qt::Key_Escape);
    }
}

void Exerciser::dropFiles()
{
    const QStringList pool = ui_->pool();
    QList<QUrl> urls;
    const int count = random_.between(1, 3);
    for (int i = 0; i < count; ++i) {
        const QString path = pool[random_.below(int(pool.size()))];
        urls << QUrl::fromLocalFile(path);
        note(QFileInfo(path).fileName());
    }
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(20, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &enter);
    QDropEvent drop(QPointF(20, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &drop);
    QCoreApplication::sendPostedEvents();
}

void Exerciser::restart()
{
    if (random_.chance(50)) {
        note(QStringLiteral("close the main window"));
        window_->close();
    }
    QString commandLine;
    if (random_.chance(30)) {
        const QStringList pool = ui_->pool();
        commandLine = pool[random_.below(int(pool.size()))];
    }
    note(QStringLiteral("start afresh with \"%1\"").arg(QFileInfo(commandLine).fileName()));
    window_.reset();
    pool_ = writeFilePool(folder_.path() + QStringLiteral("/pool"));  // files saved over are made again
    startWindow(commandLine);
}
