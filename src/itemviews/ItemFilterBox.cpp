#include "itemviews/ItemFilterBox.h"

#include "itemviews/ItemListView.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace kavra {
namespace {

QString countText(int shown, int total, bool filtering)
{
    const QString items = total == 1 ? QStringLiteral("item") : QStringLiteral("items");
    return filtering ? QStringLiteral("%1 of %2 %3").arg(shown).arg(total).arg(items)
                     : QStringLiteral("%1 %2").arg(total).arg(items);
}

constexpr int kGap = 4;  // pixels between the text typed and the count

}  // namespace

ItemFilterBox::ItemFilterBox(ItemListView &list, QWidget *parent) : QLineEdit(parent), list_(list), count_(new QLabel(this))
{
    setObjectName(QStringLiteral("txtKavraFilter"));
    setPlaceholderText(QStringLiteral("Filter items"));
    setToolTip(QStringLiteral("Shows only the items whose name contains this text (Ctrl+F; Escape clears it)"));
    count_->setObjectName(QStringLiteral("lblKavraFilter"));
    count_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette grey = count_->palette();
    grey.setColor(QPalette::WindowText, grey.color(QPalette::PlaceholderText));
    count_->setPalette(grey);
    connect(this, &QLineEdit::textChanged, &list_, &ItemListView::setFilter);
    connect(&list_, &ItemListView::shownRowsChanged, this, &ItemFilterBox::showCount);
    list_.installEventFilter(this);
    setVisible(!list_.isHidden());
}

QSize ItemFilterBox::minimumSizeHint() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const int frame = width() - contents.width();
    const int widest = count_->fontMetrics().horizontalAdvance(countText(99999, 99999, true));
    return {frame + widest + 2 + kGap + 4 * fontMetrics().averageCharWidth(), QLineEdit::minimumSizeHint().height()};
}

void ItemFilterBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (!text().isEmpty())
            clear();
        else
            list_.setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        list_.setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ItemFilterBox::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    placeCount();
}

// Shown and hidden with the list itself, not with the window around both.
bool ItemFilterBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &list_ && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        setVisible(event->type() == QEvent::ShowToParent);
    return QLineEdit::eventFilter(watched, event);
}

void ItemFilterBox::showCount(int shown, int total)
{
    count_->setText(countText(shown, total, !text().isEmpty()));
    placeCount();
}

// The count at the right end, the text typed kept clear of it; in a box too
// narrow for both (a window smaller than its minimum) the text typed comes first.
void ItemFilterBox::placeCount()
{
    const QSize size = count_->sizeHint();
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const int room = size.width() + 2 + kGap;
    const bool fits = contents.width() >= room + 4 * fontMetrics().averageCharWidth();
    count_->setVisible(fits);
    const int top = std::max(0, (height() - size.height()) / 2);
    count_->setGeometry(contents.right() + 1 - size.width() - 2, top, size.width(), size.height());
    setTextMargins(0, 0, fits ? room : 0, 0);
}

}  // namespace kavra
