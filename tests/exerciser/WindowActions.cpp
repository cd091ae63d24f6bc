// The exerciser's actions on the windows as a whole and on their controls
// through the signals a user's hand sends: text typed and ended with Return or
// by leaving the box, a combo box or spin box stepped with the keys, a tab
// chosen, a context menu opened and an entry of it chosen; the main window
// resized, maximised, minimised and restored; the focus moved with Tab. And a
// data file of the pool changed between steps, as a collector writing it would.

#include "Exerciser.h"

#include "app/MainWindow.h"
#include "chart/ChartView.h"
#include "support/ChartAccess.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <algorithm>

namespace {

// The visible controls of kind T in every window on show, in a fixed order.
template <typename T> std::vector<T *> controlsOnShow()
{
    std::vector<T *> found;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->isVisible() && !qobject_cast<QMenu *>(top))
            for (T *control : top->findChildren<T *>())
                if (control->isVisible() && control->isEnabled())
                    found.push_back(control);
    std::stable_sort(found.begin(), found.end(),
                     [](T *a, T *b) { return a->objectName() < b->objectName(); });
    return found;
}

QString nameOf(QWidget *w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

}  // namespace

void Exerciser::changeFile()
{
    const kavra::DataSet &data = window_->data();
    if (data.Files_Open > 0 && QFile::decodeName(QByteArray::fromStdString(data.File_Names[0])) == pool_.live.path)
        liveStale_ = true;
    note(pool_.live.change(random_));
}

void Exerciser::windowShape()
{
    switch (random_.below(5)) {
    case 0: {
        const int width = random_.between(200, 1800), height = random_.between(150, 1100);
        note(QStringLiteral("resize to %1x%2").arg(width).arg(height));
        window_->resize(width, height);
        break;
    }
    case 1: note(QStringLiteral("maximise")); window_->showMaximized(); break;
    case 2: note(QStringLiteral("minimise")); window_->showMinimized(); break;
    case 3: note(QStringLiteral("full screen")); window_->showFullScreen(); break;
    default: note(QStringLiteral("restore")); window_->showNormal(); break;
    }
    QCoreApplication::processEvents();
}

void Exerciser::focusMove()
{
    const bool back = random_.chance(30);
    const int presses = random_.between(1, 4);
    QWidget *before = QApplication::focusWidget();
    for (int i = 0; i < presses; ++i)
        typeKeys(back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
    QWidget *after = QApplication::focusWidget();
    note(QStringLiteral("%1 x%2: %3 to %4")
             .arg(back ? QStringLiteral("Shift+Tab") : QStringLiteral("Tab"))
             .arg(presses)
             .arg(before ? nameOf(before) : QStringLiteral("none"), after ? nameOf(after) : QStringLiteral("none")));
}

void Exerciser::widgetSignal()
{
    const int kind = random_.below(5);
    if (kind == 0) {
        const auto boxes = controlsOnShow<QLineEdit>();
        if (boxes.empty())
            return note(QStringLiteral("no text box"));
        QLineEdit *box = boxes[size_t(random_.below(int(boxes.size())))];
        static const char *texts[] = {"", "2", "-1.5", "abc", "1E400", "0", "CPU", "a,b", "10:30", "06-DEC-2026 10:05"};
        const QString text = QString::fromLatin1(texts[random_.below(int(std::size(texts)))]);
        const bool byReturn = random_.chance(70);
        note(QStringLiteral("type \"%1\" into %2, then %3")
                 .arg(text, nameOf(box), byReturn ? QStringLiteral("Return") : QStringLiteral("leave it")));
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
        if (byReturn)
            QTest::keyClick(box, Qt::Key_Return);
        else
            box->clearFocus();  // editingFinished, as leaving the box sends it
    } else if (kind == 1) {
        const auto combos = controlsOnShow<QComboBox>();
        if (combos.empty())
            return note(QStringLiteral("no combo box"));
        QComboBox *combo = combos[size_t(random_.below(int(combos.size())))];
        const int key = random_.chance(50) ? Qt::Key_Down : Qt::Key_Up;
        note(QStringLiteral("%1 in %2").arg(key == Qt::Key_Down ? QStringLiteral("Down") : QStringLiteral("Up"),
                                             nameOf(combo)));
        QTest::keyClick(combo, Qt::Key(key));
    } else if (kind == 2) {
        const auto spins = controlsOnShow<QAbstractSpinBox>();
        if (spins.empty())
            return note(QStringLiteral("no spin box"));
        QAbstractSpinBox *spin = spins[size_t(random_.below(int(spins.size())))];
        if (random_.chance(60)) {
            const bool up = random_.chance(50);
            const int times = random_.between(1, 5);
            note(QStringLiteral("%1 x%2 in %3").arg(up ? QStringLiteral("Up") : QStringLiteral("Down")).arg(times).arg(nameOf(spin)));
            for (int i = 0; i < times; ++i)
                QTest::keyClick(spin, up ? Qt::Key_Up : Qt::Key_Down);
        } else {
            static const char *texts[] = {"0", "1", "5", "99999", "-3", "2.5", "x"};
            const QString text = QString::fromLatin1(texts[random_.below(int(std::size(texts)))]);
            note(QStringLiteral("type \"%1\" into %2, then Return").arg(text, nameOf(spin)));
            spin->setFocus(Qt::TabFocusReason);
            spin->selectAll();
            QTest::keyClicks(spin, text);
            QTest::keyClick(spin, Qt::Key_Return);
        }
    } else if (kind == 3) {
        const auto tabs = controlsOnShow<QTabWidget>();
        if (tabs.empty())
            return note(QStringLiteral("no tabs"));
        QTabWidget *tab = tabs[size_t(random_.below(int(tabs.size())))];
        const int index = random_.below(tab->count());
        note(QStringLiteral("tab %1 of %2").arg(index).arg(nameOf(tab)));
        tab->setCurrentIndex(index);
    } else {
        const auto boxes = controlsOnShow<QCheckBox>();
        if (boxes.empty())
            return note(QStringLiteral("no check box"));
        QCheckBox *box = boxes[size_t(random_.below(int(boxes.size())))];
        note(QStringLiteral("click %1").arg(nameOf(box)));
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
    }
}

// A right click's context menu event on a chart or a list; when a menu opens,
// one of its entries (or of a submenu) is chosen, or the menu is left.
void Exerciser::contextMenu()
{
    std::vector<QWidget *> targets;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->isVisible() && !qobject_cast<QMenu *>(top)) {
            for (QCustomPlot *plot : top->findChildren<QCustomPlot *>())
                if (plot->isVisible())
                    targets.push_back(plot);
            for (QAbstractItemView *view : top->findChildren<QAbstractItemView *>())
                if (view->isVisible())
                    targets.push_back(view->viewport());
        }
    if (targets.empty())
        return note(QStringLiteral("nothing to right-click"));
    QWidget *target = targets[size_t(random_.below(int(targets.size())))];
    const QPoint at(random_.below(std::max(1, target->width())), random_.below(std::max(1, target->height())));
    note(QStringLiteral("right-click %1 at (%2,%3)").arg(nameOf(target->parentWidget() ? target->parentWidget() : target))
             .arg(at.x())
             .arg(at.y()));
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &event);
    QCoreApplication::processEvents();
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    for (int depth = 0; menu && depth < 3; ++depth) {
        std::vector<QAction *> entries;
        for (QAction *entry : menu->actions())
            if (entry->isVisible() && !entry->isSeparator())
                entries.push_back(entry);
        if (entries.empty() || random_.chance(10)) {
            note(QStringLiteral("menu left"));
            menu->close();
            return;
        }
        QAction *entry = entries[size_t(random_.below(int(entries.size())))];
        note(QStringLiteral("menu entry \"%1\"%2").arg(entry->text(), entry->isEnabled() ? QString() : QStringLiteral(" (disabled)")));
        if (QMenu *sub = entry->menu()) {
            menu = sub;
            continue;
        }
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        entry->trigger();
        return;
    }
}

// Add New Item filled in as a user does it: an item picked on the left for
// each operand (or a number typed), an operator, a name, then "Do it !".
void Exerciser::newItem()
{
    QAction *entry = window_->action(kavra::Command::AddNewItem);
    if (!entry || !entry->isEnabled())
        return note(QStringLiteral("Add New Item is disabled"));
    entry->trigger();
    QWidget *add = window_->findChild<QWidget *>(QStringLiteral("frmKavra5"));
    auto *list = add ? add->findChild<QListWidget *>(QStringLiteral("lstKavra9251")) : nullptr;
    if (!list || !add->isVisible() || list->count() == 0)
        return note(QStringLiteral("no window"));
    const auto child = [&](const char *name) { return add->findChild<QWidget *>(QString::fromLatin1(name)); };
    const auto click = [](QWidget *w) {
        if (w)
            QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(6, w->height() / 2));
    };
    for (const char *operand : {"1", "2"}) {
        if (random_.chance(75)) {
            const int row = random_.below(list->count());
            list->scrollToItem(list->item(row));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                              list->visualItemRect(list->item(row)).center());
            note(QStringLiteral("operand %1: line %2").arg(QLatin1String(operand)).arg(row));
            click(child(operand[0] == '1' ? "cmdKavra9251" : "cmdKavra9252"));
        } else {
            static const char *numbers[] = {"2", "0", "-1.5", "1E3", "x"};
            const char *number = numbers[random_.below(int(std::size(numbers)))];
            note(QStringLiteral("operand %1: %2").arg(QLatin1String(operand), QLatin1String(number)));
            if (auto *box = qobject_cast<QLineEdit *>(child(operand[0] == '1' ? "txtKavra9251" : "txtKavra9252"))) {
                box->setFocus();
                box->selectAll();
                QTest::keyClick(box, Qt::Key_Backspace);
                QTest::keyClicks(box, QString::fromLatin1(number));
            }
        }
    }
    const int op = random_.below(4);
    note(QStringLiteral("operator %1").arg(op));
    click(add->findChild<QWidget *>(QStringLiteral("optKavra925(%1)").arg(op)));
    if (auto *name = qobject_cast<QLineEdit *>(child("txtKavra9253"))) {
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("New %1").arg(random_.below(100)));
    }
    note(QStringLiteral("Do it !"));
    if (auto *doIt = qobject_cast<QAbstractButton *>(child("cmdKavra9253")))
        doIt->click();
}
