#pragma once
// frmKavra1, the main window. It owns all state for the life of the program: the
// data set, the application state, the item-list revisions and the chart; menus,
// buttons and keys run the handlers below.

#include "app/AppState.h"
#include "app/CommandTable.h"
#include "chart/SeriesSources.h"
#include "data/DataSet.h"
#include "items/ItemList.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace kavra {

class AboutWindow;
class ChartCommands;
class CursorCommands;
class PropertiesWindow;
class ReleaseNotesWindow;
class OutputCommands;
class CorrelationWindow;
class ItemListCommands;
class ChartView;
class FollowCommands;
struct RedrawResult;
class Interaction;
class PageNavigator;
class ItemFilterBox;
class ItemListView;
class StatusBar;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The window uses the given interaction for every question it asks.
    explicit MainWindow(Interaction &interaction, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Form_Load: the start-up sequence; opens the file the command line names.
    void Form_Load(const QString &commandLine);

    AppState &state() { return state_; }
    DataSet &data() { return data_; }
    ItemList &items() { return items_; }
    // A menu entry by its object name; none for a command this edition lacks.
    QAction *action(const QString &name) const { return actions_.value(name); }
    QAction *action(Command command) const;
    QMenu *menu(Menu menu) const { return menus_[size_t(menu)]; }
    ChartView &chart() const { return *chart_; }
    ChartCommands &chartCommands() const { return *chartCommands_; }
    ItemListCommands &itemCommands() const { return *itemCommands_; }
    CursorCommands &cursorCommands() const { return *cursorCommands_; }
    OutputCommands &outputCommands() const { return *outputCommands_; }
    // Follow Growing Files; none in the classic edition.
    FollowCommands *followCommands() const { return follow_; }
    // The correlation window, once Correlate has made it.
    CorrelationWindow *correlationWindow() const { return correlation_; }
    QString statusText() const;
    void setStatusText(const QString &text);

    static QString windowCaption(const QString &programPath, int major, int minor, int revision);

public slots:
    void mnuOpenFile_Click();
    void mnuSaveDataAs_Click();
    void mnuCloseFile_Click();
    void mnuExit_Click();
    void mnuHelpAbout_Click();
    void mnuViewReleaseNotes_Click();
    void mnuProperties_Click();
    // The redraw: charts the selected rows of the current item list.
    void lvwKavra_Click();
    void cmdZoomReset_Click();
    void cmdCorrelate_Click();
    // Events of the chart.
    void tchKavra_OnAfterDraw();
    void tchKavra_OnMouseEnterSeries(int series, int point);
    void tchKavra_OnMouseLeaveSeries();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Files dropped onto the window are opened in turn (app/FileDrop.cpp).
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    friend class LoadProgress;

    void createControls();
    void createMenus();
    void connectChartCommands();
    void connectItemCommands();
    void connectOutputCommands();
    void connectCursorCommands();
    void chartOnly(int column);
    void connectFollowCommands();
    // The redraw without its side effects on other windows and the focus, for
    // rows that came while the user works elsewhere.
    void redrawForNewRows();
    void applyRedrawResult(const RedrawResult &result);
    void showCurrentList();
    PropertiesWindow &propertiesWindow();
    // Every menu entry enabled (and the cursors' entry checked) as what it depends on is now.
    void updateEntries();
    void layOutControls();
    QSize minimumForCaptions() const;
    QSize minimumStackFrame() const;
    void showLoadedControls(bool visible);
    void showLeftOutItems(const QString &text);
    void showFilesLoadedBefore(bool leftDualLayout);
    void finishLoad();
    void openDroppedItems(const QStringList &files, const QStringList &refused);
    // The Open command on path, asking the user for a file when it is empty.
    void openFile(const QString &path);
    void loadFile(QString path);
    void openQueuedDrops();

    Interaction &interaction_;
    AppState state_;
    DataSet data_;
    SeriesSources sources_;  // of the series charted
    ItemList items_;
    QHash<QString, QAction *> actions_;
    std::array<QMenu *, 6> menus_{};
    ChartAllows chartAllows_;         // by the chart drawn last
    bool releaseNotesFound_ = false;  // when the window started
    ItemListView *itemList_ = nullptr;
    ItemFilterBox *itemFilter_ = nullptr;  // none in the classic edition
    ChartView *chart_ = nullptr;
    PageNavigator *pageNavigator_ = nullptr;
    ChartCommands *chartCommands_ = nullptr;
    ItemListCommands *itemCommands_ = nullptr;
    CursorCommands *cursorCommands_ = nullptr;
    FollowCommands *follow_ = nullptr;
    CorrelationWindow *correlation_ = nullptr;
    OutputCommands *outputCommands_ = nullptr;
    PropertiesWindow *properties_ = nullptr;
    AboutWindow *about_ = nullptr;
    ReleaseNotesWindow *releaseNotes_ = nullptr;
    StatusBar *statusBar_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QPushButton *correlate_ = nullptr;
    QPushButton *zoomReset_ = nullptr;
    QGroupBox *stackFrame_ = nullptr;
    QRadioButton *stack_ = nullptr;
    QRadioButton *unStack_ = nullptr;
    QLabel *label_ = nullptr;
    // A load lets window events run; an Open arriving meanwhile is refused and
    // files dropped meanwhile wait here for it to end.
    bool loading_ = false;
    QStringList queuedDrops_;
    bool leftOutShown_ = false;  // panel 1 says that selected items are left out
};

// The entries that loading enables and closing disables.
QStringList dataMenuEntries();

}  // namespace kavra
