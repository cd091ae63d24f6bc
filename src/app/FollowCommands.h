#pragma once
// Follow Growing Files: while it is on, a timer reads the records the loaded
// files gained since the last read, adds them to the data set as rows and draws
// the chart again. Each tick reads for a bounded time; what is left is read on
// the next timer event, so the window never waits long.

#include "data/FileFollower.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QWidget;

namespace kavra {

struct AppState;
struct DataSet;
class Interaction;
class ItemList;

class FollowCommands : public QObject {
    Q_OBJECT
public:
    struct Context {
        AppState &state;
        DataSet &data;
        ItemList &items;
        Interaction &ui;
        QWidget *window;
        QAction *entry;                          // the check item mnuFollowGrowingFiles
        std::function<void()> redraw;            // the chart again, for the rows there are now
        std::function<void(const QString &)> setStatus;
        std::function<bool()> busy;              // a command is running: the tick waits for the next one
    };

    FollowCommands(Context context, QObject *parent);

    // A file has been loaded; one loaded from disk can be followed.
    void fileLoaded(const std::optional<FollowStart> &start);
    // Open is loading another file: following stops, and is switched on again by the user.
    void stop();
    // Close: every file is forgotten.
    void closeAll();

    bool on() const { return timer_.isActive(); }
    // Reading or drawing is left for a later event of this tick.
    bool pending() const { return rest_.isActive() || draw_.isActive(); }
    int intervalSeconds() const { return interval_; }
    // The longest a tick reads before it leaves the rest for the next timer event.
    static constexpr int kReadBudgetMs = 25;

public slots:
    void mnuFollowGrowingFiles_Click(bool checked);
    void mnuSetFollowInterval_Click();
    // One timer event: reads and adds the rows; the chart is drawn again in an
    // event of its own, so that reading and drawing never add up in one event.
    void tick();

private:
    void start();
    void showRows();
    QString statusText() const;

    Context c_;
    FollowSet files_;
    std::vector<FollowStart> waiting_;  // loaded files not followed yet
    QTimer timer_;
    QTimer rest_;  // the rest of a tick that ran out of time
    QTimer draw_;  // the chart again, once the tick has read everything
    int interval_ = 5;
    int shownRows_ = 0;   // Row_Count when the chart was drawn last
    bool changed_ = false;
    bool ticking_ = false;
};

}  // namespace kavra
