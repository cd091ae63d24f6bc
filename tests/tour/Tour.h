#pragma once
// The screenshot tour: runs a list of scenes against the real viewer on a real
// display and writes one picture per scene, "NN-name.png", into a folder. Every
// question the viewer asks comes up as its real dialog; the DialogAnswerer
// pictures it and answers it, so nothing waits for a person.

#include <QDir>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

class QDialog;
class QWidget;

namespace kavra::tour {

// How the next modal dialog is answered.
struct Answer {
    bool picture = true;  // it is the scene's picture
    bool accept = true;   // OK, Yes, Open or Print; false for Cancel, No or Close
    QString text;         // typed into an input box, or the file chosen in a file dialog
};

class Tour;

// Pictures and answers each modal dialog once it has been drawn.
class DialogAnswerer : public QObject {
public:
    explicit DialogAnswerer(Tour &tour);

    void expect(const Answer &answer) { answers_.push_back(answer); }
    bool allAnswered() const { return answers_.empty(); }
    void forgetAnswers() { answers_.clear(); }

private:
    void look();
    void fillIn(QWidget *dialog, const Answer &how);
    void answer(QWidget *dialog, const Answer &how);

    Tour &tour_;
    std::deque<Answer> answers_;
    QTimer timer_;
    QPointer<QWidget> seen_;
    bool busy_ = false;
};

struct Scene {
    QString name;
    std::function<void()> run;  // takes the scene's picture, or has the answerer take it
};

class Tour {
public:
    explicit Tour(const QString &folder);

    // Runs every scene; the number of scenes that wrote no picture.
    int run(const std::vector<Scene> &scenes);

    // The picture of the current scene: the area of these windows on the screen.
    void picture(QWidget *top, const QRect &alsoShown = QRect());
    void answerNext(const Answer &answer) { answerer_.expect(answer); }
    // Lets the display draw what was just shown or changed.
    static void settle(int milliseconds = 400);
    // Waits until the window is on the screen and drawn.
    static bool waitExposed(QWidget *top);
    void note(const QString &text) const;
    // An unexpected dialog is pictured beside the scene's own picture.
    void pictureUnexpected(QWidget *dialog);

private:
    QString fileName(int scene, const QString &name) const;

    QDir folder_;
    std::vector<Scene> const *scenes_ = nullptr;
    int current_ = -1;
    bool pictured_ = false;
    int unexpected_ = 0;
    DialogAnswerer answerer_;
};

}  // namespace kavra::tour
