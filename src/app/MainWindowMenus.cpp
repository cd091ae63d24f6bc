// The main window's menu bar, made from the command table: every entry with its
// name, caption, place and handler, and its state, worked out again whenever what
// it depends on changes.

#include "app/MainWindow.h"

#include "app/CommandTable.h"
#include "ui/Edition.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace kavra {

QStringList dataMenuEntries()
{
    // A load enables these and Close disables them; the chart drawn after the load
    // may disable the derived curves again. The dual layouts are only offered by a
    // chart drawn.
    QStringList names;
    for (const CommandEntry &entry : commandTable())
        switch (entry.enabledWhen) {
        case EnabledWhen::FileOpen:
        case EnabledWhen::ChartMovingAverage:
        case EnabledWhen::ChartSmoothing:
        case EnabledWhen::ChartCandles:
        case EnabledWhen::ChartRatios: names << QString::fromLatin1(entry.objectName); break;
        default: break;
        }
    return names;
}

QAction *MainWindow::action(Command command) const
{
    return actions_.value(QString::fromLatin1(commandEntry(command).objectName));
}

void MainWindow::createMenus()
{
    const auto named = [this](QAction *entry, const char *name) {
        entry->setObjectName(QString::fromLatin1(name));
        actions_.insert(entry->objectName(), entry);
    };
    for (const MenuEntry &design : menuTable()) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf8(design.caption));
        menu->setObjectName(QString::fromLatin1(design.objectName));
        named(menu->menuAction(), design.objectName);
        menus_[size_t(design.id)] = menu;
    }
    for (const CommandEntry &design : commandTable()) {
        if (!hasEntry(design, kEdition))
            continue;
        QMenu *menu = menus_[size_t(design.menu)];
        if (design.separatorBefore)
            menu->addSeparator();
        const QString caption = QString::fromUtf8(captionIn(design, kEdition));
        if (!design.handler) {
            QMenu *sub = menu->addMenu(caption);
            sub->setObjectName(QString::fromLatin1(design.objectName));
            named(sub->menuAction(), design.objectName);
            menus_[size_t(design.opens)] = sub;
            continue;
        }
        QAction *entry = menu->addAction(caption);
        named(entry, design.objectName);
        entry->setCheckable(design.check != Check::None);
        connect(entry, &QAction::triggered, this,
                [this, handler = design.handler](bool checked) { handler(*this, checked); });
    }
    updateEntries();
}

void MainWindow::updateEntries()
{
    const EnablingFacts facts{data_.Files_Open, data_.Max_Files, state_.cursors.on, releaseNotesFound_, chartAllows_};
    for (const CommandEntry &design : commandTable())
        if (QAction *entry = action(design.id)) {  // the classic edition has fewer
            entry->setEnabled(commandEnabled(design.enabledWhen, facts));
            if (design.check == Check::CursorsShown)
                entry->setChecked(facts.cursorsShown);
        }
}

}  // namespace kavra
