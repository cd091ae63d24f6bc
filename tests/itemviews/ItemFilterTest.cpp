// The filter box above the item list, typed into and clicked around as a user
// would: it narrows the rows shown and nothing else.

#include "app/WindowFixture.h"

#include "chart/ChartView.h"
#include "itemviews/ItemListView.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// Listed in name order: CPU Busy, Disk Busy DSK05, disk rate, Mem.Used [MB],
// MP Sync Time (selected after loading), Net*Rate.
const std::string kItemsFile = "NODE1,x\r\n06-DEC-2026\r\n"
                               "Sample Time,CPU Busy,Disk Busy DSK05,disk rate,Mem.Used [MB],Net*Rate,MP Sync Time\r\n"
                               "10:00:00,1,2,3,4,5,6\r\n10:01:00,2,3,4,5,6,7\r\n10:02:00,3,1,5,6,7,8\r\n";

class ItemFilterTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window->show();
        open(dir.write("items.csv", kItemsFile));
        ASSERT_EQ(window->data().Files_Open, 1) << lastMessage().toStdString();
    }

    QLineEdit *box() const { return child<QLineEdit>("txtKavraFilter"); }
    kavra::ItemListView *list() const { return child<kavra::ItemListView>("lvwKavra"); }
    QString count() const { return child<QLabel>("lblKavraFilter")->text(); }

    void key(QWidget *to, int key, const QString &text = {}, Qt::KeyboardModifiers held = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, held, text);
        QApplication::sendEvent(to, &press);
        QKeyEvent release(QEvent::KeyRelease, key, held, text);
        QApplication::sendEvent(to, &release);
    }
    // Replaces the filter, a key at a time.
    void type(const QString &text)
    {
        box()->selectAll();
        key(box(), Qt::Key_Delete);
        for (const QChar c : text)
            key(box(), c.toUpper().unicode(), QString(c));
    }
    void click(const std::string &name, Qt::KeyboardModifiers held = Qt::NoModifier)
    {
        const auto &rows = window->items().current().rows;
        int row = 0;
        while (row < int(rows.size()) && rows[size_t(row)].text != name)
            ++row;
        ASSERT_LT(row, int(rows.size())) << name;
        QCoreApplication::processEvents();  // the list laid out for the rows shown
        const QRect rect = list()->visualRect(list()->model()->index(row, 0));
        ASSERT_TRUE(rect.isValid()) << name << " is not shown";
        const QPoint at(rect.left() + 10, rect.center().y());  // the column is wider than the view
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, QPointF(at), list()->viewport()->mapToGlobal(QPointF(at)), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, held);
            QApplication::sendEvent(list()->viewport(), &event);
        }
    }

    Names shown() const
    {
        Names names;
        const auto &rows = window->items().current().rows;
        for (size_t r = 0; r < rows.size(); ++r)
            if (!list()->isRowHidden(int(r), {}))
                names.push_back(rows[r].text);
        return names;
    }
    Names selected() const
    {
        Names names;
        for (const auto &row : window->items().current().rows)
            if (row.selected)
                names.push_back(row.text);
        return names;
    }
    // The items of the chart's series, without the legend's file number.
    Names charted() const
    {
        Names names;
        for (int s = 0; s < window->chart().seriesCount(); ++s)
            names.push_back(window->chart().seriesStyle(s).name.remove(QStringLiteral("(# 1)")).toStdString());
        return names;
    }
};

const Names kAll = {"CPU Busy", "Disk Busy DSK05", "disk rate", "Mem.Used [MB]", "MP Sync Time", "Net*Rate"};

TEST_F(ItemFilterTest, ShowsTheItemsHoldingTheTextLiterallyWhateverTheCase)
{
    ASSERT_EQ(shown(), kAll);
    EXPECT_EQ(count(), QStringLiteral("6 items"));
    const struct {
        const char *text;
        Names shown;
    } cases[] = {
        {"disk", {"Disk Busy DSK05", "disk rate"}},
        {"DISK", {"Disk Busy DSK05", "disk rate"}},
        {"busy", {"CPU Busy", "Disk Busy DSK05"}},
        {".", {"Mem.Used [MB]"}},
        {".*", {}},  // as a pattern it would show every item
        {"[", {"Mem.Used [MB]"}},
        {"*r", {"Net*Rate"}},
        {"k r", {"disk rate"}},
        {"zz", {}},
        {"", kAll},
    };
    for (const auto &c : cases) {
        type(QString::fromLatin1(c.text));
        EXPECT_EQ(shown(), c.shown) << '"' << c.text << '"';
        const QString expected = *c.text ? QStringLiteral("%1 of 6 items").arg(c.shown.size()) : QStringLiteral("6 items");
        EXPECT_EQ(count(), expected) << '"' << c.text << '"';
    }
    EXPECT_EQ(window->items().index(), 0) << "filtering pushes no revision";
    EXPECT_EQ(window->items().current().rows.size(), 6u);
}

TEST_F(ItemFilterTest, AHiddenSelectedItemStaysSelectedAndCharted)
{
    ASSERT_EQ(selected(), Names{"MP Sync Time"});
    type(QStringLiteral("disk"));
    EXPECT_EQ(selected(), Names{"MP Sync Time"});
    EXPECT_EQ(charted(), Names{"MP Sync Time"});

    click("disk rate", Qt::ControlModifier);  // adds to the selection
    EXPECT_EQ(selected(), (Names{"disk rate", "MP Sync Time"}));
    EXPECT_EQ(charted(), (Names{"disk rate", "MP Sync Time"}));

    // Commands on the current list take the hidden rows as they are.
    window->action(QStringLiteral("mnuRemoveSelectedItems"))->trigger();
    EXPECT_EQ(window->items().current().rows.size(), 4u);
    EXPECT_EQ(shown(), Names{"Disk Busy DSK05"}) << "the filter holds for the new revision";
    EXPECT_EQ(count(), QStringLiteral("1 of 4 items"));
    EXPECT_EQ(selected(), Names{"CPU Busy"}) << "the first row, shown or not";
    EXPECT_EQ(charted(), Names{"CPU Busy"});

    window->action(QStringLiteral("mnuRevertToPreviousItemList"))->trigger();
    EXPECT_EQ(shown(), (Names{"Disk Busy DSK05", "disk rate"}));
    EXPECT_EQ(count(), QStringLiteral("2 of 6 items"));
    EXPECT_EQ(selected(), (Names{"disk rate", "MP Sync Time"}));

    // A plain click chooses one item, as in a list without a filter.
    click("Disk Busy DSK05");
    EXPECT_EQ(selected(), Names{"Disk Busy DSK05"});
    EXPECT_EQ(charted(), Names{"Disk Busy DSK05"});
}

TEST_F(ItemFilterTest, EscapeClearsReturnGoesToTheListCloseEmptiesIt)
{
    type(QStringLiteral("busy"));
    key(box(), Qt::Key_Escape);
    EXPECT_TRUE(box()->text().isEmpty());
    EXPECT_EQ(shown(), kAll);
    EXPECT_EQ(count(), QStringLiteral("6 items"));
    box()->setFocus();
    key(box(), Qt::Key_Escape);  // nothing left to clear
    EXPECT_EQ(window->focusWidget(), list());
    type(QStringLiteral("rate"));
    key(box(), Qt::Key_Return);
    EXPECT_EQ(window->focusWidget(), list());
    EXPECT_EQ(box()->text(), QStringLiteral("rate"));

    window->action(QStringLiteral("mnuCloseFile"))->trigger();
    EXPECT_FALSE(box()->isVisible());
    open(dir.write("again.csv", kItemsFile));
    EXPECT_TRUE(box()->isVisible());
    EXPECT_TRUE(box()->text().isEmpty());
    EXPECT_EQ(shown(), kAll);
}

// Copy and undo in the box edit its text: the same keys on the list close the
// files and revert the list.
TEST_F(ItemFilterTest, CopyAndUndoInTheBoxEditItsText)
{
    window->action(QStringLiteral("mnuRemoveSelectedItems"))->trigger();
    ASSERT_EQ(window->items().index(), 1);
    box()->setFocus();
    type(QStringLiteral("busy"));
    box()->selectAll();
    key(box(), Qt::Key_C, {}, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("busy"));
    EXPECT_EQ(window->data().Files_Open, 1) << "Ctrl+C closed the files";
    key(box(), Qt::Key_Z, {}, Qt::ControlModifier);
    EXPECT_EQ(window->items().index(), 1) << "Ctrl+Z reverted the list";
    EXPECT_NE(box()->text(), QStringLiteral("busy")) << "Ctrl+Z undid no typing";
    key(box(), Qt::Key_X, {}, Qt::ControlModifier);  // cut, not the end of the program
    EXPECT_EQ(window->data().Files_Open, 1);

    list()->setFocus();
    key(list(), Qt::Key_Z, {}, Qt::ControlModifier);
    EXPECT_EQ(window->items().index(), 0);
    key(list(), Qt::Key_C, {}, Qt::ControlModifier);
    EXPECT_EQ(window->data().Files_Open, 0);
}

}  // namespace
