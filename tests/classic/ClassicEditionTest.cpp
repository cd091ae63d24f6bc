// What the classic edition does differently; built against the classic
// libraries only.

#include "app/WindowFixture.h"

#include "app/ChartCommands.h"
#include "data/LoaderTestSupport.h"
#include "itemviews/ItemListView.h"
#include "support/MenuListing.h"
#include "ui/Edition.h"

#include <QHeaderView>

using namespace kavra;

static_assert(kClassicEdition, "these tests are for the classic edition");

namespace {

// Records the prompts the classic commands ask.
class PromptRecorder : public FakeInteraction {
public:
    QStringList prompts;
    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultAnswer) override
    {
        prompts << prompt;
        return FakeInteraction::input(parent, prompt, title, defaultAnswer);
    }
};

class ClassicWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<MainWindow>(ui);
        window->Form_Load(QString());
        ui.fileAnswers.push_back(QString::fromStdString(dir.write("day.csv", kGoodFile)));
        window->mnuOpenFile_Click();
    }

    PromptRecorder ui;
    TempDir dir;
    std::unique_ptr<MainWindow> window;
};

}  // namespace

TEST_F(ClassicWindowTest, TheItemListIsAPlainListOfNames)
{
    auto *view = window->findChild<ItemListView *>(QStringLiteral("lvwKavra"));
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->isHeaderHidden());
    for (int column = 1; column < 4; ++column)
        EXPECT_TRUE(view->isColumnHidden(column)) << column;
    EXPECT_FALSE(view->isColumnHidden(0));
}

TEST_F(ClassicWindowTest, OnlyTheAscendingMedianSortIsOffered)
{
    EXPECT_EQ(window->action(QStringLiteral("mnuSortInMedianOrder"))->text(),
              QStringLiteral("Sort in Ascending Median order"));
    for (const char *gone : {"mnuSortItemsinAlphabeticalOrder", "mnuListItemsinOriginalOrder", "mnuSetSortOrder",
                             "mnuSetSortOrderAscending", "mnuSetSortOrderDescending"})
        EXPECT_EQ(window->action(QString::fromLatin1(gone)), nullptr) << gone;
    EXPECT_EQ(window->action(QStringLiteral("mnuRevertToPreviousItemList"))->text(),
              QStringLiteral("Revert to Previous List Box"));

    window->state().list.Sort_Order = 1;  // left over from nowhere: the classic sort is ascending all the same
    window->action(QStringLiteral("mnuSortInMedianOrder"))->trigger();
    std::vector<double> medians;
    for (const ItemRow &row : window->items().current().rows)
        medians.push_back(row.median);
    EXPECT_TRUE(std::is_sorted(medians.begin(), medians.end()));
    EXPECT_EQ(window->items().index(), 1);
}

TEST_F(ClassicWindowTest, TheSmoothingFactorGoesUpToAHundred)
{
    ui.inputAnswers = {QStringLiteral("500"), QStringLiteral("80")};
    window->action(QStringLiteral("mnuSetSmoothingFactor"))->trigger();
    ASSERT_EQ(ui.prompts.size(), 2);
    EXPECT_EQ(ui.prompts[0], QStringLiteral("Please enter Smoothing Factor (1-100) :"));
    EXPECT_EQ(window->state().chart.smoothingFactor(), 80);
}

TEST_F(ClassicWindowTest, OpenReadsByTheEarlierEditionsRules)
{
    ui.messages.clear();
    ui.fileAnswers.push_back(QString::fromStdString(
        dir.write("odd.csv", "N,x\r\nd\r\nSample Time,A,B\r\n10:00:00,12abc,1\r\n10:01:00,3\r\n10:02:00,4,5\r\n")));
    window->mnuOpenFile_Click();
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text.toStdString();
    EXPECT_EQ(window->data().Files_Open, 2);
}

// The classic menu bar as designed, with each entry's state with one file, with
// two files and after Close.
TEST_F(ClassicWindowTest, TheMenusAreThoseOfTheEarlierEdition)
{
    MenuListing menus(window->menuBar());
    menus.record();
    ui.fileAnswers.push_back(QString::fromStdString(dir.write("day2.csv", kGoodFile)));
    window->mnuOpenFile_Click();
    ASSERT_EQ(window->data().Files_Open, 2);
    menus.record();
    window->mnuCloseFile_Click();
    menus.record();
    const QStringList design = {
        "mnuFile \"File\" +++",
        "  mnuOpenFile \"Open\" +++",
        "  mnuPrintPreview \"PrintPreview\" ++.",
        "  mnuPrintChart \"PrintChart\" ++.",
        "  mnuExportChart \"ExportChart\" ++.",
        "  mnuSaveDataAs \"Save as ...\" ++.",
        "  mnuProperties \"Properties\" ++.",
        "  mnuCloseFile \"Close\" ++.",
        "  mnuExit \"Exit\" +++",
        "mnuOptions \"O&ptions\" +++",
        "  mnuAddNewItem \"&Add New Item to List Box\" ++.",
        "  mnuChartMultipleItems \"Chart &Multiple Items\" ++.",
        "  mnuCycleDualCharts \"Cycle Dual Y or Dual Charts\" .+.",
        "  mnuEditChartProperties \"Edit Chart Properties\" ++.",
        "  mnuToggleMovingAverage \"Toggle Moving Average\" ++.",
        "  mnuGenerateRatioCharts \"Generate Ratio Charts\" .+.",
        "  mnuSmoothUnSmooth \"Smooth/UnSmooth\" +..",
        "  mnuAddRemoveCandleChart \"Add/Remove Candle Chart\" +..",
        "mnuChartSettings \"Cha&rt Settings\" +++",
        "  mnuSetChartTitle \"&Set Chart Title\" ++.",
        "  mnuSetChartSubTitle \"Set Chart Sub-&Title\" ++.",
        "  mnuSetChartFooter \"Set Chart &Footer\" ++.",
        "  mnuSetPrimaryChartLineWidth \"Set Primary Chart Line &Width\" ++.",
        "  mnuSetSecondaryChartLineWidth \"Set Secondary Chart Line Width\" ++.",
        "  mnuSetMovingAveragePeriodValue \"Set Moving A&verage Period Value\" ++.",
        "  mnuSetSmoothingFactor \"Set Smoothing Factor\" ++.",
        "mnuModifyItemList \"Modify Item List\" +++",
        "  mnuRemoveZeroItems \"Remove Items with Zero Values\" ++.",
        "  mnuRemoveSelectedItems \"Remove Selected Item(s)\" ++.",
        "  mnuRemoveItemsNotSelected \"Remove Item(s) NOT Selected\" ++.",
        "  mnuRemoveItemsContainingString \"Remove Item(s) containing string\" ++.",
        "  mnuRemoveItemsNotContainingString \"Remove Items(s) NOT containing string\" ++.",
        "  mnuSortInMedianOrder \"Sort in Ascending Median order\" +..",
        "  mnuRevertToPreviousItemList \"Revert to Previous List Box\" ++.",
        "mnuHelp \"&Help\" +++",
        "  mnuHelpAbout \"&About Kavra\" +++",
        "  mnuViewReleaseNotes \"&View KAVRA Release Notes\" +++",
    };
    EXPECT_EQ(menus.lines().join('\n').toStdString(), design.join('\n').toStdString());
}
