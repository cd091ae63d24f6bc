#include "dialogs/RemoveZeroItemsWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavra {

RemoveZeroItemsWindow::RemoveZeroItemsWindow(QWidget *parent)
    : QDialog(parent), removed_(new QListWidget(this)), heading_(new QLabel(this)), current_(new QLabel(this)),
      progress_(new QProgressBar(this)), ok_(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmKavra4"));
    setWindowTitle(QStringLiteral("Remove Items with Zero Data"));
    removed_->setObjectName(QStringLiteral("lstKavra9241"));
    heading_->setObjectName(QStringLiteral("lblKavra9241"));
    current_->setObjectName(QStringLiteral("lblKavra9242"));
    progress_->setObjectName(QStringLiteral("pbrKavra9241"));
    ok_->setObjectName(QStringLiteral("cmdKavra9241"));
    current_->setTextFormat(Qt::PlainText);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(removed_);
    layout->addWidget(current_);
    layout->addWidget(progress_);
    layout->addWidget(ok_, 0, Qt::AlignRight);
    connect(ok_, &QPushButton::clicked, this, &RemoveZeroItemsWindow::cmdKavra9241_Click);
    resize(480, 360);
}

void RemoveZeroItemsWindow::start(int rows)
{
    show();
    removed_->clear();
    heading_->setText(QStringLiteral("The following items have been removed : "));
    heading_->show();
    heading_->repaint();
    progress_->setRange(1, qMax(1, rows));
    progress_->setValue(1);
    progress_->show();
    current_->show();
    repainted_.start();
}

void RemoveZeroItemsWindow::visiting(const QString &text, int position)
{
    if (repainted_.elapsed() < 50)
        return;
    current_->setText(QStringLiteral("Processing ") + text + QStringLiteral(" ... "));
    progress_->setValue(position);
    repaint();
    repainted_.restart();
}

void RemoveZeroItemsWindow::removed(const QString &text) { removed_->addItem(text); }

void RemoveZeroItemsWindow::finish()
{
    current_->hide();
    progress_->hide();
    hide();
}

QStringList RemoveZeroItemsWindow::removedItems() const
{
    QStringList items;
    for (int i = 0; i < removed_->count(); ++i)
        items << removed_->item(i)->text();
    return items;
}

void RemoveZeroItemsWindow::cmdKavra9241_Click()
{
    ok_->hide();
    hide();
}

}  // namespace kavra
