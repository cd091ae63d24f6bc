// kavra_tour FOLDER EXAMPLES: the viewer's windows, menus, dialogs and chart
// options one after another, each pictured as it shows on the screen (see
// tools/screenshot-tour.sh, which runs this under a virtual display). Exits 1
// when a scene took no picture.

#include "tour/Tour.h"

#include "app/MainWindow.h"
#include "chart/ChartView.h"
#include "support/ChartAccess.h"
#include "dialogs/CorrelationWindow.h"
#include "itemviews/ItemListView.h"
#include "ui/QtInteraction.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest/QTest>
#include <qcustomplot.h>

#include <cstdio>

namespace kavra::tour {
namespace {

class Scenes {
public:
    Scenes(Tour &tour, MainWindow &window, const QString &examples) : tour_(tour), window_(window), examples_(examples)
    {
    }

    std::vector<Scene> all();

private:
    void trigger(const char *entry) { window_.action(QString::fromLatin1(entry))->trigger(); }
    void pictureWindow() { tour_.picture(&window_); }
    // Runs a command whose dialog is the scene's picture.
    void prompt(const char *entry, const QString &answer, bool accept = true)
    {
        tour_.answerNext(Answer{true, accept, answer});
        trigger(entry);
        Tour::settle();
    }
    // Chart Multiple Items with this search string, then the main window's picture.
    void chartItems(const QString &search)
    {
        tour_.answerNext(Answer{false, true, search});
        trigger("mnuChartMultipleItems");
        Tour::settle();
    }
    void openFile(const QString &name, bool picture)
    {
        tour_.answerNext(Answer{picture, true, examples_ + QLatin1Char('/') + name});
        trigger("mnuOpenFile");
        Tour::settle(800);
    }
    void showMenu(const char *name, const char *submenu = nullptr);
    void closeMenus();
    // A modeless window opened by a menu entry, pictured and closed again.
    void pictureWindowOf(const char *entry, const char *windowName, int settleMs = 400);
    void showEditorTab(int index);
    // A drag over the chart's plot with this button, between points given as
    // fractions of its width and height.
    void dragOverChart(Qt::MouseButton button, QPointF from, QPointF to);

    Tour &tour_;
    MainWindow &window_;
    QString examples_;
};

void Scenes::showMenu(const char *name, const char *submenu)
{
    auto *menu = window_.findChild<QMenu *>(QString::fromLatin1(name));
    window_.menuBar()->setActiveAction(menu->menuAction());
    Tour::settle();
    QRect shown = menu->geometry();
    if (submenu) {
        auto *inner = window_.findChild<QMenu *>(QString::fromLatin1(submenu));
        menu->setActiveAction(inner->menuAction());
        QTest::keyClick(menu, Qt::Key_Right);
        Tour::settle();
        shown = shown.united(inner->geometry());
    }
    tour_.picture(&window_, shown);
    closeMenus();
}

void Scenes::closeMenus()
{
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    Tour::settle(200);
}

void Scenes::pictureWindowOf(const char *entry, const char *windowName, int settleMs)
{
    trigger(entry);
    Tour::settle(settleMs);
    auto *top = window_.findChild<QDialog *>(QString::fromLatin1(windowName));
    if (!top || !top->isVisible()) {
        tour_.note(
            QStringLiteral("%1 showed no window %2").arg(QString::fromLatin1(entry), QString::fromLatin1(windowName)));
        return;
    }
    tour_.picture(top);
    top->close();
    Tour::settle(200);
}

void Scenes::showEditorTab(int index)
{
    trigger("mnuEditChartProperties");
    auto *editor = window_.findChild<QDialog *>(QStringLiteral("frmChartEditor"));
    auto *tabs = editor ? editor->findChild<QTabWidget *>(QStringLiteral("tabChartEditor")) : nullptr;
    if (!tabs || index >= tabs->count()) {
        tour_.note(QStringLiteral("the chart editor has no tab %1").arg(index + 1));
        return;
    }
    tabs->setCurrentIndex(index);
    tour_.picture(editor);
    if (index + 1 == tabs->count())
        editor->close();
}

void Scenes::dragOverChart(Qt::MouseButton button, QPointF from, QPointF to)
{
    auto *plot = window_.chart().findChild<QCustomPlot *>();
    const QRect area = plot->axisRect()->rect();
    const auto inPlot = [&area](QPointF fraction) {
        return QPointF(area.left() + fraction.x() * area.width(), area.top() + fraction.y() * area.height());
    };
    const QPointF start = inPlot(from);
    const QPointF end = inPlot(to);
    const auto send = [&](QEvent::Type type, const QPointF &at, Qt::MouseButtons held) {
        const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
        QMouseEvent event(type, at, plot->mapToGlobal(at), changed, held, Qt::NoModifier);
        QApplication::sendEvent(plot, &event);
        Tour::settle(50);
    };
    send(QEvent::MouseButtonPress, start, button);
    for (int step = 1; step <= 5; ++step)
        send(QEvent::MouseMove, start + (end - start) * step / 5.0, button);
    send(QEvent::MouseButtonRelease, end, Qt::NoButton);
    Tour::settle();
}

std::vector<Scene> Scenes::all()
{
    const auto window = [this](std::function<void()> change) {
        return [this, change] {
            change();
            Tour::settle();
            pictureWindow();
        };
    };
    const auto nothing = [] {};
    std::vector<Scene> scenes = {
        {QStringLiteral("main-window-no-file"), window(nothing)},
        {QStringLiteral("open-file-dialog"), [this] { openFile(QStringLiteral("node1_day.csv"), true); }},
        {QStringLiteral("main-window-file-loaded"), window(nothing)},
        {QStringLiteral("menu-file"), [this] { showMenu("mnuFile"); }},
        {QStringLiteral("menu-options"), [this] { showMenu("mnuOptions"); }},
        {QStringLiteral("menu-options-set-sort-order"), [this] { showMenu("mnuOptions", "mnuSetSortOrder"); }},
        {QStringLiteral("menu-chart-settings"), [this] { showMenu("mnuChartSettings"); }},
        {QStringLiteral("menu-modify-item-list"), [this] { showMenu("mnuModifyItemList"); }},
        {QStringLiteral("menu-help"), [this] { showMenu("mnuHelp"); }},
        {QStringLiteral("prompt-chart-multiple-items"),
         [this] { prompt("mnuChartMultipleItems", QStringLiteral("CPU Busy Cpu 03")); }},
        {QStringLiteral("chart-one-item"), window(nothing)},
        {QStringLiteral("moving-average"), window([this] { trigger("mnuToggleMovingAverage"); })},
        {QStringLiteral("prompt-moving-average-period"),
         [this] { prompt("mnuSetMovingAveragePeriodValue", QStringLiteral("60")); }},
        {QStringLiteral("moving-average-period-60"), window(nothing)},
        {QStringLiteral("smoothing"), window([this] { trigger("mnuSmoothUnSmooth"); })},
        {QStringLiteral("prompt-smoothing-factor"), [this] { prompt("mnuSetSmoothingFactor", QStringLiteral("20")); }},
        {QStringLiteral("smoothing-factor-20"), window(nothing)},
        {QStringLiteral("candles"), window([this] { trigger("mnuAddRemoveCandleChart"); })},
        {QStringLiteral("zoomed-chart"), window([this] {
             trigger("mnuAddRemoveCandleChart");
             Tour::settle();
             dragOverChart(Qt::LeftButton, {0.3, 0.2}, {0.6, 0.8});
         })},
        {QStringLiteral("scrolled-chart"), window([this] {
             // Pressed where no line runs: a press on a series starts nothing.
             dragOverChart(Qt::RightButton, {0.8, 0.95}, {0.5, 0.95});
         })},
        {QStringLiteral("zoom-undone"), window([this] { window_.findChild<QPushButton *>("cmdZoomReset")->click(); })},
        {QStringLiteral("correlation-window"),
         [this] {
             window_.findChild<QPushButton *>("cmdCorrelate")->click();
             Tour::settle(1500);
             if (CorrelationWindow *correlation = window_.correlationWindow())
                 tour_.picture(correlation);
         }},
        {QStringLiteral("correlation-save-list-message"),
         [this] {
             CorrelationWindow *correlation = window_.correlationWindow();
             if (!correlation)
                 return;
             tour_.answerNext(Answer{true, false, QString()});
             tour_.answerNext(Answer{false, false, QString()});  // the save dialog: Cancel
             correlation->findChild<QPushButton *>("cmdKavra9222")->click();
             Tour::settle();
             correlation->close();
         }},
        {QStringLiteral("multiple-items"), window([this] { chartItems(QStringLiteral("CPU Busy Cpu 0")); })},
        {QStringLiteral("filtered-item-list"),  // the charted items hidden by the filter stay charted
         window([this] { QTest::keyClicks(window_.findChild<QLineEdit *>("txtKavraFilter"), QStringLiteral("disk b")); })},
        {QStringLiteral("filter-cleared"), window([this] {
             QTest::keyClick(window_.findChild<QLineEdit *>("txtKavraFilter"), Qt::Key_Escape);
         })},
        {QStringLiteral("cursors-with-readout"),
         [this] {
             trigger("mnuCursors");
             Tour::settle();
             const QRect area = window_.chart().findChild<QCustomPlot *>()->axisRect()->rect();
             const double b = (cursorLinePixel(window_.chart(), 1) - area.left()) / area.width();
             dragOverChart(Qt::LeftButton, {b, 0.5}, {b + 0.12, 0.5});  // B, dragged on
             if (auto *readout = window_.findChild<QDialog *>(QStringLiteral("frmKavraReadout"))) {
                 readout->move(window_.geometry().right() - readout->frameGeometry().width(),
                               window_.geometry().bottom() - readout->frameGeometry().height());
                 Tour::settle();
                 tour_.picture(&window_, readout->frameGeometry());
             }
         }},
        {QStringLiteral("cursor-readout-window"),
         [this] {
             if (auto *readout = window_.findChild<QDialog *>(QStringLiteral("frmKavraReadout")))
                 tour_.picture(readout);
         }},
        {QStringLiteral("ranking-window"),
         [this] {
             pictureWindowOf("mnuRankItemsByChange", "frmKavraRanking", 800);
             trigger("mnuCursors");  // off again
         }},
        {QStringLiteral("stacked"), window([this] { window_.findChild<QRadioButton *>("OptStack(0)")->click(); })},
        {QStringLiteral("unstacked"), window([this] { window_.findChild<QRadioButton *>("OptStack(1)")->click(); })},
        {QStringLiteral("two-items"), window([this] { chartItems(QStringLiteral("Cache Hits/s")); })},
        {QStringLiteral("dual-mode-1"), window([this] { trigger("mnuCycleDualCharts"); })},
        {QStringLiteral("dual-mode-2"), window([this] { trigger("mnuCycleDualCharts"); })},
        {QStringLiteral("ratio-charts"), window([this] {
             trigger("mnuCycleDualCharts");
             Tour::settle();
             trigger("mnuGenerateRatioCharts");
         })},
        {QStringLiteral("ratio-charts-moving-average"), window([this] { trigger("mnuToggleMovingAverage"); })},
        {QStringLiteral("message-no-relevant-items"),
         [this] {
             tour_.answerNext(Answer{false, true, QStringLiteral("no such item")});
             tour_.answerNext(Answer{true, true, QString()});
             trigger("mnuChartMultipleItems");
         }},
        {QStringLiteral("add-new-item-window"), [this] { pictureWindowOf("mnuAddNewItem", "frmKavra5"); }},
        {QStringLiteral("remove-zero-items-window"),
         [this] {
             // The window shows only while the removal runs, which lets no events
             // through: it is shown again with what it reported.
             trigger("mnuRemoveZeroItems");
             if (auto *zero = window_.findChild<QDialog *>(QStringLiteral("frmKavra4"))) {
                 zero->show();
                 tour_.picture(zero);
                 zero->hide();
             }
         }},
        {QStringLiteral("properties-window"), [this] { pictureWindowOf("mnuProperties", "frmKavra6"); }},
        {QStringLiteral("about-window"), [this] { pictureWindowOf("mnuHelpAbout", "frmKavra3"); }},
        {QStringLiteral("release-notes-window"), [this] { pictureWindowOf("mnuViewReleaseNotes", "frmKavra7"); }},
    };
    for (int tab = 0; tab < 5; ++tab)
        scenes.push_back({QStringLiteral("chart-editor-tab-%1").arg(tab + 1), [this, tab] { showEditorTab(tab); }});
    const std::vector<Scene> prompts = {
        {QStringLiteral("prompt-chart-title"), [this] { prompt("mnuSetChartTitle", QStringLiteral("Tour title")); }},
        {QStringLiteral("prompt-chart-sub-title"),
         [this] { prompt("mnuSetChartSubTitle", QStringLiteral("Tour sub-title")); }},
        {QStringLiteral("prompt-chart-footer"), [this] { prompt("mnuSetChartFooter", QStringLiteral("Tour footer")); }},
        {QStringLiteral("chart-with-titles"), window(nothing)},
        {QStringLiteral("prompt-primary-line-width"),
         [this] { prompt("mnuSetPrimaryChartLineWidth", QStringLiteral("3")); }},
        {QStringLiteral("prompt-secondary-line-width"),
         [this] { prompt("mnuSetSecondaryChartLineWidth", QStringLiteral("2")); }},
        {QStringLiteral("chart-with-line-widths"), window(nothing)},
        {QStringLiteral("prompt-sort-key-start"),
         [this] { prompt("mnuSortItemsinAlphabeticalOrder", QStringLiteral("5")); }},
        {QStringLiteral("sorted-from-position-5"), window(nothing)},
        {QStringLiteral("prompt-remove-items-containing"),
         [this] { prompt("mnuRemoveItemsContainingString", QStringLiteral("Queue")); }},
        {QStringLiteral("items-containing-removed"), window(nothing)},
        {QStringLiteral("prompt-remove-items-not-containing"),
         [this] { prompt("mnuRemoveItemsNotContainingString", QString(), false); }},
        {QStringLiteral("median-order"), window([this] { trigger("mnuSortInMedianOrder"); })},
        {QStringLiteral("sort-order-descending"), window([this] { trigger("mnuSetSortOrderDescending"); })},
        {QStringLiteral("previous-item-list"), window([this] { trigger("mnuRevertToPreviousItemList"); })},
        {QStringLiteral("original-order"), window([this] { trigger("mnuListItemsinOriginalOrder"); })},
        {QStringLiteral("print-preview-dialog"), [this] { prompt("mnuPrintPreview", QString(), false); }},
        {QStringLiteral("print-dialog"), [this] { prompt("mnuPrintChart", QString(), false); }},
        {QStringLiteral("export-chart-dialog"), [this] { prompt("mnuExportChart", QString(), false); }},
        {QStringLiteral("save-as-dialog"), [this] { prompt("mnuSaveDataAs", QString(), false); }},
        {QStringLiteral("two-files-loaded"), window([this] { openFile(QStringLiteral("node2_day.csv"), false); })},
        {QStringLiteral("two-files-chart"), window([this] { chartItems(QStringLiteral("CPU Busy Cpu 03")); })},
        {QStringLiteral("file-closed"), window([this] { trigger("mnuCloseFile"); })},
    };
    scenes.insert(scenes.end(), prompts.begin(), prompts.end());
    return scenes;
}

}  // namespace
}  // namespace kavra::tour

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavra"));
    if (argc != 3) {
        std::fprintf(stderr, "usage: kavra_tour FOLDER EXAMPLES\n");
        return 2;
    }
    kavra::QtInteraction interaction;
    kavra::MainWindow window(interaction);
    window.Form_Load(QString());
    window.show();
    kavra::tour::Tour tour(QString::fromLocal8Bit(argv[1]));
    kavra::tour::Scenes scenes(tour, window, QString::fromLocal8Bit(argv[2]));
    const int missing = tour.run(scenes.all());
    window.close();
    std::fprintf(stderr, "tour: %d scene(s) without a picture\n", missing);
    return missing == 0 ? 0 : 1;
}
