// The main window's menu bar, with every entry's name, caption and state at start-up.

#include "app/MainWindow.h"

#include "ui/Edition.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace kavra {

QStringList dataMenuEntries()
{
    return {
        QStringLiteral("mnuCloseFile"), QStringLiteral("mnuPrintChart"), QStringLiteral("mnuPrintPreview"),
        QStringLiteral("mnuExportChart"), QStringLiteral("mnuRemoveZeroItems"), QStringLiteral("mnuSaveDataAs"),
        QStringLiteral("mnuAddNewItem"), QStringLiteral("mnuProperties"), QStringLiteral("mnuSetChartTitle"),
        QStringLiteral("mnuSetChartSubTitle"), QStringLiteral("mnuSetChartFooter"),
        QStringLiteral("mnuEditChartProperties"), QStringLiteral("mnuChartMultipleItems"),
        QStringLiteral("mnuSetPrimaryChartLineWidth"), QStringLiteral("mnuSetSecondaryChartLineWidth"),
        QStringLiteral("mnuToggleMovingAverage"), QStringLiteral("mnuSetSmoothingFactor"),
        QStringLiteral("mnuSmoothUnSmooth"), QStringLiteral("mnuSetMovingAveragePeriodValue"),
        QStringLiteral("mnuGenerateRatioCharts"), QStringLiteral("mnuAddRemoveCandleChart"),
        QStringLiteral("mnuSetSortOrder"), QStringLiteral("mnuRemoveSelectedItems"),
        QStringLiteral("mnuRemoveItemsNotSelected"), QStringLiteral("mnuRemoveItemsContainingString"),
        QStringLiteral("mnuRemoveItemsNotContainingString"), QStringLiteral("mnuRevertToPreviousItemList"),
        QStringLiteral("mnuSortItemsinAlphabeticalOrder"), QStringLiteral("mnuListItemsinOriginalOrder"),
        QStringLiteral("mnuCopyChart"), QStringLiteral("mnuCursors"), QStringLiteral("mnuSaveReport"),
        QStringLiteral("mnuFollowGrowingFiles"),
    };
}

QAction *MainWindow::addEntry(QMenu *menu, const char *name, const QString &caption, bool enabled)
{
    QAction *entry = menu->addAction(caption);
    entry->setObjectName(QString::fromLatin1(name));
    entry->setEnabled(enabled);
    actions_.insert(entry->objectName(), entry);
    return entry;
}

void MainWindow::setEntriesEnabled(const QStringList &names, bool enabled)
{
    for (const QString &name : names)
        if (QAction *entry = action(name))
            entry->setEnabled(enabled);
}

void MainWindow::createMenus()
{
    QMenuBar *bar = menuBar();
    const auto addMenu = [&](const char *name, const QString &caption) {
        QMenu *menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        actions_.insert(menu->objectName(), menu->menuAction());
        return menu;
    };

    QMenu *file = addMenu("mnuFile", QStringLiteral("File"));
    connect(addEntry(file, "mnuOpenFile", QStringLiteral("Open")), &QAction::triggered, this,
            &MainWindow::mnuOpenFile_Click);
    addEntry(file, "mnuPrintPreview", QStringLiteral("PrintPreview"), false);
    addEntry(file, "mnuPrintChart", QStringLiteral("PrintChart"), false);
    addEntry(file, "mnuExportChart", QStringLiteral("ExportChart"), false);
    if constexpr (!kClassicEdition)
        addEntry(file, "mnuCopyChart", QStringLiteral("Copy Chart"), false);
    connect(addEntry(file, "mnuSaveDataAs", QStringLiteral("Save as ..."), false), &QAction::triggered, this,
            &MainWindow::mnuSaveDataAs_Click);
    if constexpr (!kClassicEdition)
        addEntry(file, "mnuSaveReport", QStringLiteral("Save Report ..."), false);
    connect(addEntry(file, "mnuProperties", QStringLiteral("Properties"), false), &QAction::triggered, this,
            &MainWindow::mnuProperties_Click);
    if constexpr (!kClassicEdition)
        addEntry(file, "mnuFollowGrowingFiles", QStringLiteral("Follow Growing Files"), false)->setCheckable(true);
    connect(addEntry(file, "mnuCloseFile", QStringLiteral("Close"), false), &QAction::triggered, this,
            &MainWindow::mnuCloseFile_Click);
    connect(addEntry(file, "mnuExit", QStringLiteral("Exit")), &QAction::triggered, this, &MainWindow::mnuExit_Click);

    QMenu *options = addMenu("mnuOptions", QStringLiteral("O&ptions"));
    addEntry(options, "mnuAddNewItem", QStringLiteral("&Add New Item to List Box"), false);
    addEntry(options, "mnuChartMultipleItems", QStringLiteral("Chart &Multiple Items"), false);
    addEntry(options, "mnuCycleDualCharts", QStringLiteral("Cycle Dual Y or Dual Charts"), false);
    addEntry(options, "mnuEditChartProperties", QStringLiteral("Edit Chart Properties"), false);
    addEntry(options, "mnuToggleMovingAverage", QStringLiteral("Toggle Moving Average"), false);
    addEntry(options, "mnuGenerateRatioCharts", QStringLiteral("Generate Ratio Charts"), false);
    addEntry(options, "mnuSmoothUnSmooth", QStringLiteral("Smooth/UnSmooth"), false);
    addEntry(options, "mnuAddRemoveCandleChart", QStringLiteral("Add/Remove Candle Chart"), false);
    if constexpr (!kClassicEdition) {
        QMenu *sortOrder = options->addMenu(QStringLiteral("Set Sort Order"));
        sortOrder->setObjectName(QStringLiteral("mnuSetSortOrder"));
        sortOrder->menuAction()->setObjectName(QStringLiteral("mnuSetSortOrder"));
        sortOrder->menuAction()->setEnabled(false);
        actions_.insert(QStringLiteral("mnuSetSortOrder"), sortOrder->menuAction());
        addEntry(sortOrder, "mnuSetSortOrderAscending", QStringLiteral("Ascending"));
        addEntry(sortOrder, "mnuSetSortOrderDescending", QStringLiteral("Descending"));
    }

    if constexpr (!kClassicEdition)
        addEntry(options, "mnuSetFollowInterval", QStringLiteral("Set Follow Interval"));

    QMenu *chart = addMenu("mnuChartSettings", QStringLiteral("Cha&rt Settings"));
    addEntry(chart, "mnuSetChartTitle", QStringLiteral("&Set Chart Title"), false);
    addEntry(chart, "mnuSetChartSubTitle", QStringLiteral("Set Chart Sub-&Title"), false);
    addEntry(chart, "mnuSetChartFooter", QStringLiteral("Set Chart &Footer"), false);
    addEntry(chart, "mnuSetPrimaryChartLineWidth", QStringLiteral("Set Primary Chart Line &Width"), false);
    addEntry(chart, "mnuSetSecondaryChartLineWidth", QStringLiteral("Set Secondary Chart Line Width"), false);
    addEntry(chart, "mnuSetMovingAveragePeriodValue", QStringLiteral("Set Moving A&verage Period Value"), false);
    addEntry(chart, "mnuSetSmoothingFactor", QStringLiteral("Set Smoothing Factor"), false);
    if constexpr (!kClassicEdition) {
        chart->addSeparator();
        addEntry(chart, "mnuCursors", QStringLiteral("&Cursors"), false)->setCheckable(true);
        addEntry(chart, "mnuCursorReadout", QStringLiteral("Cursor &Readout"), false);
    }

    QMenu *list = addMenu("mnuModifyItemList", QStringLiteral("Modify Item List"));
    addEntry(list, "mnuRemoveZeroItems", QStringLiteral("Remove Items with Zero Values"), false);
    addEntry(list, "mnuRemoveSelectedItems", QStringLiteral("Remove Selected Item(s)"), false);
    addEntry(list, "mnuRemoveItemsNotSelected", QStringLiteral("Remove Item(s) NOT Selected"), false);
    addEntry(list, "mnuRemoveItemsContainingString", QStringLiteral("Remove Item(s) containing string"), false);
    addEntry(list, "mnuRemoveItemsNotContainingString", QStringLiteral("Remove Items(s) NOT containing string"), false);
    if constexpr (kClassicEdition) {
        addEntry(list, "mnuSortInMedianOrder", QStringLiteral("Sort in Ascending Median order"), false);
        addEntry(list, "mnuRevertToPreviousItemList", QStringLiteral("Revert to Previous List Box"), false);
    } else {
        addEntry(list, "mnuSortInMedianOrder", QStringLiteral("Sort in Median order"), false);
        addEntry(list, "mnuSortItemsinAlphabeticalOrder", QStringLiteral("Sort Items in Alphabetical Order"), false);
        addEntry(list, "mnuListItemsinOriginalOrder", QStringLiteral("List Items in Original Order"), false);
        addEntry(list, "mnuRevertToPreviousItemList", QStringLiteral("Revert to Previous Item List"), false);
        addEntry(list, "mnuRankItemsByChange", QStringLiteral("Rank Items by Change A..B"), false);
    }

    QMenu *help = addMenu("mnuHelp", QStringLiteral("&Help"));
    connect(addEntry(help, "mnuHelpAbout", QStringLiteral("&About Kavra")), &QAction::triggered, this,
            &MainWindow::mnuHelpAbout_Click);
    // Enabled at start-up when the release-notes file is there.
    connect(addEntry(help, "mnuViewReleaseNotes", QStringLiteral("&View KAVRA Release Notes"), false),
            &QAction::triggered, this, &MainWindow::mnuViewReleaseNotes_Click);
}

}  // namespace kavra
