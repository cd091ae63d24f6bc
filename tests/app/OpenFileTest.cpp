#include "app/WindowFixture.h"

#include "chart/ChartView.h"
#include "data/TimeStrings.h"
#include "itemviews/ItemListView.h"

#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

std::vector<std::string> selectedNames(kavra::MainWindow &window)
{
    std::vector<std::string> names;
    for (const auto &row : window.items().current().rows)
        if (row.selected)
            names.push_back(row.text);
    return names;
}

}  // namespace

TEST_F(WindowTest, OpenLoadsTheFileAndEnablesTheCommands)
{
    const std::string path = dir.write("day.csv", kGoodFile);
    open(path);
    ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    EXPECT_EQ(ui.filters, QStringList{QStringLiteral(".CSV files (*.CSV)|*.CSV")});
    EXPECT_EQ(window->data().Files_Open, 1);
    EXPECT_EQ(window->data().Row_Count, 3);
    for (const QString &name : kavra::dataMenuEntries())  // ratio charts need two charted items
        EXPECT_EQ(window->action(name)->isEnabled(), name != "mnuGenerateRatioCharts") << name.toStdString();
    EXPECT_TRUE(enabled("mnuSortInMedianOrder"));
    EXPECT_FALSE(enabled("mnuCycleDualCharts"));
    EXPECT_EQ(window->statusText(), QString::fromStdString(path));
    EXPECT_EQ(QString::fromStdString(window->state().chart.title(kavra::TitleLine::Header)), QStringLiteral("Node(s) : NODE1"));
    EXPECT_EQ(window->state().rows.Zoom_First_Row, 1);
    EXPECT_EQ(window->state().rows.Zoom_Last_Row, 3);
    EXPECT_EQ(window->state().chart.stackMode(), 1);
    EXPECT_TRUE(child<QRadioButton>("OptStack(1)")->isChecked());
    EXPECT_TRUE(child<QPushButton>("cmdCorrelate")->isVisibleTo(window.get()));
    EXPECT_TRUE(child<QWidget>("tchKavra")->isVisibleTo(window.get()));
    EXPECT_EQ(selectedNames(*window), std::vector<std::string>{"MP Sync Time"});
    auto *view = child<kavra::ItemListView>("lvwKavra");
    ASSERT_TRUE(view->isVisibleTo(window.get()));
    EXPECT_EQ(view->model()->rowCount(), 3);
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), QStringLiteral("CPU Busy"));
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 1);
}

TEST_F(WindowTest, SelectingInTheViewSelectsInTheRevision)
{
    open(dir.write("day.csv", kGoodFile));
    auto *view = child<kavra::ItemListView>("lvwKavra");
    view->selectionModel()->select(view->model()->index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(selectedNames(*window), std::vector<std::string>{"CPU Busy"});
}

TEST_F(WindowTest, CancellingTheDialogLeavesTheDisplayAsItWas)
{
    open(dir.write("day.csv", kGoodFile));
    ui.fileAnswers.push_back(QString());
    window->mnuOpenFile_Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(window->data().Files_Open, 1);
    EXPECT_TRUE(child<QWidget>("tchKavra")->isVisibleTo(window.get()));
    EXPECT_TRUE(child<kavra::ItemListView>("lvwKavra")->isVisibleTo(window.get()));
}

TEST_F(WindowTest, CancellingWithNoFileShowsNothing)
{
    window->mnuOpenFile_Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(child<QWidget>("tchKavra")->isVisibleTo(window.get()));
}

TEST_F(WindowTest, AFormatErrorIsReportedAndTheFirstFileStaysLoaded)
{
    open(dir.write("day.csv", kGoodFile));
    open(dir.write("bad.csv", "NODE2 without comma\r\nx\r\n"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Record #1 in file has incorrect format"));
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("OpenFile"));
    EXPECT_EQ(window->statusText(), kNoFileText);
    EXPECT_EQ(window->data().Files_Open, 1);
    EXPECT_TRUE(enabled("mnuCloseFile"));
    EXPECT_TRUE(child<QWidget>("tchKavra")->isVisibleTo(window.get()));
}

TEST_F(WindowTest, AFirstFileWithTooFewRowsLeavesNoFile)
{
    open(dir.write("one.csv", "N,x\r\n06-DEC-2026\r\nSample Time,A\r\n10:00:00,1\r\n"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Insufficient data in file"));
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("OpenFile"));
    EXPECT_EQ(window->data().Files_Open, 0);
    EXPECT_FALSE(enabled("mnuCloseFile"));
    EXPECT_TRUE(window->items().current().rows.empty());
    EXPECT_EQ(window->statusText(), kNoFileText);
}

TEST_F(WindowTest, InvalidDataInALaterFileDropsOnlyThatFile)
{
    open(dir.write("day.csv", kGoodFile));
    open(dir.write("bad.csv", "N2,x\r\nd\r\nSample Time,CPU Busy\r\n10:00:00,1\r\n10:01:00,1.2.3\r\n"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Invalid data ( 1.2.3 ) detected in row 10:01:00"));
    EXPECT_EQ(window->data().Files_Open, 1);
    EXPECT_EQ(window->data().Perf_Data.files(), 1);
}

TEST_F(WindowTest, AGenericDataErrorInTheFirstFileLeavesNoFile)
{
    open(dir.write("err.csv", "N2,x\r\nd\r\nSample Time,CPU Busy\r\n10:00:00,ERR\r\n10:01:00,1\r\n"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("Error - ")));
    EXPECT_TRUE(lastMessage().endsWith(QStringLiteral(" - generated while extracting data from file")));
    EXPECT_EQ(ui.messages[0].title, QString());
    EXPECT_EQ(window->data().Files_Open, 0);
    EXPECT_FALSE(enabled("mnuCloseFile"));
    EXPECT_FALSE(child<QWidget>("tchKavra")->isVisibleTo(window.get()));
}

// Whatever makes a later file fail, only that file is not added: the files loaded
// before keep the sorted and pruned lists, the derived item and the chart.
TEST_F(WindowTest, AFailingLaterFileLeavesWhatWasMadeOfTheFilesBefore)
{
    open(dir.write("day.csv", kGoodFile));
    window->action(QStringLiteral("mnuSortInMedianOrder"))->trigger();
    auto *view = child<kavra::ItemListView>("lvwKavra");
    view->selectionModel()->select(view->model()->index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window->action(QStringLiteral("mnuRemoveSelectedItems"))->trigger();
    window->action(QStringLiteral("mnuAddNewItem"))->trigger();
    auto *add = window->findChild<QDialog *>(QStringLiteral("frmKavra5"));
    ASSERT_NE(add, nullptr);
    add->findChild<QListWidget *>(QStringLiteral("lstKavra9251"))->setCurrentRow(0);
    add->findChild<QPushButton *>(QStringLiteral("cmdKavra9251"))->click();
    add->findChild<QLineEdit *>(QStringLiteral("txtKavra9252"))->setText(QStringLiteral("2"));
    add->findChild<QRadioButton *>(QStringLiteral("optKavra925(2)"))->click();
    add->findChild<QLineEdit *>(QStringLiteral("txtKavra9253"))->setText(QStringLiteral("Twice"));
    add->findChild<QPushButton *>(QStringLiteral("cmdKavra9253"))->click();
    ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    const kavra::ItemList before = window->items();
    ASSERT_EQ(before.index(), 2);
    const int derived = before.current().rows.back().tag;
    const double derivedValue = window->data().Perf_Data(3, derived, 1);
    ASSERT_NE(derivedValue, 0);

    const std::string header = "N2,x\r\n06-DEC-2026\r\nSample Time,CPU Busy,Disk Rate\r\n10:00:00,1,2\r\n";
    const std::vector<std::pair<std::string, QString>> laterFiles = {
        {header + "10:01:00,ERR,1\r\n",
         QStringLiteral("Error - Type mismatch: the exponent of 'ERR' is not a number - generated while extracting "
                        "data from file")},
        {header + "10:01:00,2,1E\r\n",
         QStringLiteral("Error - Type mismatch: the exponent of '1E' is not a number - generated while extracting "
                        "data from file")},
        {header + "10:01:00,1.2.3,1\r\n", QStringLiteral("Invalid data ( 1.2.3 ) detected in row 10:01:00")},
        {"N2,x\r\nd\r\nSample Time,,B\r\n10:00:00,1,2\r\n10:01:00,1,2\r\n",
         QStringLiteral("Blank Column Header text detected - cannot continue ...")},
        {"N2 without comma\r\nd\r\n", QStringLiteral("Record #1 in file has incorrect format")},
    };
    for (const auto &[bytes, message] : laterFiles) {
        SCOPED_TRACE(message.toStdString());
        ui.messages.clear();
        open(dir.write("later.csv", bytes));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, message);
        EXPECT_EQ(window->data().Files_Open, 1);
        EXPECT_EQ(window->data().Perf_Data.files(), 1);
        EXPECT_EQ(window->data().Perf_Data(3, derived, 1), derivedValue);
        ASSERT_EQ(window->items().index(), before.index());
        for (int i = 0; i <= before.index(); ++i) {
            std::vector<std::string> was, is;
            for (const auto &row : before.revision(i).rows)
                was.push_back(row.text);
            for (const auto &row : window->items().revision(i).rows)
                is.push_back(row.text);
            EXPECT_EQ(is, was) << "revision " << i;
        }
        EXPECT_TRUE(enabled("mnuCloseFile"));
        EXPECT_TRUE(view->isVisibleTo(window.get()));
        EXPECT_TRUE(child<QWidget>("tchKavra")->isVisibleTo(window.get()));
    }
}

TEST_F(WindowTest, TheColumnCountDiagnosticIsShownOnceAndLoadingGoesOn)
{
    open(dir.write("short.csv", "N,x\r\n06-DEC-2026\r\nSample Time,A,B\r\n10:00:00,1\r\n10:01:00,2\r\n10:02:00,3,4\r\n"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("File Column Count Mismatch"));
    EXPECT_TRUE(ui.messages[0].text.startsWith(QStringLiteral("Column count mismatch in data row #  1\r\n")));
    EXPECT_EQ(window->data().Files_Open, 1);
}

TEST_F(WindowTest, SixteenFilesDisableOpenUntilClose)
{
    const std::string path = dir.write("day.csv", kGoodFile);
    for (int i = 0; i < 16; ++i)
        open(path);
    EXPECT_EQ(window->data().Files_Open, 16);
    EXPECT_FALSE(enabled("mnuOpenFile"));
    EXPECT_FALSE(enabled("mnuSortInMedianOrder"));
    window->mnuCloseFile_Click();
    EXPECT_TRUE(enabled("mnuOpenFile"));
    EXPECT_EQ(window->data().Max_Files, 16);
}

TEST_F(WindowTest, SaveAsWritesTheDisplayedData)
{
    open(dir.write("day.csv", kGoodFile));
    window->state().rows.Zoom_First_Row = 2;
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("saved.csv")));
    window->mnuSaveDataAs_Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(dir.read("saved.csv"), "NODE1,Collection of the day\r\n"
                                     "Sample Time,CPU Busy,Disk Rate,MP Sync Time\r\n"
                                     "06-DEC-2026 10:01:00, 13, 2500, 2\r\n"
                                     "06-DEC-2026 10:02:00, 14, 2000, 3\r\n");
}

// The saved header names the items, not what the list shows in front of them, so
// the saved file matches the collector's files again.
TEST_F(WindowTest, SaveAsAfterAMedianSortWritesTheItemNames)
{
    open(dir.write("day.csv", kGoodFile));
    window->action(QStringLiteral("mnuSortInMedianOrder"))->trigger();
    ASSERT_EQ(window->items().current().rows[0].text, "(00000002.00)MP Sync Time");
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("saved.csv")));
    window->mnuSaveDataAs_Click();
    ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    const std::string saved = dir.read("saved.csv");
    EXPECT_EQ(saved.substr(0, saved.find("\r\n06-DEC")),
              "NODE1,Collection of the day\r\nSample Time,MP Sync Time,CPU Busy,Disk Rate");
}

// Names written in Windows-1252 show as the characters they stand for, in the list
// and the legend, and a removal by string finds them.
TEST_F(WindowTest, NamesInWindows1252ShowAndMatchAsWritten)
{
    open(dir.write("latin.csv", "NODE1,x\r\nd\r\nSample Time,Temp \xB0"
                                "C,Wait \xB5s,CPU\r\n"
                                "10:00:00,1,2,3\r\n10:01:00,4,5,6\r\n"));
    ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    auto *view = child<kavra::ItemListView>("lvwKavra");
    QStringList shown;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        shown << view->model()->index(r, 0).data().toString();
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("CPU"), QStringLiteral("Temp \u00B0C"), QStringLiteral("Wait \u00B5s")}));
    view->selectionModel()->select(view->model()->index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window->lvwKavra_Click();
    EXPECT_EQ(window->chart().seriesStyle(0).name, QStringLiteral("Temp \u00B0C(# 1)"));
    ui.inputAnswers.push_back(QStringLiteral("\u00B0c"));
    window->action(QStringLiteral("mnuRemoveItemsContainingString"))->trigger();
    ASSERT_EQ(window->items().current().rows.size(), 2u);
    EXPECT_EQ(window->items().current().rows[1].text, "Wait \u00B5s");
}

// A huge name is shown cut, and kept whole for saving.
TEST_F(WindowTest, AHugeNameIsShownCutAndSavedWhole)
{
    const std::string name = "Queue " + std::string(1000000, 'q');
    open(dir.write("long.csv", "NODE1,x\r\nd\r\nSample Time," + name + ",B\r\n10:00:00,1,2\r\n10:01:00,4,5\r\n"));
    ASSERT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    window->items().copyItemList();  // a copy gives each sub-item its full text as tooltip
    auto *view = child<kavra::ItemListView>("lvwKavra");
    view->showRevision(&window->items().current());
    const QAbstractItemModel *model = view->model();
    const QString cut = QString::fromStdString(name.substr(0, 253)) + QStringLiteral("...");
    EXPECT_EQ(model->index(1, 0).data().toString(), cut);
    EXPECT_EQ(model->index(1, 1).data().toString(), cut);
    EXPECT_EQ(model->index(1, 0).data(Qt::ToolTipRole).toString().size(), 80);
    EXPECT_EQ(model->index(1, 1).data(Qt::ToolTipRole).toString(), cut);
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("saved.csv")));
    window->mnuSaveDataAs_Click();
    EXPECT_NE(dir.read("saved.csv").find("Sample Time,B," + name + "\r\n"), std::string::npos);
}

TEST_F(WindowTest, SaveAsWithTwoNodesNamesTheNodeWhoseValuesItHolds)
{
    open(dir.write("day.csv", kGoodFile));
    std::string second = kGoodFile;
    second.replace(second.find("NODE1"), 5, "NODE2");
    open(dir.write("day2.csv", second));
    ASSERT_EQ(window->data().Files_Open, 2);
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("saved.csv")));
    window->mnuSaveDataAs_Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(dir.read("saved.csv").substr(0, 6), "NODE1,");

    // Opened again on its own, the chart is titled with the node whose values were saved.
    window->mnuCloseFile_Click();
    open(dir.file("saved.csv"));
    ASSERT_EQ(window->data().Files_Open, 1);
    EXPECT_TRUE(window->chart().title(kavra::TitleLine::Header).text.contains(QStringLiteral("NODE1")))
        << window->chart().title(kavra::TitleLine::Header).text.toStdString();
}

TEST_F(WindowTest, SaveAsReportsAFileThatCannotBeCreated)
{
    open(dir.write("day.csv", kGoodFile));
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("missing/folder/saved.csv")));
    window->mnuSaveDataAs_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("Error : ")));
    EXPECT_TRUE(lastMessage().endsWith(QStringLiteral(" generated while Creating file")));
}

TEST_F(WindowTest, SaveAsOfOneRowSaysWhyAndWritesNothing)
{
    open(dir.write("day.csv", kGoodFile));
    window->state().rows.Zoom_First_Row = 2;
    window->state().rows.Zoom_Last_Row = 2;
    ui.fileAnswers.push_back(QString::fromStdString(dir.file("saved.csv")));
    window->mnuSaveDataAs_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("cannot be opened again")));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("saved.csv"))));

    // Two rows make a file the loader takes.
    window->state().rows.Zoom_Last_Row = 3;
    window->mnuSaveDataAs_Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    open(dir.file("saved.csv"));
    EXPECT_EQ(window->data().Files_Open, 2);
}

TEST_F(WindowTest, CancellingSaveAsWritesNothing)
{
    open(dir.write("day.csv", kGoodFile));
    window->mnuSaveDataAs_Click();
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WindowTest, AFileWithoutLineBreaksChangesNothing)
{
    open(dir.write("day.csv", kGoodFile));
    open(dir.write("flat.csv", "no line breaks at all"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("File has incorrect format - can't find any record terminators"));
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("OpenFile"));
    EXPECT_EQ(window->data().Files_Open, 1);
    EXPECT_TRUE(child<kavra::ItemListView>("lvwKavra")->isVisibleTo(window.get()));
}

TEST_F(WindowTest, AMissingFileOrAFolderIsReportedAsAnOpenError)
{
    open(dir.file("gone.csv"));
    open(dir.path());
    ASSERT_EQ(ui.messages.size(), 2u);
    for (const auto &message : ui.messages) {
        EXPECT_TRUE(message.text.startsWith(QStringLiteral("Error : "))) << message.text.toStdString();
        EXPECT_TRUE(message.text.endsWith(QStringLiteral(" generated while opening file")));
        EXPECT_EQ(message.title, QString());
    }
    EXPECT_EQ(window->data().Files_Open, 0);
    EXPECT_EQ(window->statusText(), kNoFileText);
}
