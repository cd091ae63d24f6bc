// The commands of the Modify Item List menu, the sort order and "Add New Item to
// List Box", driven through the main window's menu entries as a user would.

#include "app/PromptedWindowTest.h"

#include "app/AppState.h"
#include "chart/ChartView.h"
#include "support/ChartAccess.h"
#include "dialogs/AddItemWindow.h"
#include "itemviews/ItemListView.h"
#include "support/InputEvents.h"
#include "support/PerfFiles.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

static void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

using kavra::TitleLine;

namespace {

using Names = std::vector<std::string>;


// Records the widgets that were shown while it watched.
class ShowSpy : public QObject {
public:
    ShowSpy() { qApp->installEventFilter(this); }
    ~ShowSpy() override { qApp->removeEventFilter(this); }
    QStringList shown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            shown << watched->objectName();
        return false;
    }
};

const QString kSortPrompt = QStringLiteral("Please enter Sort Key Start Position (1-10) :");
const QString kSortTitle = QStringLiteral("Set Sort Key Start Position");
const QString kNoRelevantItems = QStringLiteral("No relevant items found ... ");

}  // namespace

class ItemCommandsTest : public PromptedWindowTest {
protected:
    kavra::AppState &state() { return window->state(); }
    kavra::ItemList &items() { return window->items(); }
    kavra::ItemRevision &current() { return window->items().current(); }
    kavra::ItemListView *list() const { return child<kavra::ItemListView>("lvwKavra"); }
    int listIndex() { return window->items().index(); }

    void trigger(const char *entry)
    {
        QAction *action = window->action(QString::fromLatin1(entry));
        ASSERT_NE(action, nullptr) << entry;
        ASSERT_TRUE(action->isEnabled()) << entry;
        action->trigger();
    }
    void answer(const QString &text) { ui.inputAnswers.push_back(text); }
    void cancel() { ui.inputAnswers.push_back(QString()); }
    QStringList defaults() const
    {
        QStringList texts;
        for (const Question &q : asker.questions)
            texts << q.defaultAnswer;
        return texts;
    }

    void openNamed(const Names &names, int rows, const std::function<double(int, int)> &value = [](int i, int r) {
        return i * 10.0 + r;
    })
    {
        open(dir.write("items" + std::to_string(++files_) + ".csv", perfFile(names, rows, value)));
        ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    }

    Names texts() { return textsOf(current()); }
    static Names textsOf(const kavra::ItemRevision &revision)
    {
        Names out;
        for (const auto &row : revision.rows)
            out.push_back(row.text);
        return out;
    }
    // The texts of one column as the list view shows them.
    QStringList shownColumn(int column) const
    {
        QStringList out;
        const QAbstractItemModel *model = list()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, column).data().toString();
        return out;
    }
    std::vector<int> selectedRows()
    {
        std::vector<int> rows;
        const auto &all = current().rows;
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].selected)
                rows.push_back(int(i));
        return rows;
    }
    std::vector<int> shownSelection() const
    {
        std::vector<int> rows;
        for (const QModelIndex &index : list()->selectionModel()->selectedRows())
            rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    // Selects exactly these rows (0-based) in the list view, as the user's clicks would.
    void selectRows(const std::vector<int> &rows)
    {
        kavra::ItemListView *view = list();
        view->clearSelection();
        for (int row : rows)
            view->selectionModel()->select(view->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        ASSERT_EQ(selectedRows(), rows);
    }

    // frmKavra5 and its controls.
    QDialog *addWindow() const { return window->findChild<QDialog *>(QStringLiteral("frmKavra5")); }
    template <typename T> T *addControl(const char *name) const
    {
        QDialog *dialog = addWindow();
        return dialog ? dialog->findChild<T *>(QString::fromLatin1(name)) : nullptr;
    }
    QListWidget *sources() const { return addControl<QListWidget>("lstKavra9251"); }
    QLineEdit *operand1() const { return addControl<QLineEdit>("txtKavra9251"); }
    QLineEdit *operand2() const { return addControl<QLineEdit>("txtKavra9252"); }
    QLineEdit *newName() const { return addControl<QLineEdit>("txtKavra9253"); }
    void click(const char *name) { addControl<QAbstractButton>(name)->click(); }
    void pickSource(int entry, const char *button)
    {
        sources()->setCurrentRow(entry);
        click(button);
    }
    int entryOf(const QString &text) const
    {
        const auto found = sources()->findItems(text, Qt::MatchExactly);
        return found.size() == 1 ? sources()->row(found.front()) : -1;
    }
    // Opens frmKavra5 and makes an item: operand 1 an item, operand 2 an item or a number.
    void addItem(const QString &item1, const QString &item2OrNumber, int op, const QString &name)
    {
        trigger("mnuAddNewItem");
        ASSERT_NE(addWindow(), nullptr);
        ASSERT_GE(entryOf(item1), 0) << item1.toStdString();
        pickSource(entryOf(item1), "cmdKavra9251");
        if (entryOf(item2OrNumber) >= 0)
            pickSource(entryOf(item2OrNumber), "cmdKavra9252");
        else
            operand2()->setText(item2OrNumber);
        click(QStringLiteral("optKavra925(%1)").arg(op).toLatin1().constData());
        newName()->setText(name);
        click("cmdKavra9253");
    }
    std::vector<double> values(int column)
    {
        std::vector<double> out;
        for (int r = 1; r <= window->data().Row_Count; ++r)
            out.push_back(window->data().Perf_Data(r, column, 1));
        return out;
    }
    const kavra::ItemRow *rowNamed(const std::string &text)
    {
        for (const auto &row : current().rows)
            if (row.text == text)
                return &row;
        return nullptr;
    }

    int files_ = 0;
};

// ---- Alphabetical sort ------------------------------------------------------------

TEST_F(ItemCommandsTest, AlphabeticalSortAsksForTheKeyStartAndSortsByTheRestOfTheName)
{
    openNamed({"abcX", "zzzA", "mmmB"}, 3);
    ASSERT_EQ(texts(), (Names{"abcX", "mmmB", "zzzA"}));
    ASSERT_EQ(selectedRows(), std::vector<int>{0});
    armRedrawProbe();
    answer(QStringLiteral("3"));  // the keys X, A and B
    trigger("mnuSortItemsinAlphabeticalOrder");
    ASSERT_EQ(asker.questions.size(), 1u);
    EXPECT_EQ(asker.questions[0].prompt, kSortPrompt);
    EXPECT_EQ(asker.questions[0].title, kSortTitle);
    EXPECT_EQ(asker.questions[0].defaultAnswer, QStringLiteral("1"));
    EXPECT_EQ(state().list.Sort_Key_Start, 3);
    EXPECT_EQ(texts(), (Names{"zzzA", "mmmB", "abcX"}));
    EXPECT_EQ(shownColumn(0), (QStringList{"zzzA", "mmmB", "abcX"}));
    EXPECT_EQ(shownColumn(1), (QStringList{"A", "B", "X"}));
    // In place: no revision, the selection and the chart stay.
    EXPECT_EQ(listIndex(), 0);
    EXPECT_EQ(selectedRows(), std::vector<int>{2});
    EXPECT_EQ(shownSelection(), std::vector<int>{2});
    EXPECT_FALSE(redrawnSinceProbe());
}

TEST_F(ItemCommandsTest, AlphabeticalSortFromPositionOneDropsTheFirstCharacter)
{
    openNamed({"Cache Hit Ratio", "Batch Jobs Active", "Active users"}, 3);
    ASSERT_EQ(texts(), (Names{"Active users", "Batch Jobs Active", "Cache Hit Ratio"}));
    answer(QStringLiteral("1"));
    trigger("mnuSortItemsinAlphabeticalOrder");
    EXPECT_EQ(shownColumn(0), (QStringList{"Cache Hit Ratio", "Batch Jobs Active", "Active users"}));
    EXPECT_EQ(shownColumn(1), (QStringList{"ache Hit Ratio", "atch Jobs Active", "ctive users"}));
}

TEST_F(ItemCommandsTest, AStartOutsideOneToTenAsksAgainWithThatNumberAsDefault)
{
    openNamed({"abzX", "zzaA"}, 3);  // from position 3 the keys are X and A
    for (const char *text : {"0", "11", "2.6"})
        answer(QString::fromLatin1(text));
    trigger("mnuSortItemsinAlphabeticalOrder");
    EXPECT_EQ(defaults(), (QStringList{"1", "0", "11"}));
    for (const Question &q : asker.questions) {
        EXPECT_EQ(q.prompt, kSortPrompt);
        EXPECT_EQ(q.title, kSortTitle);
    }
    EXPECT_EQ(state().list.Sort_Key_Start, 3);
    EXPECT_EQ(texts(), (Names{"zzaA", "abzX"}));

    // Cancel keeps a valid stored value and sorts with it.
    asker.questions.clear();
    cancel();
    trigger("mnuSortItemsinAlphabeticalOrder");
    EXPECT_EQ(defaults(), QStringList{"3"});
    EXPECT_EQ(state().list.Sort_Key_Start, 3);

    // Cancel after an invalid number keeps that number, so the question comes back.
    asker.questions.clear();
    answer(QStringLiteral("-2"));
    cancel();
    answer(QStringLiteral("1"));
    trigger("mnuSortItemsinAlphabeticalOrder");
    EXPECT_EQ(defaults(), (QStringList{"3", "-2", "-2"}));
    EXPECT_EQ(state().list.Sort_Key_Start, 1);
    EXPECT_EQ(texts(), (Names{"abzX", "zzaA"}));

    // Halves go to the even neighbour.
    for (const auto &[text, stored] : {std::pair{"2.5", 2}, std::pair{"3.5", 4}, std::pair{" 9.4 ", 9}}) {
        answer(QString::fromLatin1(text));
        trigger("mnuSortItemsinAlphabeticalOrder");
        EXPECT_EQ(state().list.Sort_Key_Start, stored) << text;
    }
}

TEST_F(ItemCommandsTest, AnswersBeyondAnyRangeOrNotNumbersAskAgain)
{
    openNamed({"abcX", "zzzA"}, 3);
    for (const char *text : {"99999999999", "abc", "", "65539", "-65535", "7"})
        answer(QString::fromLatin1(text));
    trigger("mnuSortItemsinAlphabeticalOrder");
    EXPECT_EQ(asker.questions.size(), 6u);
    EXPECT_EQ(state().list.Sort_Key_Start, 7);
    EXPECT_TRUE(ui.inputAnswers.empty());
}

// ---- Sort order and original order --------------------------------------------------

TEST_F(ItemCommandsTest, AscendingAndDescendingReorderTheCurrentListAtOnce)
{
    openNamed({"Gamma", "alpha", "Beta"}, 3);
    ASSERT_EQ(texts(), (Names{"alpha", "Beta", "Gamma"}));
    selectRows({1});
    armRedrawProbe();
    trigger("mnuSetSortOrderDescending");
    EXPECT_EQ(state().list.Sort_Order, 1);
    EXPECT_EQ(texts(), (Names{"Gamma", "Beta", "alpha"}));
    EXPECT_EQ(shownColumn(0), (QStringList{"Gamma", "Beta", "alpha"}));
    EXPECT_EQ(selectedRows(), std::vector<int>{1});
    EXPECT_FALSE(redrawnSinceProbe());

    // The next sort commands use the order.
    trigger("mnuListItemsinOriginalOrder");
    EXPECT_EQ(texts(), (Names{"Beta", "alpha", "Gamma"}));
    EXPECT_EQ(current().rows[0].subItems[2], "000004");
    EXPECT_EQ(selectedRows(), std::vector<int>{0});
    EXPECT_EQ(shownSelection(), std::vector<int>{0});

    trigger("mnuSetSortOrderAscending");
    EXPECT_EQ(state().list.Sort_Order, 0);
    EXPECT_EQ(texts(), (Names{"Gamma", "alpha", "Beta"}));
    EXPECT_EQ(listIndex(), 0);
    EXPECT_FALSE(redrawnSinceProbe());
    EXPECT_TRUE(asker.questions.empty());
}

TEST_F(ItemCommandsTest, OnAPrunedCopyTheOrderWaitsForTheNextSort)
{
    openNamed({"Gamma", "alpha", "Beta"}, 3);
    trigger("mnuRemoveZeroItems");
    ASSERT_EQ(listIndex(), 1);
    trigger("mnuSetSortOrderDescending");
    EXPECT_EQ(state().list.Sort_Order, 1);
    EXPECT_EQ(texts(), (Names{"alpha", "Beta", "Gamma"}));
    trigger("mnuListItemsinOriginalOrder");
    EXPECT_EQ(texts(), (Names{"Beta", "alpha", "Gamma"}));
    // The revision below keeps its own order setting.
    trigger("mnuRevertToPreviousItemList");
    EXPECT_EQ(texts(), (Names{"alpha", "Beta", "Gamma"}));
}

// ---- Median sort --------------------------------------------------------------------

class ItemCommandsMedianTest : public ItemCommandsTest {
protected:
    // Medians over all four rows: Low 1, High 250000000, Neg -5, Mid 1234.5;
    // over rows 3 and 4: Neg -25, Mid 1617.5.
    void openMedianItems()
    {
        openNamed({"Low", "High", "Neg", "Mid"}, 4, [](int i, int r) {
            const double mid[] = {1000, 1234, 1235, 2000};
            switch (i) {
            case 1: return 1.0;
            case 2: return 250000000.0;
            case 3: return r == 4 ? -45.0 : -5.0;
            default: return mid[r - 1];
            }
        });
        ASSERT_EQ(texts(), (Names{"High", "Low", "Mid", "Neg"}));
    }
    const Names sortedTexts = {"(-00000005.00)Neg", "(00000001.00)Low", "(00001234.50)Mid", "(250000000.00)High"};
};

TEST_F(ItemCommandsMedianTest, PushesOneRevisionSortedByMedianAndRedrawsWithNothingSelected)
{
    openMedianItems();
    selectRows({2});
    const Names before = texts();
    armRedrawProbe();
    trigger("mnuSortInMedianOrder");
    EXPECT_EQ(listIndex(), 1);
    EXPECT_EQ(texts(), sortedTexts);
    EXPECT_EQ(shownColumn(0), (QStringList{sortedTexts[0].c_str(), sortedTexts[1].c_str(), sortedTexts[2].c_str(),
                                            sortedTexts[3].c_str()}));
    EXPECT_EQ(shownColumn(2), (QStringList{"-00000005.00", "00000001.00", "00001234.50", "250000000.00"}));
    EXPECT_EQ(shownColumn(3), (QStringList{"000004", "000002", "000005", "000003"}));
    EXPECT_TRUE(selectedRows().empty());
    EXPECT_TRUE(shownSelection().empty());
    EXPECT_TRUE(redrawnSinceProbe());
    EXPECT_EQ(window->chart().seriesCount(), 0);
    EXPECT_TRUE(state().list.Median_Sorted);
    // The list below is as it was.
    EXPECT_EQ(textsOf(items().revision(0)), before);
    EXPECT_TRUE(items().revision(0).rows[2].selected);
}

TEST_F(ItemCommandsMedianTest, OnlyTheDisplayedRowsCount)
{
    openMedianItems();
    state().rows.Zoom_First_Row = 3;
    state().rows.Zoom_Last_Row = 4;
    trigger("mnuSortInMedianOrder");
    const Names expected = {"(-00000025.00)Neg", "(00000001.00)Low", "(00001617.50)Mid", "(250000000.00)High"};
    EXPECT_EQ(texts(), expected);
}

TEST_F(ItemCommandsMedianTest, ASecondRunDoesNothingUntilARevert)
{
    openMedianItems();
    trigger("mnuSortInMedianOrder");
    ASSERT_EQ(texts(), sortedTexts);
    armRedrawProbe();
    trigger("mnuSortInMedianOrder");
    EXPECT_EQ(listIndex(), 1);
    EXPECT_EQ(texts(), sortedTexts);
    EXPECT_FALSE(redrawnSinceProbe());

    trigger("mnuRevertToPreviousItemList");
    EXPECT_EQ(listIndex(), 0);
    EXPECT_FALSE(state().list.Median_Sorted);
    EXPECT_EQ(texts(), (Names{"High", "Low", "Mid", "Neg"}));
    trigger("mnuSortInMedianOrder");
    EXPECT_EQ(listIndex(), 1);
    EXPECT_EQ(texts(), sortedTexts);
}

TEST_F(ItemCommandsMedianTest, DescendingShowsTheLargestMedianFirstAtOnce)
{
    openMedianItems();
    trigger("mnuSortInMedianOrder");
    trigger("mnuSetSortOrderDescending");
    const Names descending(sortedTexts.rbegin(), sortedTexts.rend());
    EXPECT_EQ(texts(), descending);
    EXPECT_EQ(shownColumn(0).front(), QStringLiteral("(250000000.00)High"));
    EXPECT_EQ(listIndex(), 1);

    // A median sort made while descending starts with the largest median.
    trigger("mnuRevertToPreviousItemList");
    trigger("mnuSortInMedianOrder");
    EXPECT_EQ(texts(), descending);
}

TEST_F(ItemCommandsMedianTest, SortRemovalAndTwoRevertsReturnToTheListBeforeTheSort)
{
    openMedianItems();
    selectRows({1, 3});
    const Names before = texts();
    trigger("mnuSortInMedianOrder");
    selectRows({0});
    trigger("mnuRemoveSelectedItems");
    ASSERT_EQ(listIndex(), 2);
    ASSERT_EQ(texts(), (Names{sortedTexts[1], sortedTexts[2], sortedTexts[3]}));

    trigger("mnuRevertToPreviousItemList");
    EXPECT_EQ(listIndex(), 1);
    EXPECT_EQ(texts(), sortedTexts);
    EXPECT_EQ(selectedRows(), std::vector<int>{0});
    EXPECT_FALSE(state().list.Median_Sorted);
    trigger("mnuRevertToPreviousItemList");
    EXPECT_EQ(listIndex(), 0);
    EXPECT_EQ(texts(), before);
    EXPECT_EQ(selectedRows(), (std::vector<int>{1, 3}));
    EXPECT_EQ(shownSelection(), (std::vector<int>{1, 3}));
    EXPECT_FALSE(state().list.Median_Sorted);

    trigger("mnuSortInMedianOrder");
    EXPECT_EQ(listIndex(), 1);
    EXPECT_EQ(texts(), sortedTexts);
}

TEST_F(ItemCommandsMedianTest, AnyRevertLetsTheMedianSortRunAgainOnThePrefixedTexts)
{
    openMedianItems();
    trigger("mnuSortInMedianOrder");
    trigger("mnuRemoveItemsNotSelected");
    ASSERT_TRUE(texts().empty());
    trigger("mnuRevertToPreviousItemList");
    ASSERT_EQ(listIndex(), 1);
    EXPECT_FALSE(state().list.Median_Sorted);
    trigger("mnuSortInMedianOrder");
    EXPECT_EQ(listIndex(), 2);
    ASSERT_EQ(texts().size(), 4u);
    EXPECT_EQ(texts()[2], "(00001234.50)(00001234.50)Mid");
}

TEST_F(ItemCommandsMedianTest, StringRemovalsSearchTheTextWithItsMedianPrefix)
{
    openMedianItems();
    trigger("mnuSortInMedianOrder");
    answer(QStringLiteral("1234.50)m"));
    trigger("mnuRemoveItemsNotContainingString");
    EXPECT_EQ(texts(), Names{"(00001234.50)Mid"});
    trigger("mnuRevertToPreviousItemList");
    answer(QStringLiteral("(0000"));
    trigger("mnuRemoveItemsContainingString");
    EXPECT_EQ(texts(), (Names{"(-00000005.00)Neg", "(250000000.00)High"}));
}

// ---- Removing -----------------------------------------------------------------------

TEST_F(ItemCommandsTest, EachRemovalPushesOneRevisionAndRedrawsAlsoWhenItRemovesNothing)
{
    openNamed(itemNames(4), 5);
    const Names all = texts();
    struct Step {
        const char *entry;
        std::vector<int> selection;
        const char *answer;
    };
    const Step steps[] = {
        {"mnuRemoveZeroItems", {2}, nullptr},
        {"mnuRemoveSelectedItems", {}, nullptr},
        {"mnuRemoveItemsNotSelected", {0, 1, 2, 3}, nullptr},
        {"mnuRemoveItemsContainingString", {1, 2}, "no such item"},
        {"mnuRemoveItemsNotContainingString", {3}, "ITEM 0"},
    };
    int expectedIndex = 0;
    for (const Step &step : steps) {
        SCOPED_TRACE(step.entry);
        selectRows(step.selection);
        if (step.answer)
            answer(QString::fromLatin1(step.answer));
        armRedrawProbe();
        trigger(step.entry);
        EXPECT_EQ(listIndex(), ++expectedIndex);
        EXPECT_EQ(texts(), all);
        EXPECT_TRUE(redrawnSinceProbe());
        EXPECT_TRUE(ui.messages.empty());
    }
    // A string removal deselects every row and selects the first one.
    EXPECT_EQ(selectedRows(), std::vector<int>{0});
    for (int i = expectedIndex; i > 0; --i)
        trigger("mnuRevertToPreviousItemList");
    EXPECT_EQ(listIndex(), 0);
    EXPECT_EQ(texts(), all);
}

TEST_F(ItemCommandsTest, RemoveSelectedRemovesTheSelectionAndSelectsTheFirstRow)
{
    openNamed(itemNames(5), 4);
    selectRows({});
    trigger("mnuRemoveSelectedItems");
    EXPECT_EQ(listIndex(), 1);
    EXPECT_EQ(texts(), itemNames(5));
    EXPECT_EQ(selectedRows(), std::vector<int>{0});
    EXPECT_EQ(shownSelection(), std::vector<int>{0});
    EXPECT_EQ(window->chart().seriesStyle(0).name, QStringLiteral("Item 01(# 1)"));
    trigger("mnuRevertToPreviousItemList");
    EXPECT_EQ(listIndex(), 0);
    EXPECT_EQ(texts(), itemNames(5));
    EXPECT_TRUE(selectedRows().empty());

    selectRows({1, 2, 4});
    trigger("mnuRemoveSelectedItems");
    EXPECT_EQ(texts(), (Names{"Item 01", "Item 04"}));
    EXPECT_EQ(selectedRows(), std::vector<int>{0});
    EXPECT_EQ(window->chart().seriesCount(), 1);
    EXPECT_EQ(window->chart().seriesStyle(0).name, QStringLiteral("Item 01(# 1)"));

    // Emptying the list leaves nothing selected and nothing charted.
    selectRows({0, 1});
    trigger("mnuRemoveSelectedItems");
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(window->chart().seriesCount(), 0);
    EXPECT_EQ(listIndex(), 2);
    // The removals still work on the empty list.
    trigger("mnuRemoveSelectedItems");
    trigger("mnuRemoveZeroItems");
    EXPECT_EQ(listIndex(), 4);
    EXPECT_TRUE(texts().empty());
}

TEST_F(ItemCommandsTest, RemoveNotSelectedKeepsExactlyTheSelectedRowsStillSelected)
{
    openNamed(itemNames(6), 4);
    selectRows({1, 3, 4});
    trigger("mnuRemoveItemsNotSelected");
    EXPECT_EQ(listIndex(), 1);
    EXPECT_EQ(texts(), (Names{"Item 02", "Item 04", "Item 05"}));
    EXPECT_EQ(selectedRows(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(shownSelection(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(window->chart().seriesCount(), 3);

    trigger("mnuRevertToPreviousItemList");
    EXPECT_EQ(texts(), itemNames(6));
    EXPECT_EQ(selectedRows(), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(shownSelection(), (std::vector<int>{1, 3, 4}));
}

TEST_F(ItemCommandsTest, StringRemovalsIgnoreLetterCaseAndRememberTheSearchString)
{
    open(dir.write("good.csv", kGoodFile));
    ASSERT_EQ(texts(), (Names{"CPU Busy", "Disk Rate", "MP Sync Time"}));
    answer(QStringLiteral("cpu"));
    trigger("mnuRemoveItemsContainingString");
    ASSERT_EQ(asker.questions.size(), 1u);
    EXPECT_EQ(asker.questions[0].prompt, QStringLiteral("Please enter search string"));
    EXPECT_EQ(asker.questions[0].title, QStringLiteral("Remove Items containing string"));
    EXPECT_EQ(asker.questions[0].defaultAnswer, QStringLiteral("MpSync"));
    EXPECT_EQ(state().list.Search_String, QStringLiteral("cpu"));
    EXPECT_EQ(texts(), (Names{"Disk Rate", "MP Sync Time"}));
    EXPECT_EQ(selectedRows(), std::vector<int>{0});
    EXPECT_EQ(listIndex(), 1);

    answer(QStringLiteral("sYnC"));
    trigger("mnuRemoveItemsNotContainingString");
    ASSERT_EQ(asker.questions.size(), 2u);
    EXPECT_EQ(asker.questions[1].title, QStringLiteral("Remove Items NOT containing string"));
    EXPECT_EQ(asker.questions[1].defaultAnswer, QStringLiteral("cpu"));
    EXPECT_EQ(texts(), Names{"MP Sync Time"});
    EXPECT_EQ(selectedRows(), std::vector<int>{0});
    EXPECT_EQ(listIndex(), 2);
    EXPECT_EQ(window->chart().seriesStyle(0).name, QStringLiteral("MP Sync Time(# 1)"));
}

TEST_F(ItemCommandsTest, SearchStringsAreMatchedLiterallyAndWithoutLetterCase)
{
    const Names names = {"a.b rate", "axb rate", "(x) count", "x count", "[queue", "queue",
                         "star*",    "stars",    "Mäuse",     "Maus",    "back\\slash"};
    openNamed(names, 3);
    const Names all = texts();
    const std::vector<std::pair<QString, Names>> cases = {
        {QStringLiteral("a.b"), {"a.b rate"}},   {QStringLiteral("(X)"), {"(x) count"}},
        {QStringLiteral("["), {"[queue"}},       {QStringLiteral("*"), {"star*"}},
        {QStringLiteral("Ä"), {"Mäuse"}},        {QStringLiteral("MÄUSE"), {"Mäuse"}},
        {QStringLiteral("\\S"), {"back\\slash"}}, {QStringLiteral("^x"), {}},
        {QStringLiteral("$"), {}},               {QStringLiteral("A.B RATE"), {"a.b rate"}},
    };
    for (const auto &[search, removed] : cases) {
        SCOPED_TRACE(search.toStdString());
        answer(search);
        trigger("mnuRemoveItemsContainingString");
        const Names now = texts();
        Names gone;
        for (const std::string &name : all)
            if (std::find(now.begin(), now.end(), name) == now.end())
                gone.push_back(name);
        std::sort(gone.begin(), gone.end());
        EXPECT_EQ(gone, removed);
        EXPECT_EQ(listIndex(), 1);
        trigger("mnuRevertToPreviousItemList");
        ASSERT_EQ(texts(), all);
    }
    answer(QStringLiteral("(x)"));
    trigger("mnuRemoveItemsNotContainingString");
    EXPECT_EQ(texts(), Names{"(x) count"});
}

TEST_F(ItemCommandsTest, QuotesInASearchStringAreMatchedLiterally)
{
    // No item name holds a quote (the loader deletes them, new items may not have
    // them), so a quoted search string matches nothing rather than its inner text.
    openNamed({"Base", "Other"}, 3);
    for (const QString &search : {QStringLiteral("\"Base\""), QStringLiteral("'Other'"), QStringLiteral("'")}) {
        SCOPED_TRACE(search.toStdString());
        answer(search);
        trigger("mnuRemoveItemsContainingString");
        EXPECT_EQ(texts(), (Names{"Base", "Other"}));
        trigger("mnuRevertToPreviousItemList");
    }
}

TEST_F(ItemCommandsTest, AStringRemovalThatWouldEmptyTheListReportsAndReverts)
{
    openNamed(itemNames(5), 3);
    trigger("mnuRemoveZeroItems");
    ASSERT_EQ(listIndex(), 1);
    selectRows({1, 2});
    for (const auto &[entry, search] : {std::pair{"mnuRemoveItemsNotContainingString", "zzz"},
                                        std::pair{"mnuRemoveItemsContainingString", "iTeM"}}) {
        SCOPED_TRACE(entry);
        ui.messages.clear();
        answer(QString::fromLatin1(search));
        trigger(entry);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, kNoRelevantItems);
        EXPECT_EQ(listIndex(), 1);
        EXPECT_EQ(texts(), itemNames(5));
        EXPECT_EQ(selectedRows(), (std::vector<int>{1, 2}));
        EXPECT_EQ(shownColumn(0).size(), 5);
        EXPECT_EQ(state().list.Search_String, QString::fromLatin1(search));
    }
}

TEST_F(ItemCommandsTest, AnEmptyAnswerOrCancelChangesNothingButTheSearchString)
{
    openNamed(itemNames(4), 3);
    selectRows({1, 3});
    armRedrawProbe();
    answer(QStringLiteral(""));
    trigger("mnuRemoveItemsContainingString");
    EXPECT_EQ(state().list.Search_String, QString());
    EXPECT_EQ(listIndex(), 0);
    EXPECT_EQ(texts(), itemNames(4));
    EXPECT_EQ(selectedRows(), (std::vector<int>{1, 3}));
    EXPECT_FALSE(redrawnSinceProbe());

    state().list.Search_String = QStringLiteral("Item 02");
    cancel();
    trigger("mnuRemoveItemsNotContainingString");
    EXPECT_EQ(asker.questions.back().defaultAnswer, QStringLiteral("Item 02"));
    EXPECT_EQ(state().list.Search_String, QString());
    EXPECT_EQ(listIndex(), 0);
    EXPECT_EQ(texts(), itemNames(4));
    EXPECT_EQ(selectedRows(), (std::vector<int>{1, 3}));
    EXPECT_FALSE(redrawnSinceProbe());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ItemCommandsTest, RevertAtTheFirstRevisionDoesNothing)
{
    openNamed(itemNames(3), 3);
    selectRows({2});
    armRedrawProbe();
    trigger("mnuRevertToPreviousItemList");
    EXPECT_EQ(listIndex(), 0);
    EXPECT_EQ(texts(), itemNames(3));
    EXPECT_EQ(selectedRows(), std::vector<int>{2});
    EXPECT_FALSE(redrawnSinceProbe());
}

TEST_F(ItemCommandsTest, RemoveZeroItemsReportsTheRemovedItemsInItsWindow)
{
    openNamed({"Zero A", "Blip", "Busy", "Zero B"}, 4, [](int i, int r) {
        switch (i) {
        case 2: return r == 4 ? 0.5 : 0.0;
        case 3: return double(r);
        default: return 0.0;
        }
    });
    ASSERT_EQ(texts(), (Names{"Blip", "Busy", "Zero A", "Zero B"}));
    // The zoomed range does not matter: every row is tested.
    state().rows.Zoom_First_Row = 1;
    state().rows.Zoom_Last_Row = 2;
    selectRows({1});
    armRedrawProbe();
    {
        ShowSpy spy;
        trigger("mnuRemoveZeroItems");
        EXPECT_TRUE(spy.shown.contains(QStringLiteral("frmKavra4"))) << spy.shown.join(',').toStdString();
    }
    EXPECT_EQ(listIndex(), 1);
    EXPECT_EQ(texts(), (Names{"Blip", "Busy"}));
    EXPECT_EQ(selectedRows(), std::vector<int>{0});
    EXPECT_TRUE(redrawnSinceProbe());
    EXPECT_EQ(window->chart().seriesStyle(0).name, QStringLiteral("Blip(# 1)"));

    auto *report = window->findChild<QDialog *>(QStringLiteral("frmKavra4"));
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->windowTitle(), QStringLiteral("Remove Items with Zero Data"));
    EXPECT_FALSE(report->isVisible());
    const auto removedList = [&] {
        QStringList out;
        auto *box = report->findChild<QListWidget *>(QStringLiteral("lstKavra9241"));
        for (int i = 0; box && i < box->count(); ++i)
            out << box->item(i)->text();
        return out;
    };
    EXPECT_EQ(removedList(), (QStringList{"Zero A", "Zero B"}));
    auto *heading = report->findChild<QLabel *>(QStringLiteral("lblKavra9241"));
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text(), QStringLiteral("The following items have been removed : "));
    auto *progress = report->findChild<QProgressBar *>(QStringLiteral("pbrKavra9241"));
    auto *current = report->findChild<QLabel *>(QStringLiteral("lblKavra9242"));
    ASSERT_NE(progress, nullptr);
    ASSERT_NE(current, nullptr);
    EXPECT_TRUE(progress->isHidden());
    EXPECT_TRUE(current->isHidden());

    // A second run lists only what it removes itself.
    trigger("mnuRevertToPreviousItemList");
    ASSERT_EQ(texts().size(), 4u);
    trigger("mnuRemoveZeroItems");
    EXPECT_EQ(removedList(), (QStringList{"Zero A", "Zero B"}));
    trigger("mnuRemoveZeroItems");
    EXPECT_TRUE(removedList().isEmpty());
    EXPECT_EQ(listIndex(), 2);
    EXPECT_EQ(texts(), (Names{"Blip", "Busy"}));
}

TEST_F(ItemCommandsTest, AFullRevisionStackRefusesThePushWithAMessage)
{
    openNamed(itemNames(3), 3);
    while (items().copyItemList()) {
    }
    list()->showRevision(&current());
    const int top = listIndex();
    ASSERT_EQ(top, kavra::ItemList::kMaxIndex);
    selectRows({0});
    const Names before = texts();
    answer(QStringLiteral("Item 01"));
    for (const char *entry : {"mnuRemoveSelectedItems", "mnuRemoveItemsNotSelected", "mnuRemoveZeroItems",
                              "mnuRemoveItemsContainingString", "mnuSortInMedianOrder"}) {
        SCOPED_TRACE(entry);
        ui.messages.clear();
        trigger(entry);
        EXPECT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(listIndex(), top);
        EXPECT_EQ(texts(), before);
        EXPECT_EQ(selectedRows(), std::vector<int>{0});
    }
    EXPECT_FALSE(state().list.Median_Sorted);
}

// ---- Derived items ------------------------------------------------------------------

class ItemCommandsAddTest : public ItemCommandsTest {
protected:
    // Bytes column 2, Zeros column 3.
    void openAddItems()
    {
        openNamed({"Bytes", "Zeros"}, 4, [](int i, int r) {
            const double bytes[] = {1500, 2500, 800, -3000};
            const double zeros[] = {2, 0, 4, 0};
            return i == 1 ? bytes[r - 1] : zeros[r - 1];
        });
        ASSERT_EQ(window->data().Column_Count, 3);
    }
};

TEST_F(ItemCommandsAddTest, AnItemDividedByANumberBecomesANewRowAtTheTopOfTheSortedList)
{
    openAddItems();
    trigger("mnuAddNewItem");
    QDialog *dialog = addWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Add New Item to List Box"));
    ASSERT_EQ(sources()->count(), 2);
    EXPECT_EQ(sources()->item(0)->text(), QStringLiteral("Bytes"));
    EXPECT_EQ(sources()->item(1)->text(), QStringLiteral("Zeros"));
    EXPECT_EQ(sources()->item(0)->data(Qt::UserRole).toInt(), 2);
    EXPECT_EQ(sources()->item(1)->data(Qt::UserRole).toInt(), 3);

    click("cmdKavra9251");  // nothing picked on the left: nothing taken
    EXPECT_TRUE(operand1()->text().isEmpty());
    pickSource(0, "cmdKavra9251");
    EXPECT_EQ(operand1()->text(), QStringLiteral("Bytes"));
    operand2()->setText(QStringLiteral("1000"));
    click("optKavra925(3)");
    newName()->setText(QStringLiteral("Kilobytes"));
    armRedrawProbe();
    click("cmdKavra9253");

    EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    EXPECT_EQ(window->data().Column_Count, 4);
    EXPECT_EQ(values(4), (std::vector<double>{1.5, 2.5, 0.8, -3}));
    EXPECT_EQ(texts(), (Names{"Kilobytes", "Bytes", "Zeros"}));
    const kavra::ItemRow &row = current().rows[0];
    EXPECT_EQ(row.tag, 4);
    EXPECT_EQ(row.key, "Kilobytes");
    EXPECT_FALSE(row.selected);
    EXPECT_EQ(shownColumn(0).front(), QStringLiteral("Kilobytes"));
    for (int column = 1; column <= 3; ++column)
        EXPECT_EQ(shownColumn(column).front(), QString()) << column;
    EXPECT_EQ(listIndex(), 0);
    EXPECT_FALSE(redrawnSinceProbe());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(sources()->count(), 0);
    EXPECT_TRUE(operand1()->text().isEmpty());
    EXPECT_TRUE(operand2()->text().isEmpty());
    EXPECT_TRUE(newName()->text().isEmpty());

    // The operator stays chosen for the next use; the new item is offered as a source.
    trigger("mnuAddNewItem");
    EXPECT_EQ(sources()->count(), 3);
    ASSERT_EQ(entryOf(QStringLiteral("Kilobytes")), 0);
    EXPECT_EQ(sources()->item(0)->data(Qt::UserRole).toInt(), 4);
    EXPECT_TRUE(addControl<QRadioButton>("optKavra925(3)")->isChecked());
    pickSource(0, "cmdKavra9251");
    operand2()->setText(QStringLiteral("0.5"));
    newName()->setText(QStringLiteral("Twice"));
    click("cmdKavra9253");
    EXPECT_EQ(values(5), (std::vector<double>{3, 5, 1.6, -6}));
}

TEST_F(ItemCommandsAddTest, DividingByAnItemWithZerosGivesZeroInThoseRows)
{
    openAddItems();
    addItem(QStringLiteral("Bytes"), QStringLiteral("Zeros"), 3, QStringLiteral("Ratio"));
    EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    EXPECT_EQ(values(4), (std::vector<double>{750, 0, 200, 0}));
    addItem(QStringLiteral("Zeros"), QStringLiteral("Bytes"), 1, QStringLiteral("Minus"));
    EXPECT_EQ(values(5), (std::vector<double>{-1498, -2500, -796, 3000}));
    addItem(QStringLiteral("Ratio"), QStringLiteral("Zeros"), 2, QStringLiteral("Times"));
    EXPECT_EQ(values(6), (std::vector<double>{1500, 0, 800, 0}));
    EXPECT_EQ(window->data().Column_Count, 6);
}

TEST_F(ItemCommandsAddTest, AnEmptyFieldIsRefusedAndTheWindowKeepsItsContents)
{
    openAddItems();
    for (int empty = 0; empty < 3; ++empty) {
        SCOPED_TRACE(empty);
        ui.messages.clear();
        trigger("mnuAddNewItem");
        pickSource(0, "cmdKavra9251");
        operand2()->setText(QStringLiteral("3"));
        newName()->setText(QStringLiteral("New"));
        QLineEdit *boxes[] = {operand1(), operand2(), newName()};
        boxes[empty]->clear();
        click("cmdKavra9253");
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, QStringLiteral("Please enter all required fields"));
        EXPECT_TRUE(addWindow()->isVisible());
        EXPECT_EQ(sources()->count(), 2);
        for (int b = 0; b < 3; ++b)
            EXPECT_EQ(boxes[b]->text().isEmpty(), b == empty) << b;
        EXPECT_EQ(window->data().Column_Count, 3);
        EXPECT_EQ(texts(), (Names{"Bytes", "Zeros"}));
    }
}

TEST_F(ItemCommandsAddTest, TypingInAnOperandBoxMakesThatOperandATypedNumber)
{
    openAddItems();
    const int tableColumns = window->data().Perf_Data.columns();
    trigger("mnuAddNewItem");
    pickSource(0, "cmdKavra9251");
    input::key(operand1(), QEvent::KeyPress, Qt::Key_End);
    ASSERT_EQ(operand1()->text(), QStringLiteral("Bytes"));
    operand2()->setText(QStringLiteral("2"));
    newName()->setText(QStringLiteral("New"));
    click("cmdKavra9253");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Input not numeric in first field"));
    EXPECT_EQ(window->data().Column_Count, 3);
    EXPECT_EQ(window->data().Perf_Data.columns(), tableColumns);
    EXPECT_EQ(texts(), (Names{"Bytes", "Zeros"}));
    EXPECT_TRUE(addWindow()->isVisible());

    // The same for the second operand.
    ui.messages.clear();
    pickSource(0, "cmdKavra9251");
    pickSource(1, "cmdKavra9252");
    input::key(operand2(), QEvent::KeyPress, Qt::Key_Home);
    click("cmdKavra9253");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Input not numeric in second field"));
    EXPECT_EQ(window->data().Column_Count, 3);

    // A number typed over the picked item is taken as the number.
    ui.messages.clear();
    input::key(operand1(), QEvent::KeyPress, Qt::Key_Backspace);
    operand1()->setText(QStringLiteral("5"));
    operand2()->setText(QStringLiteral("2"));
    click("cmdKavra9253");
    EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    EXPECT_EQ(window->data().Column_Count, 4);
    EXPECT_EQ(values(4), (std::vector<double>{7, 7, 7, 7}));
}

TEST_F(ItemCommandsAddTest, ANameAlreadyInTheListIsRefused)
{
    openAddItems();
    addItem(QStringLiteral("Bytes"), QStringLiteral("2"), 0, QStringLiteral("Plus Two"));
    ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    for (const char *name : {"Bytes", "Plus Two"}) {
        SCOPED_TRACE(name);
        ui.messages.clear();
        addItem(QStringLiteral("Zeros"), QStringLiteral("1"), 0, QString::fromLatin1(name));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, QStringLiteral("An item named ") + QString::fromLatin1(name) +
                                           QStringLiteral(" is already in the list - please choose another name"));
        EXPECT_EQ(window->data().Column_Count, 4);
        EXPECT_EQ(texts().size(), 3u);
        EXPECT_TRUE(addWindow()->isVisible());
        addWindow()->close();
    }
}

TEST_F(ItemCommandsAddTest, ARevertAfterALaterRemovalKeepsTheNewItem)
{
    openAddItems();
    addItem(QStringLiteral("Bytes"), QStringLiteral("Zeros"), 0, QStringLiteral("Sum"));
    ASSERT_EQ(texts(), (Names{"Sum", "Bytes", "Zeros"}));
    selectRows({0});
    trigger("mnuRemoveSelectedItems");
    ASSERT_EQ(texts(), (Names{"Bytes", "Zeros"}));
    trigger("mnuRevertToPreviousItemList");
    EXPECT_EQ(listIndex(), 0);
    EXPECT_EQ(texts(), (Names{"Sum", "Bytes", "Zeros"}));
    EXPECT_EQ(current().rows[0].tag, 4);
    // It charts like a loaded item.
    selectRows({0});
    window->lvwKavra_Click();
    EXPECT_EQ(window->chart().seriesStyle(0).name, QStringLiteral("Sum(# 1)"));
    EXPECT_EQ(pointY(window->chart(), 0, 0), 1502);
}

TEST_F(ItemCommandsAddTest, ClosingTheWindowClearsIt)
{
    openAddItems();
    trigger("mnuAddNewItem");
    pickSource(1, "cmdKavra9251");
    operand2()->setText(QStringLiteral("4"));
    newName()->setText(QStringLiteral("Left over"));
    addWindow()->close();
    EXPECT_FALSE(addWindow() && addWindow()->isVisible());
    if (addWindow()) {
        EXPECT_EQ(sources()->count(), 0);
        EXPECT_TRUE(operand1()->text().isEmpty());
        EXPECT_TRUE(operand2()->text().isEmpty());
        EXPECT_TRUE(newName()->text().isEmpty());
    }
    EXPECT_EQ(window->data().Column_Count, 3);
    EXPECT_EQ(texts(), (Names{"Bytes", "Zeros"}));

    // At the next use operand 1 is no longer the item picked before the close.
    trigger("mnuAddNewItem");
    EXPECT_EQ(sources()->count(), 2);
    operand1()->setText(QStringLiteral("5"));
    operand2()->setText(QStringLiteral("1"));
    click("optKavra925(0)");
    newName()->setText(QStringLiteral("Six"));
    click("cmdKavra9253");
    EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    EXPECT_EQ(values(4), (std::vector<double>{6, 6, 6, 6}));
}

// The caption "Name of new Item" reads as the name box's: it sits right above it,
// however tall the window is, not half way up to the operator frame.
TEST_F(ItemCommandsAddTest, TheNameCaptionSitsOnItsBox)
{
    openAddItems();
    trigger("mnuAddNewItem");
    auto *caption = addWindow()->findChild<QLabel *>(QStringLiteral("lblKavra9254"));
    ASSERT_NE(caption, nullptr);
    for (const int height : {420, 700}) {
        addWindow()->resize(addWindow()->width(), height);
        QCoreApplication::processEvents();
        const QRect text = caption->contentsRect();
        const int textBottom = caption->mapTo(addWindow(), text.center()).y() + caption->fontMetrics().height() / 2;
        EXPECT_LT(newName()->y() - textBottom, caption->fontMetrics().height()) << height;
    }
}

// ---- The Add New Item window's keys --------------------------------------------------

TEST_F(ItemCommandsAddTest, EnterDoesItTabOnlyMovesAndEscapeClosesAsTheCloseBoxDoes)
{
    openAddItems();
    trigger("mnuAddNewItem");
    pickSource(0, "cmdKavra9251");  // Bytes
    sources()->setCurrentRow(1);    // Zeros highlighted on the left afterwards
    input::key(operand1(), QEvent::KeyPress, Qt::Key_Tab);
    operand2()->setText(QStringLiteral("2"));
    newName()->setText(QStringLiteral("Double"));
    input::key(newName(), QEvent::KeyPress, Qt::Key_Return);
    EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    EXPECT_EQ(texts(), (Names{"Double", "Bytes", "Zeros"}));
    EXPECT_EQ(values(4), (std::vector<double>{1502, 2502, 802, -2998}));  // Bytes + 2
    EXPECT_FALSE(addWindow()->isVisible());

    // Escape: the window goes and takes its contents with it.
    trigger("mnuAddNewItem");
    pickSource(1, "cmdKavra9251");
    operand2()->setText(QStringLiteral("7"));
    newName()->setText(QStringLiteral("Left over"));
    input::key(newName(), QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_FALSE(addWindow()->isVisible());
    EXPECT_EQ(sources()->count(), 0);
    EXPECT_TRUE(operand1()->text().isEmpty());
    EXPECT_TRUE(operand2()->text().isEmpty());
    EXPECT_TRUE(newName()->text().isEmpty());
    auto *add = dynamic_cast<kavra::AddItemWindow *>(addWindow());
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->Source_Item_1, -1);
    EXPECT_EQ(texts().size(), 3u);
}

// ---- Names a saved file keeps ---------------------------------------------------------

TEST_F(ItemCommandsAddTest, NamesASavedFileCannotKeepAreRefusedAndOthersSurviveSaveAndReopen)
{
    openAddItems();
    for (const char *name : {"Bytes, per second", "Bytes sample time", "SAMPLE TIME 2", " Lead", "Trail ", "It's",
                             "\"Quoted\"", "$$$ START COLUMN HEADERS $$$"}) {
        SCOPED_TRACE(name);
        ui.messages.clear();
        addItem(QStringLiteral("Bytes"), QStringLiteral("1"), 0, QString::fromLatin1(name));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("An item name cannot hold ")))
            << lastMessage().toStdString();
        EXPECT_TRUE(lastMessage().endsWith(QStringLiteral(" - please choose another name")));
        EXPECT_TRUE(addWindow()->isVisible());
        EXPECT_EQ(texts().size(), 2u);
        addWindow()->close();
    }
    const Names kept = {"Column Average", "50% of Bytes", "Bytes; Zeros (time)"};
    for (const std::string &name : kept) {
        ui.messages.clear();
        addItem(QStringLiteral("Bytes"), QStringLiteral("1"), 0, QString::fromStdString(name));
        ASSERT_TRUE(ui.messages.empty()) << name << ": " << lastMessage().toStdString();
    }
    Names before = texts();
    std::sort(before.begin(), before.end());
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("saved.csv")));
    trigger("mnuSaveDataAs");
    ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    trigger("mnuCloseFile");
    open(dir.file("saved.csv"));
    ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    Names after = texts();
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
    EXPECT_EQ(values(2), (std::vector<double>{1501, 2501, 801, -2999}));  // Column Average, saved first
}

// ---- Windows left open while the data changes ----------------------------------------

TEST_F(ItemCommandsAddTest, TheAddWindowFollowsTheListAndGoesWithTheData)
{
    openAddItems();
    trigger("mnuAddNewItem");
    pickSource(1, "cmdKavra9251");  // Zeros, column 3
    const auto entries = [this] {
        QStringList out;
        for (int i = 0; i < sources()->count(); ++i)
            out << sources()->item(i)->text();
        return out;
    };
    trigger("mnuSetSortOrderDescending");
    EXPECT_EQ(entries(), (QStringList{"Zeros", "Bytes"}));
    selectRows({0});
    trigger("mnuRemoveSelectedItems");
    EXPECT_EQ(entries(), QStringList{"Bytes"});
    trigger("mnuRevertToPreviousItemList");
    EXPECT_EQ(entries(), (QStringList{"Zeros", "Bytes"}));

    // Close, then a file with one item: the old pick must not be used on it.
    trigger("mnuCloseFile");
    EXPECT_FALSE(addWindow()->isVisible());
    EXPECT_EQ(sources()->count(), 0);
    openNamed({"Only"}, 4);
    operand2()->setText(QStringLiteral("1"));
    newName()->setText(QStringLiteral("Stale"));
    click("cmdKavra9253");
    EXPECT_EQ(lastMessage(), QStringLiteral("Please enter all required fields"));
    EXPECT_EQ(texts(), Names{"Only"});
    EXPECT_EQ(window->data().Last_Used_Column, 2);

    trigger("mnuAddNewItem");
    EXPECT_EQ(entries(), QStringList{"Only"});
}

TEST_F(ItemCommandsAddTest, ADerivedItemInAMedianSortedListGoesWhereItsTextSortsIt)
{
    openAddItems();
    trigger("mnuSortInMedianOrder");
    ASSERT_EQ(texts(), (Names{"(00000001.00)Zeros", "(00001150.00)Bytes"}));
    addItem(QStringLiteral("(00000001.00)Zeros"), QStringLiteral("-5"), 2, QStringLiteral("Negative"));
    ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    EXPECT_EQ(texts(), (Names{"(00000001.00)Zeros", "(00001150.00)Bytes", "Negative"}));
    EXPECT_EQ(shownColumn(0), (QStringList{"(00000001.00)Zeros", "(00001150.00)Bytes", "Negative"}));
}

// ---- Derived items with several files and revisions -----------------------------------

// Each file's series of a derived item shows that file's values: a file opened
// before it with its columns in another order, and one opened after it without
// an operand (whose series stays at zero, as an item it lacks does).
TEST_F(ItemCommandsAddTest, ADerivedItemChartsItsOwnValuesInEveryFile)
{
    openAddItems();
    openNamed({"Zeros", "Bytes"}, 4, [](int i, int r) { return i == 1 ? r : 100.0 * r * r; });
    addItem(QStringLiteral("Bytes"), QStringLiteral("Zeros"), 3, QStringLiteral("Ratio"));
    openNamed({"Bytes"}, 4);
    selectRows({0});
    window->lvwKavra_Click();
    const std::vector<std::vector<double>> expected = {{750, 0, 200, 0}, {100, 200, 300, 400}, {0, 0, 0, 0}};
    ASSERT_EQ(window->chart().seriesCount(), 3);
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(window->chart().seriesStyle(s).name, QStringLiteral("Ratio(# %1)").arg(s + 1));
        std::vector<double> shown;
        for (int p = 0; p < pointCount(window->chart(), s); ++p)
            shown.push_back(pointY(window->chart(), s, p));
        EXPECT_EQ(shown, expected[size_t(s)]) << "file " << s + 1;
    }
}

// An item made while a pruned list is shown is in every revision: Revert keeps
// it, it charts and is saved, and its name stays taken.
TEST_F(ItemCommandsAddTest, AnItemMadeOnAPrunedListOutlivesRevertAndIsSaved)
{
    openAddItems();
    selectRows({1});
    trigger("mnuRemoveSelectedItems");
    addItem(QStringLiteral("Bytes"), QStringLiteral("2"), 2, QStringLiteral("Double"));
    ASSERT_EQ(texts(), (Names{"Bytes", "Double"}));
    selectRows({1});
    trigger("mnuRemoveSelectedItems");
    addItem(QStringLiteral("Bytes"), QStringLiteral("3"), 2, QStringLiteral("Double"));
    EXPECT_EQ(lastMessage(), QStringLiteral("An item named Double is already in an earlier item list (Revert shows "
                                            "it) - please choose another name"));
    addWindow()->close();
    trigger("mnuRevertToPreviousItemList");
    trigger("mnuRevertToPreviousItemList");
    ASSERT_EQ(listIndex(), 0);
    EXPECT_EQ(texts(), (Names{"Double", "Bytes", "Zeros"}));
    selectRows({0});
    window->lvwKavra_Click();
    EXPECT_EQ(pointY(window->chart(), 0, 3), -6000);
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("saved.csv")));
    trigger("mnuSaveDataAs");
    trigger("mnuCloseFile");
    open(dir.file("saved.csv"));
    ASSERT_NE(rowNamed("Double"), nullptr);
    EXPECT_EQ(values(rowNamed("Double")->tag), (std::vector<double>{3000, 5000, 1600, -6000}));
}
