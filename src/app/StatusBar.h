#pragma once
#include <QStatusBar>

class QLabel;

namespace kavra {

// The status bar stsKavra1: panel 1 with the program's messages, then the time of
// day and the date, kept current.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    void setPanelText(const QString &text);
    QString panelText() const;

private:
    void updateClock();

    QLabel *panel_;
    QLabel *time_;
    QLabel *date_;
};

}  // namespace kavra
