#include "app/FollowCommands.h"
#include "app/WindowFixture.h"
#include "chart/ChartView.h"
#include "support/PerfFiles.h"

#include <QCoreApplication>

#include <cstdio>
#include <fstream>

using kavra::ChartAxis;

namespace {

void append(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

class FollowWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        path = dir.write("live.csv", perfFile(itemNames(2), 5, [](int item, int row) { return item * 100 + row; }));
        open(path);
        follow = window->followCommands();
        window->action(QStringLiteral("mnuFollowGrowingFiles"))->trigger();
    }
    kavra::ChartView &chart() const { return window->chart(); }
    const kavra::DisplayedRows &rows() const { return window->state().rows; }
    // A timer event of following and the drawing it leaves for the next event.
    void tick()
    {
        follow->tick();
        while (follow->pending())
            QCoreApplication::processEvents();
    }

    std::string path;
    kavra::FollowCommands *follow = nullptr;
};

// Rows appended in pieces join the data set at the tick after they are whole;
// a view that showed the last row moves on with the same width.
TEST_F(FollowWindowTest, NewRowsAreChartedAndTheViewMovesOn)
{
    ASSERT_TRUE(follow->on());
    EXPECT_TRUE(window->action(QStringLiteral("mnuFollowGrowingFiles"))->isChecked());
    append(path, "06-DEC-2026 10:05:00,1");
    tick();
    EXPECT_EQ(window->data().Row_Count, 5);
    append(path, "06,206\r\n");
    tick();
    ASSERT_EQ(window->data().Row_Count, 6);
    EXPECT_EQ(window->data().Perf_Data(6, 3, 1), 206);
    EXPECT_EQ(rows().Zoom_First_Row, 2);
    EXPECT_EQ(rows().Zoom_Last_Row, 6);
    EXPECT_NEAR(chart().axisRange(ChartAxis::Bottom).maximum, window->data().sampleTime(6), 1e-6);
    EXPECT_NEAR(chart().axisRange(ChartAxis::Bottom).minimum, window->data().sampleTime(2), 1e-6);
    EXPECT_EQ(window->statusText(), QStringLiteral("Following 1 files \u2014 last row 10:05:00"));
    EXPECT_TRUE(ui.messages.empty());
}

// A view the user moved away from the end stays where it is.
TEST_F(FollowWindowTest, AViewBeforeTheEndStays)
{
    window->state().rows = {2, 3};
    window->lvwKavra_Click();
    const double from = chart().axisRange(ChartAxis::Bottom).minimum, to = chart().axisRange(ChartAxis::Bottom).maximum;
    append(path, "06-DEC-2026 10:05:00,106,206\r\n");
    tick();
    EXPECT_EQ(window->data().Row_Count, 6);
    EXPECT_EQ(rows().Zoom_First_Row, 2);
    EXPECT_EQ(rows().Zoom_Last_Row, 3);
    EXPECT_DOUBLE_EQ(chart().axisRange(ChartAxis::Bottom).minimum, from);
    EXPECT_DOUBLE_EQ(chart().axisRange(ChartAxis::Bottom).maximum, to);
}

// A file that goes away stops following with a message naming it; the rows
// stay. Close and Open stop following too.
TEST_F(FollowWindowTest, AVanishedFileStopsFollowingAndCloseEndsIt)
{
    std::remove(path.c_str());
    tick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(lastMessage().contains(QString::fromStdString(path)));
    EXPECT_FALSE(follow->on());
    EXPECT_FALSE(window->action(QStringLiteral("mnuFollowGrowingFiles"))->isChecked());
    EXPECT_EQ(window->data().Row_Count, 5);

    open(dir.write("other.csv", perfFile(itemNames(2), 5, [](int, int) { return 1; })));
    window->action(QStringLiteral("mnuFollowGrowingFiles"))->trigger();
    EXPECT_TRUE(follow->on());
    ui.fileAnswers.push_back(QString());  // Open, then Cancel
    window->mnuOpenFile_Click();
    EXPECT_FALSE(follow->on());
    window->action(QStringLiteral("mnuFollowGrowingFiles"))->trigger();
    window->mnuCloseFile_Click();
    EXPECT_FALSE(follow->on());
    EXPECT_FALSE(window->action(QStringLiteral("mnuFollowGrowingFiles"))->isEnabled());
}

// The interval is a whole number of seconds from 1 to 3600; anything else is
// said so and asked again, Cancel keeps it.
TEST_F(FollowWindowTest, TheIntervalIsAskedUntilItIsInRange)
{
    EXPECT_EQ(follow->intervalSeconds(), 5);
    ui.inputAnswers = {QStringLiteral("0"), QStringLiteral("soon"), QStringLiteral("3601"), QStringLiteral("12")};
    window->action(QStringLiteral("mnuSetFollowInterval"))->trigger();
    EXPECT_EQ(follow->intervalSeconds(), 12);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[1].text,
              QStringLiteral("The follow interval is a number of seconds from 1 to 3600, not \"soon\"."));
    window->action(QStringLiteral("mnuSetFollowInterval"))->trigger();  // Cancel
    EXPECT_EQ(follow->intervalSeconds(), 12);
}

}  // namespace
