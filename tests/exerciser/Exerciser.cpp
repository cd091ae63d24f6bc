#include "Exerciser.h"

#include "FilePool.h"

#include "app/KeyboardShortcuts.h"
#include "app/MainWindow.h"
#include "items/ItemList.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QWidget>

namespace {

constexpr size_t kHistoryKept = 50;

}  // namespace

Exerciser::Exerciser(uint64_t seed) : random_(seed)
{
    outputFolder_ = folder_.path() + QStringLiteral("/out");
    QDir().mkpath(outputFolder_);
    QDir().mkpath(folder_.path() + QStringLiteral("/pool"));
    pool_ = writeFilePool(folder_.path() + QStringLiteral("/pool"));
    ui_ = std::make_unique<ExerciserInteraction>(random_, pool_.paths, outputFolder_);
    ui_->log = [this](const QString &text) { note(text); };
    ui_->wordsOnShow = [this] { return itemNames(); };
    ui_->loadedFile = [this] {
        return window_->data().Files_Open > 0 ? QFile::decodeName(QByteArray::fromStdString(window_->data().File_Names[0]))
                                              : QString();
    };
    startWindow(QString());
}

Exerciser::~Exerciser() = default;

void Exerciser::startWindow(const QString &commandLine)
{
    window_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window_ = std::make_unique<kavra::MainWindow>(*ui_);
    // Ctrl+X and closing the window end the program; here they start it afresh.
    if (auto *keys = window_->findChild<kavra::KeyboardShortcuts *>(QStringLiteral("KeyboardShortcuts")))
        keys->exitProgram = [this](int) { exitAsked_ = true; };
    window_->show();
    liveStale_ = false;
    window_->Form_Load(commandLine);
    shownWithLoad_.clear();
}

// Written into the history at once, so that a step that crashes shows what it did.
void Exerciser::note(const QString &text)
{
    history_.back() += (current_.isEmpty() ? QStringLiteral(": ") : QStringLiteral("; ")) + text;
    current_ += text;
}

QStringList Exerciser::itemNames() const
{
    QStringList names;
    for (const kavra::ItemRow &row : window_->items().current().rows)
        names << QString::fromLocal8Bit(row.text);
    return names;
}

// Lets what the step posted run (layouts, paints, deferred deletes) and closes a
// pop-up menu left open, as a click elsewhere would.
void Exerciser::settle()
{
    QCoreApplication::processEvents();
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::optional<QString> Exerciser::step()
{
    ++steps_;
    int total = 0;
    for (const Action &action : actions())
        total += action.weight;
    int roll = random_.below(total);
    const Action *chosen = &actions().front();
    for (const Action &action : actions()) {
        if (roll < action.weight) {
            chosen = &action;
            break;
        }
        roll -= action.weight;
    }
    ++counts_[chosen->kind];
    current_.clear();
    ui_->written.clear();
    ui_->messages.clear();
    ui_->questions = 0;
    ui_->pipeChosen = false;
    correlated_ = false;
    history_.push_back(QStringLiteral("%1 %2").arg(steps_).arg(QString::fromLatin1(chosen->kind)));
    if (history_.size() > kHistoryKept)
        history_.pop_front();
    (this->*chosen->run)();
    ui_->faults().lift();
    settle();
    if (window_->data().Files_Open == 0)
        liveStale_ = false;
    if (exitAsked_) {
        exitAsked_ = false;
        note(QStringLiteral("the program ended; started afresh"));
        startWindow(QString());
    }

    for (const QString &failure :
         {rowRangeFits(), tagsNameStoredColumns(), chartShowsTheSelection(), windowsShowLiveData(),
          savedFilesLoadAgain(), writtenFilesAreWhole(), oddFilesAreTold(), stackedSeriesAreSums(),
          movingAveragesAreMeans(), derivedItemsHoldTheirResults(), correlationListAgrees()})
        if (!failure.isEmpty())
            return failure;
    return std::nullopt;
}
