#include "app/WindowFixture.h"

#include "itemviews/ItemListView.h"
#include "support/MenuListing.h"

#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

using kavra::MainWindow;

TEST(Caption, NamesTheProgramAndItsVersion)
{
    EXPECT_EQ(MainWindow::windowCaption(QStringLiteral("/usr/bin/kavra"), 1, 6, 9),
              QStringLiteral("Vesk Kavra (KAVRA   V1.6-9)"));
}

TEST_F(WindowTest, StartsWithNoFileAndTheDesignedMenus)
{
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("Vesk Kavra (")));
    EXPECT_EQ(window->statusText(), kNoFileText);
    EXPECT_TRUE(enabled("mnuOpenFile"));
    EXPECT_TRUE(enabled("mnuExit"));
    EXPECT_TRUE(enabled("mnuHelpAbout"));
    for (const QString &name : kavra::dataMenuEntries())
        EXPECT_FALSE(window->action(name)->isEnabled()) << name.toStdString();
    EXPECT_FALSE(enabled("mnuCycleDualCharts"));
    EXPECT_FALSE(enabled("mnuSortInMedianOrder"));
    EXPECT_FALSE(child<kavra::ItemListView>("lvwKavra")->isVisibleTo(window.get()));
    EXPECT_FALSE(child<QWidget>("tchKavra")->isVisibleTo(window.get()));
    EXPECT_FALSE(child<QPushButton>("cmdCorrelate")->isVisibleTo(window.get()));
    EXPECT_FALSE(child<QGroupBox>("fraKavra1")->isVisibleTo(window.get()));
    EXPECT_EQ(window->state().list.Search_String, QStringLiteral("MpSync"));
    EXPECT_EQ(window->state().Export_Filter_Index, 3);
    EXPECT_EQ(window->data().Max_Files, 16);
    EXPECT_EQ(window->items().index(), 0);
    EXPECT_EQ(ui.fileDialogs, 0);
}

TEST_F(WindowTest, MenuCaptionsAreThoseOfTheDesign)
{
    QStringList menus;
    for (QAction *menu : window->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{"File", "O&ptions", "Cha&rt Settings", "Modify Item List", "&Help"}));
    EXPECT_EQ(window->action("mnuSaveDataAs")->text(), QStringLiteral("Save as ..."));
    EXPECT_EQ(window->action("mnuRemoveItemsNotContainingString")->text(),
              QStringLiteral("Remove Items(s) NOT containing string"));
    EXPECT_EQ(window->action("mnuViewReleaseNotes")->text(), QStringLiteral("&View KAVRA Release Notes"));
}

TEST_F(WindowTest, TheCommandLineOpensItsFileWithoutADialog)
{
    const std::string path = dir.write("day.csv", kGoodFile);
    start(QString::fromStdString(path));
    EXPECT_EQ(ui.fileDialogs, 0);
    EXPECT_EQ(window->data().Files_Open, 1);
    EXPECT_EQ(window->statusText(), QString::fromStdString(path));
}

TEST_F(WindowTest, AQuotedCommandLineIsTakenWithItsQuotesAndFails)
{
    const std::string path = dir.write("day.csv", kGoodFile);
    start(QString::fromStdString("\"" + path + "\""));
    EXPECT_EQ(window->data().Files_Open, 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(lastMessage().endsWith(QStringLiteral(" generated while opening file")));
    EXPECT_EQ(window->statusText(), kNoFileText);
}

TEST_F(WindowTest, CloseReturnsToTheNoFileStateAndKeepsOptions)
{
    open(dir.write("day.csv", kGoodFile));
    window->items().copyItemList();
    window->items().copyItemList();
    window->state().chart.setPrimaryWidth(5);
    window->state().chart.show(kavra::DerivedCurve::MovingAverage);
    window->state().chart.useDualLayout(kavra::DualCharts);
    window->mnuCloseFile_Click();
    EXPECT_EQ(window->items().index(), 0);
    EXPECT_TRUE(window->items().current().rows.empty());
    EXPECT_EQ(window->data().Files_Open, 0);
    EXPECT_EQ(window->state().chart.primaryWidth(), 5);
    EXPECT_FALSE(window->state().chart.shows(kavra::DerivedCurve::MovingAverage));
    EXPECT_EQ(window->state().chart.dualLayout(), 0);
    EXPECT_EQ(window->statusText(), kNoFileText);
    EXPECT_TRUE(enabled("mnuOpenFile"));
    EXPECT_FALSE(enabled("mnuCloseFile"));
    for (const QString &name : kavra::dataMenuEntries())
        EXPECT_FALSE(window->action(name)->isEnabled()) << name.toStdString();
    EXPECT_FALSE(child<QWidget>("tchKavra")->isVisibleTo(window.get()));
    EXPECT_FALSE(child<kavra::ItemListView>("lvwKavra")->isVisibleTo(window.get()));
}

TEST_F(WindowTest, CloseWithNoFileChangesNothingElse)
{
    window->mnuCloseFile_Click();
    EXPECT_EQ(window->statusText(), kNoFileText);
    EXPECT_TRUE(enabled("mnuOpenFile"));
    open(dir.write("day.csv", kGoodFile));
    EXPECT_EQ(window->data().Files_Open, 1);
}

// Ending the program with the window on screen takes the window down after its
// item list and data are gone; nothing may read them then (the sanitizer build
// reports such a read).
// The same with the chart editor open and a value typed into an axis limit but
// not yet taken: taking the editor down ends the edit, which sets the chart's range.
TEST_F(WindowTest, AShownWindowWithAFileLoadedEndsCleanly)
{
    for (const bool editing : {false, true}) {
        SCOPED_TRACE(editing ? "chart editor open, a limit being typed" : "no other window");
        start(QString());
        window->show();
        open(dir.write("day.csv", kGoodFile));
        ASSERT_EQ(window->data().Files_Open, 1);
        if (editing) {
            window->action("mnuEditChartProperties")->trigger();
            auto *limit = window->findChild<QDoubleSpinBox *>(QStringLiteral("spnAxisMin0"));
            ASSERT_NE(limit, nullptr);
            auto *tabs = limit->window()->findChild<QTabWidget *>();
            for (int page = 0; page < tabs->count(); ++page)
                if (tabs->widget(page)->isAncestorOf(limit))
                    tabs->setCurrentIndex(page);
            limit->findChild<QLineEdit *>()->setText(QStringLiteral("7"));  // typed, not yet taken
        }
        window.reset();
    }
}

// The whole menu bar as designed: captions, order, separators, check items, and
// each entry's state with no file, with a file loaded, with the cursors shown and
// after Close.
TEST_F(WindowTest, TheMenusAreThoseOfTheDesignAndFollowTheFiles)
{
    MenuListing menus(window->menuBar());
    menus.record();
    open(dir.write("day.csv", kGoodFile));
    menus.record();
    window->action("mnuCursors")->trigger();
    menus.record();
    window->mnuCloseFile_Click();
    menus.record();
    const QStringList design = {
        "mnuFile \"File\" ++++",
        "  mnuOpenFile \"Open\" ++++",
        "  mnuPrintPreview \"PrintPreview\" .++.",
        "  mnuPrintChart \"PrintChart\" .++.",
        "  mnuExportChart \"ExportChart\" .++.",
        "  mnuCopyChart \"Copy Chart\" .++.",
        "  mnuSaveDataAs \"Save as ...\" .++.",
        "  mnuSaveReport \"Save Report ...\" .++.",
        "  mnuProperties \"Properties\" .++.",
        "  mnuFollowGrowingFiles \"Follow Growing Files\" check .++.",
        "  mnuCloseFile \"Close\" .++.",
        "  mnuExit \"Exit\" ++++",
        "mnuOptions \"O&ptions\" ++++",
        "  mnuAddNewItem \"&Add New Item to List Box\" .++.",
        "  mnuChartMultipleItems \"Chart &Multiple Items\" .++.",
        "  mnuCycleDualCharts \"Cycle Dual Y or Dual Charts\" ....",
        "  mnuEditChartProperties \"Edit Chart Properties\" .++.",
        "  mnuToggleMovingAverage \"Toggle Moving Average\" .++.",
        "  mnuGenerateRatioCharts \"Generate Ratio Charts\" ....",
        "  mnuSmoothUnSmooth \"Smooth/UnSmooth\" .++.",
        "  mnuAddRemoveCandleChart \"Add/Remove Candle Chart\" .++.",
        "  mnuSetSortOrder \"Set Sort Order\" .++.",
        "    mnuSetSortOrderAscending \"Ascending\" ++++",
        "    mnuSetSortOrderDescending \"Descending\" ++++",
        "  mnuSetFollowInterval \"Set Follow Interval\" ++++",
        "mnuChartSettings \"Cha&rt Settings\" ++++",
        "  mnuSetChartTitle \"&Set Chart Title\" .++.",
        "  mnuSetChartSubTitle \"Set Chart Sub-&Title\" .++.",
        "  mnuSetChartFooter \"Set Chart &Footer\" .++.",
        "  mnuSetPrimaryChartLineWidth \"Set Primary Chart Line &Width\" .++.",
        "  mnuSetSecondaryChartLineWidth \"Set Secondary Chart Line Width\" .++.",
        "  mnuSetMovingAveragePeriodValue \"Set Moving A&verage Period Value\" .++.",
        "  mnuSetSmoothingFactor \"Set Smoothing Factor\" .++.",
        "  -",
        "  mnuCursors \"&Cursors\" check .+#.",
        "  mnuCursorReadout \"Cursor &Readout\" ..+.",
        "mnuModifyItemList \"Modify Item List\" ++++",
        "  mnuRemoveZeroItems \"Remove Items with Zero Values\" .++.",
        "  mnuRemoveSelectedItems \"Remove Selected Item(s)\" .++.",
        "  mnuRemoveItemsNotSelected \"Remove Item(s) NOT Selected\" .++.",
        "  mnuRemoveItemsContainingString \"Remove Item(s) containing string\" .++.",
        "  mnuRemoveItemsNotContainingString \"Remove Items(s) NOT containing string\" .++.",
        "  mnuSortInMedianOrder \"Sort in Median order\" .++.",
        "  mnuSortItemsinAlphabeticalOrder \"Sort Items in Alphabetical Order\" .++.",
        "  mnuListItemsinOriginalOrder \"List Items in Original Order\" .++.",
        "  mnuRevertToPreviousItemList \"Revert to Previous Item List\" .++.",
        "  mnuRankItemsByChange \"Rank Items by Change A..B\" ..+.",
        "mnuHelp \"&Help\" ++++",
        "  mnuHelpAbout \"&About Kavra\" ++++",
        "  mnuViewReleaseNotes \"&View KAVRA Release Notes\" ++++",
    };
    EXPECT_EQ(menus.lines().join('\n').toStdString(), design.join('\n').toStdString());
}
