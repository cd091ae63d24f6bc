#include "tour/Tour.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace kavra::tour {
namespace {

constexpr int kSceneSeconds = 60;  // a scene that takes longer has hung

}  // namespace

DialogAnswerer::DialogAnswerer(Tour &tour) : tour_(tour)
{
    timer_.setInterval(50);
    connect(&timer_, &QTimer::timeout, this, &DialogAnswerer::look);
    timer_.start();
}

void DialogAnswerer::look()
{
    QWidget *dialog = QApplication::activeModalWidget();
    if (busy_ || !dialog || !dialog->isVisible())
        return;
    if (dialog != seen_) {
        seen_ = dialog;  // answered on a later look, once it is drawn
        return;
    }
    busy_ = true;
    Tour::waitExposed(dialog);
    if (answers_.empty()) {
        tour_.pictureUnexpected(dialog);
        answer(dialog, Answer{false, false, QString()});
    } else {
        const Answer how = answers_.front();
        answers_.pop_front();
        fillIn(dialog, how);
        if (how.picture)
            tour_.picture(dialog);
        answer(dialog, how);
    }
    seen_ = nullptr;
    busy_ = false;
}

// The answer typed in, so that the picture shows it.
void DialogAnswerer::fillIn(QWidget *dialog, const Answer &how)
{
    if (how.text.isNull())
        return;
    if (auto *input = qobject_cast<QInputDialog *>(dialog)) {
        input->setTextValue(how.text);
    } else if (auto *files = qobject_cast<QFileDialog *>(dialog)) {
        const QFileInfo file(how.text);
        files->setDirectory(file.absolutePath());
        Tour::settle(300);
        if (auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(file.fileName());
        else
            files->selectFile(file.fileName());
    }
    Tour::settle(200);
}

void DialogAnswerer::answer(QWidget *dialog, const Answer &how)
{
    if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
        QAbstractButton *button = box->button(how.accept ? QMessageBox::Yes : QMessageBox::No);
        if (!button)
            button = box->button(QMessageBox::Ok);
        if (button) {
            button->click();
            return;
        }
    }
    if (auto *modal = qobject_cast<QDialog *>(dialog)) {
        if (how.accept)
            modal->accept();
        else
            modal->reject();
    } else {
        dialog->close();
    }
}

Tour::Tour(const QString &folder) : folder_(folder), answerer_(*this) {}

QString Tour::fileName(int scene, const QString &name) const
{
    return QStringLiteral("%1-%2.png").arg(scene + 1, 2, 10, QLatin1Char('0')).arg(name);
}

void Tour::note(const QString &text) const
{
    const QString scene = scenes_ && current_ >= 0 ? fileName(current_, (*scenes_)[size_t(current_)].name) : QString();
    std::fprintf(stderr, "tour %s: %s\n", qPrintable(scene), qPrintable(text));
}

int Tour::run(const std::vector<Scene> &scenes)
{
    scenes_ = &scenes;
    // The plan first: what the pictures are checked against.
    QFile plan(folder_.filePath(QStringLiteral("scenes.txt")));
    if (plan.open(QIODevice::WriteOnly | QIODevice::Truncate))
        for (int i = 0; i < int(scenes.size()); ++i)
            plan.write((fileName(i, scenes[size_t(i)].name) + QLatin1Char('\n')).toUtf8());
    plan.close();

    int missing = 0;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [this] {
        note(QStringLiteral("hung for %1 s; the tour stops").arg(kSceneSeconds));
        std::fflush(stderr);
        std::_Exit(2);
    });
    for (current_ = 0; current_ < int(scenes.size()); ++current_) {
        pictured_ = false;
        watchdog.start(kSceneSeconds * 1000);
        scenes[size_t(current_)].run();
        settle(100);
        if (!answerer_.allAnswered()) {
            note(QStringLiteral("an expected dialog did not come up"));
            answerer_.forgetAnswers();
        }
        if (!pictured_) {
            note(QStringLiteral("no picture taken"));
            ++missing;
        }
    }
    watchdog.stop();
    return missing;
}

void Tour::settle(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

bool Tour::waitExposed(QWidget *top)
{
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        if (top->windowHandle() && top->windowHandle()->isExposed()) {
            settle();
            return true;
        }
        settle(50);
    }
    return false;
}

void Tour::picture(QWidget *top, const QRect &alsoShown)
{
    if (!waitExposed(top))
        note(QStringLiteral("%1 never came on the screen").arg(top->objectName()));
    const QRect area = top->frameGeometry().united(alsoShown.isValid() ? alsoShown : top->frameGeometry());
    const QPixmap shot = top->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QString name = fileName(current_, (*scenes_)[size_t(current_)].name);
    if (pictured_)
        note(QStringLiteral("a second picture replaces the first"));
    if (shot.save(folder_.filePath(name)))
        pictured_ = true;
    else
        note(QStringLiteral("could not write %1").arg(folder_.filePath(name)));
}

void Tour::pictureUnexpected(QWidget *dialog)
{
    const QString title = dialog->windowTitle();
    QString text;
    if (auto *box = qobject_cast<QMessageBox *>(dialog))
        text = box->text();
    note(QStringLiteral("unexpected dialog \"%1\": %2").arg(title, text));
    const QRect area = dialog->frameGeometry();
    dialog->screen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(folder_.filePath(QStringLiteral("unexpected-%1.png").arg(++unexpected_)));
}

}  // namespace kavra::tour
