#include "app/WindowFixture.h"

#include "itemviews/ItemListView.h"

#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

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
    window->state().chart.Primary_Line_Width = 5;
    window->state().chart.Derived_Curve = kavra::DerivedCurve::MovingAverage;
    window->state().chart.Dual_Charts = kavra::DualCharts;
    window->mnuCloseFile_Click();
    EXPECT_EQ(window->items().index(), 0);
    EXPECT_TRUE(window->items().current().rows.empty());
    EXPECT_EQ(window->data().Files_Open, 0);
    EXPECT_EQ(window->state().chart.Primary_Line_Width, 5);
    EXPECT_FALSE(window->state().chart.shows(kavra::DerivedCurve::MovingAverage));
    EXPECT_EQ(window->state().chart.Dual_Charts, 0);
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
TEST_F(WindowTest, AShownWindowWithAFileLoadedEndsCleanly)
{
    window->show();
    open(dir.write("day.csv", kGoodFile));
    ASSERT_EQ(window->data().Files_Open, 1);
    window.reset();
    SUCCEED();
}
