#include "app/FollowCommands.h"

#include "app/AppState.h"
#include "items/ItemList.h"
#include "ui/Interaction.h"
#include "ui/Prompts.h"

#include <QAction>

#include <cmath>

namespace kavra {
namespace {

const QString kIntervalTitle = QStringLiteral("Set Follow Interval");
constexpr int kLongestInterval = 3600;

// The time of day of a date value as hh:mm:ss.
QString clockText(double dateValue)
{
    const long long seconds = std::llround((dateValue - std::floor(dateValue)) * 86400.0) % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

FollowCommands::FollowCommands(Context context, QObject *parent) : QObject(parent), c_(std::move(context))
{
    connect(&timer_, &QTimer::timeout, this, &FollowCommands::tick);
    rest_.setSingleShot(true);
    rest_.setInterval(0);
    connect(&rest_, &QTimer::timeout, this, &FollowCommands::tick);
    draw_.setSingleShot(true);
    draw_.setInterval(0);
    connect(&draw_, &QTimer::timeout, this, &FollowCommands::showRows);
}

void FollowCommands::fileLoaded(const std::optional<FollowStart> &start)
{
    if (start)
        waiting_.push_back(*start);
}

void FollowCommands::stop()
{
    timer_.stop();
    rest_.stop();
    if (draw_.isActive()) {  // rows read are drawn all the same
        draw_.stop();
        showRows();
    }
    c_.entry->setChecked(false);
}

void FollowCommands::closeAll()
{
    draw_.stop();  // nothing is left to draw
    stop();
    files_.clear();
    waiting_.clear();
}

void FollowCommands::mnuFollowGrowingFiles_Click(bool checked)
{
    if (c_.data.Files_Open == 0) {
        stop();  // nothing to follow
        return;
    }
    if (!checked) {
        stop();
        c_.setStatus(QString::fromLocal8Bit(c_.data.File_Names[0]));
        return;
    }
    start();
}

void FollowCommands::start()
{
    for (const FollowStart &start : waiting_)
        files_.add(start);
    waiting_.clear();
    FollowSet::makeRoom(c_.data);  // at once, so that no tick has to move every file's values
    shownRows_ = c_.data.Row_Count;
    changed_ = false;
    c_.entry->setChecked(true);
    timer_.start(interval_ * 1000);
    tick();  // what the files gained since they were loaded, at once
}

void FollowCommands::mnuSetFollowInterval_Click()
{
    for (;;) {
        const std::optional<QString> answer =
            c_.ui.input(c_.window, QStringLiteral("Please enter Follow Interval in seconds (1-%1) :").arg(kLongestInterval),
                        kIntervalTitle, QString::number(interval_));
        if (!answer)
            return;  // Cancel keeps the interval
        const std::optional<double> value = numericAnswer(answer);
        if (value && std::nearbyint(*value) >= 1 && std::nearbyint(*value) <= kLongestInterval) {
            interval_ = int(std::nearbyint(*value));
            if (timer_.isActive())
                timer_.start(interval_ * 1000);
            return;
        }
        c_.ui.message(c_.window,
                      QStringLiteral("The follow interval is a number of seconds from 1 to %1, not \"%2\".")
                          .arg(kLongestInterval)
                          .arg(*answer),
                      kIntervalTitle);
    }
}

void FollowCommands::tick()
{
    if (ticking_ || !c_.entry->isChecked())
        return;
    if (c_.busy()) {
        rest_.start(200);  // after the command that runs now
        return;
    }
    ticking_ = true;
    const FollowStep step =
        files_.step(c_.data, FollowSet::Clock::now() + std::chrono::milliseconds(kReadBudgetMs));
    for (const RowRange &range : step.changed)
        c_.items.derivedItems().computeRows(c_.data, range.file, range.first, range.last);
    changed_ = changed_ || !step.changed.empty();
    if (step.more) {
        rest_.start(0);
    } else if (changed_) {
        draw_.start();
    }
    if (!step.more || c_.data.Row_Count != shownRows_)
        c_.setStatus(statusText());
    for (const std::vector<FollowMessage> *messages : {&step.notices, &step.stops})
        for (const FollowMessage &shown : *messages)
            c_.ui.message(c_.window, QString::fromLocal8Bit(shown.message), QString::fromLocal8Bit(shown.title));
    if (files_.following() == 0) {
        stop();
        c_.setStatus(QString::fromLocal8Bit(c_.data.File_Names[0]));
    }
    ticking_ = false;
}

// A view that showed the last row shows the newest rows, as many as before;
// any other view stays where the user put it.
void FollowCommands::showRows()
{
    if (c_.busy()) {
        draw_.start(200);  // after the command that runs now
        return;
    }
    DisplayedRows &rows = c_.state.rows;
    if (rows.Zoom_Last_Row >= shownRows_ && c_.data.Row_Count > shownRows_) {
        const int width = rows.Zoom_Last_Row - rows.Zoom_First_Row;
        rows.Zoom_Last_Row = c_.data.Row_Count;
        rows.Zoom_First_Row = std::max(1, c_.data.Row_Count - width);
    }
    shownRows_ = c_.data.Row_Count;
    changed_ = false;
    c_.redraw();
}

QString FollowCommands::statusText() const
{
    if (c_.data.Row_Count < 1)
        return {};
    return QStringLiteral("Following %1 files \u2014 last row %2")
        .arg(files_.following())
        .arg(clockText(c_.data.sampleTime(c_.data.Row_Count)));
}

}  // namespace kavra
