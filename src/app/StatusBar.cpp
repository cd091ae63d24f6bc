#include "app/StatusBar.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QTimer>

namespace kavra {

StatusBar::StatusBar(QWidget *parent)
    : QStatusBar(parent), panel_(new QLabel(this)), time_(new QLabel(this)), date_(new QLabel(this))
{
    setObjectName(QStringLiteral("stsKavra1"));
    panel_->setObjectName(QStringLiteral("stsKavra1Panel1"));
    time_->setObjectName(QStringLiteral("stsKavra1Time"));
    date_->setObjectName(QStringLiteral("stsKavra1Date"));
    panel_->setTextFormat(Qt::PlainText);
    addWidget(panel_, 1);
    addPermanentWidget(time_);
    addPermanentWidget(date_);
    auto *clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &StatusBar::updateClock);
    clock->start(1000);
    updateClock();
}

void StatusBar::setPanelText(const QString &text)
{
    panel_->setText(text);
    panel_->repaint();
}

QString StatusBar::panelText() const { return panel_->text(); }

void StatusBar::updateClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    time_->setText(QLocale().toString(now.time(), QLocale::ShortFormat));
    date_->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
}

}  // namespace kavra
