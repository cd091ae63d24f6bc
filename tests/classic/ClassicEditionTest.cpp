// What the classic edition does differently; built against the classic
// libraries only.

#include "app/WindowFixture.h"

#include "chart/ChartCommands.h"
#include "data/Edition.h"
#include "data/LoaderTestSupport.h"
#include "items/ItemListView.h"

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

class ClassicLoading : public ::testing::Test, public LoaderFixture {};

}  // namespace

TEST_F(ClassicLoading, AValueThatBreaksTheSyntaxIsItsLeadingNumber)
{
    const LoadOutcome outcome =
        load("a.csv", "N,x\r\n06-DEC-2026\r\nSample Time,A,B,C,D\r\n"
                      "10:00:00,12abc,N/A,1.2.3,-45.0x\r\n10:01:00,.5Q,+7 and so,--3,1\r\n");
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 2, 1), 12);
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 3, 1), 0);
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 4, 1), 1.2);
    EXPECT_DOUBLE_EQ(data.Perf_Data(1, 5, 1), -45);
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 2, 1), 0.5);
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 3, 1), 7);
    EXPECT_DOUBLE_EQ(data.Perf_Data(2, 4, 1), 0);
}

TEST_F(ClassicLoading, ShortRecordsAreNotReported)
{
    ASSERT_TRUE(load("a.csv", "N,x\r\nd\r\nSample Time,A,B\r\n10:00:00,1\r\n10:01:00,2\r\n10:02:00,3\r\n").loaded);
    EXPECT_TRUE(diagnostics.empty());
    EXPECT_EQ(data.Perf_Data(1, 3, 1), 0);
}

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

    window->state().Sort_Order = 1;  // left over from nowhere: the classic sort is ascending all the same
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
    EXPECT_EQ(window->state().Smoothing_Factor, 80);
}
