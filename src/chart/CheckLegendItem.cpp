#include "chart/CheckLegendItem.h"

namespace kavra {

CheckLegendItem::CheckLegendItem(QCPLegend *legend, QCPAbstractPlottable *series, std::function<QString()> text)
    : QCPAbstractLegendItem(legend), series_(series), text_(std::move(text))
{
}

QColor CheckLegendItem::colour() const { return series_->pen().color(); }

int CheckLegendItem::boxSize() const { return QFontMetrics(mFont).height() - 4; }

int CheckLegendItem::naturalWidth() const
{
    return boxSize() + 6 + QFontMetrics(mFont).size(0, text_()).width() + mMargins.left() + mMargins.right();
}

QSize CheckLegendItem::minimumOuterSizeHint() const
{
    const QFontMetrics metrics(mFont);
    const int width = widthLimit_ > 0 ? qMin(naturalWidth(), widthLimit_) : naturalWidth();
    return QSize(width, qMax(boxSize(), metrics.height()) + 2 + mMargins.top() + mMargins.bottom());
}

QRect CheckLegendItem::textRect() const
{
    const int box = boxSize();
    return QRect(mRect.left() + box + 6, mRect.top(), qMax(0, mRect.width() - box - 6), mRect.height());
}

QString CheckLegendItem::shownText() const
{
    return QFontMetrics(mFont).elidedText(text_(), Qt::ElideMiddle, textRect().width());
}

void CheckLegendItem::draw(QCPPainter *painter)
{
    const int box = boxSize();
    const QRect area = mRect;
    const QRect boxRect(area.left(), area.top() + (area.height() - box) / 2, box, box);
    painter->setPen(QPen(Qt::black, 1));
    painter->setBrush(Qt::white);
    painter->drawRect(boxRect);
    if (series_->visible()) {
        painter->setPen(QPen(Qt::black, 2));
        painter->drawLine(QPointF(boxRect.left() + box * 0.2, boxRect.top() + box * 0.55),
                          QPointF(boxRect.left() + box * 0.45, boxRect.bottom() - box * 0.2));
        painter->drawLine(QPointF(boxRect.left() + box * 0.45, boxRect.bottom() - box * 0.2),
                          QPointF(boxRect.right() - box * 0.15, boxRect.top() + box * 0.2));
    }
    painter->setFont(mFont);
    painter->setPen(colour());
    painter->drawText(textRect(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

}  // namespace kavra
