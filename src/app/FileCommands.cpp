// The File menu's data commands: Open, Save as ... and Close.

#include "app/MainWindow.h"

#include "app/ChartCommands.h"
#include "app/CursorCommands.h"
#include "app/FollowCommands.h"
#include "app/ItemListCommands.h"
#include "app/StatusBar.h"
#include "chart/ChartRedraw.h"
#include "chart/ChartView.h"
#include "chart/PageNavigator.h"
#include "data/LoadMessages.h"
#include "dialogs/CorrelationWindow.h"
#include "dialogs/PropertiesWindow.h"
#include "items/ListFiles.h"
#include "itemviews/ItemFilterBox.h"
#include "itemviews/ItemListView.h"
#include "ui/BusyCursor.h"
#include "ui/Edition.h"
#include "ui/Interaction.h"
#include "ui/SaveName.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>

namespace kavra {
namespace {

const QString kCsvFilter = QStringLiteral(".CSV files (*.CSV)|*.CSV");
const QString kOneRowNotSaved =
    QStringLiteral("Only one row is shown, and a file of one row cannot be opened again. "
                   "Show more rows (Undo Zoom/Scroll) and save again.");
const QString kNoFileText = QStringLiteral("Use the OPEN option on the FILE pulldown menu to OPEN a file");

QString text(const std::string &bytes) { return QString::fromLocal8Bit(bytes); }


}  // namespace

// Keeps the user informed while a file loads: status panel 1, the progress bar,
// and window events at most every 50 ms (user input waits until loading ends).
class LoadProgress : public LoadObserver {
public:
    LoadProgress(MainWindow &window, Interaction &interaction) : window_(window), interaction_(interaction)
    {
        clock_.start();
    }

    void status(const std::string &message) override { window_.setStatusText(text(message)); }
    void progressStart(int maximum) override
    {
        window_.progress_->setRange(1, qMax(1, maximum));
        window_.progress_->setValue(1);
        window_.progress_->show();
    }
    void progress(int row) override { window_.progress_->setValue(row); }
    void progressEnd() override { window_.progress_->hide(); }
    void keepAlive() override
    {
        if (clock_.elapsed() < 50)
            return;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        clock_.restart();
    }
    void diagnostic(const LoadDiagnostic &diagnostic) override
    {
        const LoadMessage message = loadMessage(diagnostic);
        interaction_.message(&window_, text(message.text), text(message.title));
    }

private:
    MainWindow &window_;
    Interaction &interaction_;
    QElapsedTimer clock_;
};

void MainWindow::showLoadedControls(bool visible)
{
    for (QWidget *control : {static_cast<QWidget *>(chart_), static_cast<QWidget *>(pageNavigator_),
                             static_cast<QWidget *>(itemList_),
                             static_cast<QWidget *>(zoomReset_), static_cast<QWidget *>(stackFrame_),
                             static_cast<QWidget *>(correlate_)})
        control->setVisible(visible);
}

void MainWindow::mnuOpenFile_Click() { openFile(QString()); }

void MainWindow::openFile(const QString &path)
{
    if (loading_)
        return;  // one load at a time: a second one would take the same file number
    if (follow_)
        follow_->stop();  // the rows of the files loaded stay as they are while another comes
    {
        const QScopedValueRollback<bool> loading(loading_, true);
        loadFile(path);
    }
    openQueuedDrops();
}

void MainWindow::loadFile(QString path)
{
    showLoadedControls(false);
    const bool leftDualLayout = state_.chart.dualLayout() != SingleAxis;
    state_.chart.useSingleAxis();

    if (path.isEmpty()) {
        const std::optional<QString> chosen =
            interaction_.openFileName(this, kCsvFilter, state_.folders.startFolder(FileKind::Data));
        if (!chosen) {
            showFilesLoadedBefore(leftDualLayout);
            return;
        }
        path = *chosen;
        state_.folders.used(FileKind::Data, path);
    }

    LoadOutcome outcome;
    {
        BusyCursor busy;
        LoadProgress progress(*this, interaction_);
        LoadOptions options;
        options.edition = kEdition;
        ItemLoader loader(data_, items_, progress, options);
        outcome = loader.load(QFile::encodeName(path).toStdString());
    }
    if (!outcome.loaded) {
        const LoadMessage message = loadMessage(outcome.failure);
        interaction_.message(this, text(message.text), text(message.title));
        setStatusText(kNoFileText);
        if (outcome.closeAllFiles)
            mnuCloseFile_Click();
        else
            showFilesLoadedBefore(leftDualLayout);
        return;
    }
    state_.folders.loaded(path);
    if (follow_)
        follow_->fileLoaded(outcome.follow);
    finishLoad();
}

// An Open that loaded nothing: the files loaded before are still there. Open
// ended a dual layout, so a chart drawn in one is drawn again on one value axis,
// with the Stack / UnStack choice it allows.
void MainWindow::showFilesLoadedBefore(bool leftDualLayout)
{
    showLoadedControls(data_.Files_Open > 0);
    if (data_.Files_Open > 0 && leftDualLayout)
        lvwKavra_Click();
}

// What follows a successful load: menus, controls, the default selection, the chart.
void MainWindow::finishLoad()
{
    if (data_.Files_Open == 1)
        setStatusText(QStringLiteral("Populating Xaxis_Values ... "));
    applyLoadedView(state_, data_, data_.Files_Open == 1);
    itemList_->showRevision(&items_.current());
    itemList_->show();
    itemCommands_->currentListChanged();
    // Until the chart is drawn its entries are offered, all but the dual layouts'.
    chartAllows_ = {true, true, true, true, chartAllows_.dualLayouts};
    updateEntries();

    zoomReset_->show();
    pageNavigator_->show();
    stackFrame_->show();
    correlate_->show();
    stackFrame_->setEnabled(true);  // no dual mode after a load
    stack_->setChecked(false);
    unStack_->setChecked(true);
    chartCommands_->unstack();

    const int selected = items_.current().selectDefaultItem();
    itemList_->refresh();
    itemList_->scrollToRow(selected);
    setStatusText(text(data_.File_Names[0]));
    itemList_->setFocus();
    itemList_->repaint();

    chart_->show();
    lvwKavra_Click();
}

void MainWindow::mnuSaveDataAs_Click()
{
    // The loader wants two data rows, so a file of one could never be opened again.
    if (state_.rows.Zoom_Last_Row - state_.rows.Zoom_First_Row + 1 < 2) {
        interaction_.message(this, kOneRowNotSaved, QStringLiteral("Save as"));
        return;
    }
    std::optional<QString> path =
        interaction_.saveFileName(this, kCsvFilter, state_.folders.startFolder(FileKind::Data));
    // A name typed without an extension gets ".csv", so that Open lists the file.
    if (path && !hasExtension(*path))
        path = withAddedExtension(interaction_, this, *path, QStringLiteral(".csv"), QStringLiteral("Save as"));
    if (!path)
        return;
    state_.folders.used(FileKind::Data, *path);
    std::string error;
    {
        BusyCursor busy;
        error = saveDataFile(QFile::encodeName(*path).toStdString(), data_, items_.current(),
                             {state_.rows.Zoom_First_Row, state_.rows.Zoom_Last_Row, 1});
    }
    if (!error.empty())
        interaction_.message(this, QStringLiteral("Error : ") + text(error) + QStringLiteral(" generated while Creating file"),
                             QString());
}

void MainWindow::mnuCloseFile_Click()
{
    setStatusText(QStringLiteral("Closing file(s) - please wait ... "));
    BusyCursor busy;
    if (follow_)
        follow_->closeAll();
    // The side windows read columns and rows that go away now.
    if (correlation_)
        correlation_->cmdKavra9221_Click();
    itemCommands_->closeDataWindows();
    cursorCommands_->closeAll();
    showLoadedControls(false);
    progress_->hide();
    correlate_->setEnabled(false);
    state_.chart.closed();
    clearChart(*chart_, state_.chart);
    state_.list.Median_Sorted = false;
    stackFrame_->setEnabled(true);
    stack_->setChecked(false);
    unStack_->setChecked(true);

    items_.clear();
    itemList_->showRevision(&items_.current());
    if (itemFilter_)
        itemFilter_->clear();  // the next file's list starts whole
    itemList_->hide();
    data_.closeAll();
    propertiesWindow().clear();
    chartAllows_ = {};
    updateEntries();
    setStatusText(kNoFileText);
}

}  // namespace kavra
