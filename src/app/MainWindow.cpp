#include "app/MainWindow.h"

#include "analysis/SeriesStatistics.h"
#include "app/ChartCommands.h"
#include "app/CursorCommands.h"
#include "app/FollowCommands.h"
#include "app/ItemListCommands.h"
#include "app/KeyboardShortcuts.h"
#include "app/OutputCommands.h"
#include "app/StatusBar.h"
#include "chart/ChartRedraw.h"
#include "chart/ChartView.h"
#include "chart/PageNavigator.h"
#include "dialogs/AboutWindow.h"
#include "dialogs/CorrelationWindow.h"
#include "dialogs/PropertiesWindow.h"
#include "dialogs/ReleaseNotesWindow.h"
#include "itemviews/ItemFilterBox.h"
#include "itemviews/ItemListView.h"
#include "ui/Interaction.h"
#include "ui/Edition.h"
#include "ui/Palette.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <cmath>
#include <limits>

#include <pwd.h>
#include <unistd.h>

namespace kavra {
namespace {

const QString kNoFileText = QStringLiteral("Use the OPEN option on the FILE pulldown menu to OPEN a file");

// Get_Current_User: the login name, empty when the system gives none.
QString currentUser()
{
    if (const passwd *entry = ::getpwuid(::geteuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

// A series summed up over the rows in view, from the values the plan drew it
// with; nothing for a hidden or empty one, or candles.
QString shownStatistics(const ChartView &chart, AppState &state, const SeriesSources &sources, const DataSet &data,
                        int s)
{
    const PlannedSeries *planned = drawnSeries(state, chart.seriesCount(), s);
    if (!planned || !chart.seriesStyle(s).shown)
        return {};
    const SeriesValues values = state.drawnPoints.values(*planned, s, sources, data);
    if (values.n == 0)
        return {};
    const auto [first, end] = chart.shownSpan(values.x, values.n);
    return QString::fromStdString(analysis::statisticsText(
        analysis::seriesStatistics(values.x + first, values.y + first, end - first)));
}

}  // namespace

MainWindow::MainWindow(Interaction &interaction, QWidget *parent) : QMainWindow(parent), interaction_(interaction)
{
    setObjectName(QStringLiteral("frmKavra1"));
    createControls();
    createMenus();
    connectChartCommands();
    connectItemCommands();
    connectOutputCommands();
    connectCursorCommands();
    connectFollowCommands();
    setAcceptDrops(true);
    new KeyboardShortcuts(*this);
}

void MainWindow::connectOutputCommands()
{
    outputCommands_ = new OutputCommands(state_, *chart_, interaction_, this, this);
}

void MainWindow::connectCursorCommands()
{
    cursorCommands_ = new CursorCommands({state_, *chart_, data_, sources_, items_, interaction_, this,
                                          [this](int column) { chartOnly(column); },
                                          [this] { updateEntries(); }},
                                         this);
}

// The item of this data column charted alone, as a click on its row would.
void MainWindow::chartOnly(int column)
{
    ItemRevision &list = items_.current();
    const auto found = std::find_if(list.rows.begin(), list.rows.end(), [&](const ItemRow &r) { return r.tag == column; });
    if (found == list.rows.end()) {
        interaction_.message(this, QStringLiteral("The item is no longer in the item list"), QString());
        return;
    }
    for (ItemRow &row : list.rows)
        row.selected = &row == &*found;
    itemList_->refresh();
    itemList_->scrollToRow(int(found - list.rows.begin()));
    chart_->show();
    lvwKavra_Click();
}

void MainWindow::connectFollowCommands()
{
    QAction *entry = action(Command::FollowGrowingFiles);
    if (!entry)
        return;  // the classic edition reads a file once
    follow_ = new FollowCommands(
        {state_, data_, items_, interaction_, this, entry, [this] { redrawForNewRows(); },
         [this](const QString &text) { setStatusText(text); },
         [this] { return loading_ || QApplication::overrideCursor() || QApplication::activeModalWidget(); }},
        this);
}

void MainWindow::showCurrentList()
{
    itemList_->showRevision(&items_.current());
    itemList_->show();
}

void MainWindow::connectItemCommands()
{
    itemCommands_ = new ItemListCommands({state_, data_, items_, interaction_, this, [this] { showCurrentList(); },
                                          [this] {
                                              chart_->show();
                                              lvwKavra_Click();
                                          }},
                                         this);
}

void MainWindow::connectChartCommands()
{
    chartCommands_ = new ChartCommands(
        {state_, *chart_, data_, sources_, items_, interaction_, this, stackFrame_, stack_, unStack_,
         [this] {
             chart_->show();
             lvwKavra_Click();
         },
         [this] { itemList_->refresh(); }},
        this);
    ChartCommands *commands = chartCommands_;
    connect(stack_, &QRadioButton::clicked, commands, [commands] { commands->OptStack_Click(0); });
    connect(unStack_, &QRadioButton::clicked, commands, [commands] { commands->OptStack_Click(1); });
}

MainWindow::~MainWindow()
{
    // The controls read the item list and the data set, which are gone by the time
    // the base class takes a shown window off the screen: take it off while they
    // are still there. The same for the windows it owns: taking one down ends an
    // edit in progress (a chart editor's limit being typed sets the chart's range),
    // and the chart must still be there for that.
    for (QWidget *owned : findChildren<QWidget *>())
        if (owned->isWindow())
            owned->hide();
    hide();
}

QString MainWindow::windowCaption(const QString &programPath, int major, int minor, int revision)
{
    return QStringLiteral("Vesk Kavra (%1   V%2.%3-%4)")
        .arg(QFileInfo(programPath).completeBaseName().toUpper())
        .arg(major)
        .arg(minor)
        .arg(revision);
}

void MainWindow::createControls()
{
    auto *central = new QWidget(this);
    setCentralWidget(central);
    itemList_ = new ItemListView(central);
    connect(itemList_, &ItemListView::activated, this, &MainWindow::lvwKavra_Click);
    if constexpr (!kClassicEdition)
        itemFilter_ = new ItemFilterBox(*itemList_, central);
    chart_ = new ChartView(central);
    chart_->colourWanted = [](int s) { return paletteColour(s); };
    chart_->legendToolTipWanted = [this](int s) { return shownStatistics(*chart_, state_, sources_, data_, s); };
    connect(chart_, &ChartView::afterDraw, this, &MainWindow::tchKavra_OnAfterDraw);
    connect(chart_, &ChartView::mouseEnteredSeries, this, &MainWindow::tchKavra_OnMouseEnterSeries);
    connect(chart_, &ChartView::mouseLeftSeries, this, &MainWindow::tchKavra_OnMouseLeaveSeries);
    connect(chart_, &ChartView::seriesClicked, chart_, &ChartView::stopMouseAction);
    pageNavigator_ = new PageNavigator(*chart_, central);
    label_ = new QLabel(central);
    label_->setObjectName(QStringLiteral("lblKavra1"));
    correlate_ = new QPushButton(QStringLiteral("Correlate"), central);
    correlate_->setObjectName(QStringLiteral("cmdCorrelate"));
    zoomReset_ = new QPushButton(QStringLiteral("Undo Zoom/Scroll"), central);
    zoomReset_->setObjectName(QStringLiteral("cmdZoomReset"));
    connect(zoomReset_, &QPushButton::clicked, this, &MainWindow::cmdZoomReset_Click);
    connect(correlate_, &QPushButton::clicked, this, &MainWindow::cmdCorrelate_Click);
    stackFrame_ = new QGroupBox(central);
    stackFrame_->setObjectName(QStringLiteral("fraKavra1"));
    stack_ = new QRadioButton(QStringLiteral("Stack"), stackFrame_);
    stack_->setObjectName(QStringLiteral("OptStack(0)"));
    unStack_ = new QRadioButton(QStringLiteral("UnStack"), stackFrame_);
    unStack_->setObjectName(QStringLiteral("OptStack(1)"));
    unStack_->setChecked(true);
    progress_ = new QProgressBar(central);
    progress_->setObjectName(QStringLiteral("pbrKavra921"));
    statusBar_ = new StatusBar(this);
    setStatusBar(statusBar_);
    for (QWidget *hidden : {static_cast<QWidget *>(itemList_), static_cast<QWidget *>(chart_), static_cast<QWidget *>(correlate_),
                            static_cast<QWidget *>(zoomReset_), static_cast<QWidget *>(stackFrame_), static_cast<QWidget *>(progress_),
                            static_cast<QWidget *>(pageNavigator_)})
        hidden->hide();
}

void MainWindow::Form_Load(const QString &commandLine)
{
    setWindowTitle(windowCaption(QCoreApplication::applicationFilePath(), KAVRA_VERSION_MAJOR, KAVRA_VERSION_MINOR,
                                 KAVRA_VERSION_PATCH));
    items_.clear();
    state_.list.Sort_Key_Start = 1;
    itemList_->showRevision(&items_.current());
    itemList_->hide();
    chart_->hide();
    setStatusText(kNoFileText);
    state_.Current_User = currentUser();

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    setGeometry(int(0.05 * screen.width()), int(0.1 * screen.height()), int(0.9 * screen.width()),
                int(0.8 * screen.height()));

    QFile releaseNotes(ReleaseNotesWindow::defaultPath());
    releaseNotesFound_ = releaseNotes.open(QIODevice::ReadOnly);
    updateEntries();

    if (!commandLine.isEmpty()) {
        show();
        openFile(commandLine);
    }
}

QString MainWindow::statusText() const { return statusBar_->panelText(); }

void MainWindow::setStatusText(const QString &text) { statusBar_->setPanelText(text); }

void MainWindow::mnuExit_Click() { QCoreApplication::exit(0); }

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::exit(0);
}

void MainWindow::mnuHelpAbout_Click()
{
    if (!about_)
        about_ = new AboutWindow(this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::mnuViewReleaseNotes_Click()
{
    if (!releaseNotes_)
        releaseNotes_ = new ReleaseNotesWindow(this);
    releaseNotes_->show();
    if (!releaseNotes_->load(ReleaseNotesWindow::defaultPath())) {
        releaseNotesFound_ = false;
        updateEntries();
    }
}

PropertiesWindow &MainWindow::propertiesWindow()
{
    if (!properties_)
        properties_ = new PropertiesWindow(this);
    return *properties_;
}

void MainWindow::mnuProperties_Click()
{
    propertiesWindow().show(propertiesReport(data_, state_.Current_User, windowTwips(*this), screenTwips(*this)));
}

void MainWindow::lvwKavra_Click()
{
    if (correlation_)
        correlation_->cmdKavra9221_Click();
    itemCommands_->closeSideWindows();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    correlate_->setEnabled(false);
    itemList_->show();
    applyRedrawResult(redrawChart(*chart_, {state_.chart, state_.rows, data_, sources_}, items_.current()));
    QApplication::restoreOverrideCursor();
    itemList_->noteCharted();
    cursorCommands_->chartRedrawn();
    itemList_->setFocus();
}

void MainWindow::redrawForNewRows()
{
    if (!chart_->isVisibleTo(this))
        return;
    applyRedrawResult(redrawChart(*chart_, {state_.chart, state_.rows, data_, sources_}, items_.current()));
    cursorCommands_->chartRedrawn();
}

void MainWindow::applyRedrawResult(const RedrawResult &result)
{
    keepForcedChoices(state_.chart, result);
    setDrawn(state_, result.plan);
    correlate_->setEnabled(result.correlate);
    chartAllows_ = {result.movingAverage, result.smoothUnSmooth, result.candleChart, result.ratioCharts,
                    result.cycleDualCharts};
    updateEntries();
    showLeftOutItems(leftOutItemsText(result, data_.Files_Open));
    stackFrame_->setEnabled(state_.chart.dualLayout() == SingleAxis);  // stacking is not offered beside two axes
}

// Panel 1 tells which selected items the chart leaves out, and shows the first
// file again once none is.
void MainWindow::showLeftOutItems(const QString &text)
{
    if (!text.isEmpty())
        setStatusText(text);
    else if (leftOutShown_)
        setStatusText(QString::fromLocal8Bit(data_.File_Names[0]));
    leftOutShown_ = !text.isEmpty();
}

void MainWindow::cmdZoomReset_Click()
{
    chart_->undoZoom();
    if (state_.rows.Zoom_First_Row != 1 || state_.rows.Zoom_Last_Row != data_.Row_Count) {
        state_.rows.Zoom_First_Row = 1;
        state_.rows.Zoom_Last_Row = data_.Row_Count;
        chart_->show();
        lvwKavra_Click();
    }
}

// The reference is the selected row that has the focus, or else the first
// selected row; with none selected there is nothing to correlate.
void MainWindow::cmdCorrelate_Click()
{
    const ItemRevision &list = items_.current();
    int reference = itemList_->currentIndex().row();
    if (reference < 0 || reference >= int(list.rows.size()) || !list.rows[size_t(reference)].selected) {
        const auto selected = std::find_if(list.rows.begin(), list.rows.end(), [](const ItemRow &r) { return r.selected; });
        if (selected == list.rows.end())
            return;
        reference = int(selected - list.rows.begin());
    }
    if (!correlation_) {
        correlation_ = new CorrelationWindow({state_.rows, data_, interaction_, this, state_.folders}, this);
        connect(correlation_, &CorrelationWindow::exportChartRequested, outputCommands_,
                [this] { outputCommands_->exportScatterDiagram(correlation_->scatter(), correlation_); });
        connect(correlation_, &CorrelationWindow::printChartRequested, outputCommands_,
                [this] { outputCommands_->printScatterDiagram(correlation_->scatter(), correlation_); });
        connect(correlation_, &CorrelationWindow::copyChartRequested, outputCommands_,
                [this] { outputCommands_->copyScatterDiagram(correlation_->scatter(), correlation_); });
    }
    std::vector<CandidateItem> candidates;
    candidates.reserve(list.rows.size());
    for (const ItemRow &row : list.rows)
        candidates.push_back({QString::fromLocal8Bit(row.text), row.tag});
    const ItemRow &row = list.rows[size_t(reference)];
    correlation_->correlate({QString::fromLocal8Bit(row.text), row.tag}, candidates);
}

void MainWindow::tchKavra_OnAfterDraw() { narrowZoomRowsToChart(*chart_, state_.rows, data_); }

void MainWindow::tchKavra_OnMouseEnterSeries(int series, int point)
{
    if (point < 0 || series < 0 || series >= 50)
        return;
    // The point as the plan drew it: the chart's own points are only drawn.
    const PlannedSeries *planned = drawnSeries(state_, chart_->seriesCount(), series);
    double x = 0, y = 0;
    if (planned && state_.drawnPoints.point(*planned, series, point, sources_, data_, x, y))
        setStatusText(pointReadout(QString::fromStdString(planned->legend), x, y));
}

void MainWindow::tchKavra_OnMouseLeaveSeries() { setStatusText(QString::fromLocal8Bit(data_.File_Names[0])); }

}  // namespace kavra
