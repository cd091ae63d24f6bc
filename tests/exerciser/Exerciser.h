#pragma once
// A seeded random walk over the whole main window: each step picks one action
// from a weighted table, runs it, and checks every invariant. The same seed gives
// the same walk.

#include "ExerciserInteraction.h"
#include "FilePool.h"
#include "Random.h"

#include "items/ItemList.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace kavra {
class MainWindow;
}

class Exerciser {
public:
    struct Action {
        const char *kind;
        int weight;
        void (Exerciser::*run)();
    };

    explicit Exerciser(uint64_t seed);
    ~Exerciser();

    // Runs one step; the failed invariant's description when one fails.
    std::optional<QString> step();
    long long steps() const { return steps_; }
    const std::map<std::string, long long> &actionCounts() const { return counts_; }
    // How often each kind of check found something to look at.
    const std::map<std::string, long long> &checkCounts() const { return checked_; }
    // Known faults met (first description of each kind) and how often.
    // The last actions, oldest first.
    QStringList history() const { return QStringList(history_.begin(), history_.end()); }

    // Invariants (Invariants.cpp); each returns what is wrong, empty when all is well.
    QString rowRangeFits() const;
    QString tagsNameStoredColumns() const;
    QString chartShowsTheSelection();
    QString chartMatchesSelection(const std::vector<kavra::ItemRow> &selected) const;
    static bool sameItems(std::vector<kavra::ItemRow> a, std::vector<kavra::ItemRow> b);
    std::vector<kavra::ItemRow> selectedRows() const;
    QString windowsShowLiveData();
    QString savedFilesLoadAgain() const;
    QString writtenFilesAreWhole() const;
    QString oddFilesAreTold() const;
    // Values (ValueChecks.cpp): what the chart and the windows show, computed again.
    QString stackedSeriesAreSums() const;
    QString movingAveragesAreMeans() const;
    QString derivedItemsHoldTheirResults() const;
    QString correlationListAgrees() const;

private:
    static const std::vector<Action> &actions();

    // Actions (Actions.cpp).
    void menuEntry();
    void openFile();
    void shortcut();
    bool correlateEnabled() const;
    void otherKey();
    void listClick();
    void listDrag();
    void chartDrag();
    void chartWheel();
    void chartHover();
    void legendTick();
    void stackOption();
    void mainButton();
    void smallWindow();
    void dropFiles();
    void restart();
    // (WindowActions.cpp)
    void changeFile();
    void windowShape();
    void focusMove();
    void widgetSignal();
    void contextMenu();
    void newItem();

    void startWindow(const QString &commandLine);
    void typeKeys(int key, Qt::KeyboardModifiers modifiers);
    void note(const QString &text);
    void settle();
    QStringList itemNames() const;

    Random random_;
    QTemporaryDir folder_;
    QString outputFolder_;
    FilePool pool_;
    bool liveStale_ = false;  // the live file changed after it was loaded
    bool correlated_ = false;  // the step pressed an enabled Correlate
    std::unique_ptr<ExerciserInteraction> ui_;
    std::unique_ptr<kavra::MainWindow> window_;
    bool exitAsked_ = false;
    std::vector<kavra::ItemRow> drawnSelection_;  // the selection the chart last matched
    long long steps_ = 0;
    std::map<std::string, long long> counts_;
    mutable std::map<std::string, long long> checked_;
    std::deque<QString> history_;
    QString current_;
    // Which load of the data a small window was showing when it appeared.
    std::map<QString, long long> shownWithLoad_;  // by window name
    long long load_ = 0;
    std::string loadedFirstFile_;
    int loadedRows_ = 0;
};
