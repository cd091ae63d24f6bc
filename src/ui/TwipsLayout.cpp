#include "ui/TwipsLayout.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include <algorithm>

namespace kavra {
namespace {

bool carriesText(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return !label->text().isEmpty();
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return !button->text().isEmpty();
    if (const auto *frame = qobject_cast<const QGroupBox *>(control))
        return !frame->title().isEmpty();
    return false;
}

// The growth along one direction of each control, and how far each control moves
// because a control before it (ending at or before its start) grew.
std::vector<int> shifts(const std::vector<int> &starts, const std::vector<int> &ends, const std::vector<int> &growth)
{
    std::vector<size_t> order(starts.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return starts[a] < starts[b]; });
    std::vector<int> shift(starts.size(), 0);
    for (size_t b : order)
        for (size_t a : order)
            if (a != b && ends[a] <= starts[b])
                shift[b] = std::max(shift[b], shift[a] + growth[a]);
    return shift;
}

}  // namespace

TwipsLayout::TwipsLayout(QWidget *window, QSize clientTwips) : QObject(window), window_(window)
{
    client_ = pixels(0, 0, clientTwips.width(), clientTwips.height()).size();
    window_->resize(client_);
    window_->installEventFilter(this);
}

QRect TwipsLayout::pixels(int left, int top, int width, int height) const
{
    const int dx = window_->logicalDpiX(), dy = window_->logicalDpiY();
    return {left * dx / 1440, top * dy / 1440, width * dx / 1440, height * dy / 1440};
}

QRect TwipsLayout::stretched(const QRect &design, QSize designSize, QSize size)
{
    const qint64 w = size.width(), h = size.height();
    return {int(w * design.left() / designSize.width()), int(h * design.top() / designSize.height()),
            int(w * design.width() / designSize.width()), int(h * design.height() / designSize.height())};
}

QSize TwipsLayout::twipsToPixels(const QWidget &window, QSize twips)
{
    return {twips.width() * window.logicalDpiX() / 1440, twips.height() * window.logicalDpiY() / 1440};
}

void TwipsLayout::place(QWidget *control, int left, int top, int width, int height)
{
    placed_.push_back({control, pixels(left, top, width, height)});
    fit();
}

void TwipsLayout::fit()
{
    const size_t n = placed_.size();
    std::vector<int> lefts(n), rights(n), tops(n), bottoms(n), wider(n), taller(n);
    for (size_t i = 0; i < n; ++i) {
        const QRect &r = placed_[i].design;
        const QWidget *control = placed_[i].control;
        const QSize needed = !control->isHidden() && carriesText(control) ? control->sizeHint() : QSize();
        lefts[i] = r.left();
        rights[i] = r.left() + r.width();
        tops[i] = r.top();
        bottoms[i] = r.top() + r.height();
        wider[i] = std::max(0, needed.width() - r.width());
        taller[i] = std::max(0, needed.height() - r.height());
    }
    const std::vector<int> dx = shifts(lefts, rights, wider), dy = shifts(tops, bottoms, taller);
    int growX = 0, growY = 0;
    for (size_t i = 0; i < n; ++i) {
        const QRect &r = placed_[i].design;
        placed_[i].control->setGeometry(r.left() + dx[i], r.top() + dy[i], r.width() + wider[i],
                                        r.height() + taller[i]);
        growX = std::max(growX, dx[i] + wider[i]);
        growY = std::max(growY, dy[i] + taller[i]);
    }
    const QSize needed = client_ + QSize(growX, growY);
    if (window_->width() < needed.width() || window_->height() < needed.height())
        window_->resize(window_->size().expandedTo(needed));
}

// A control's text or visibility changing asks its window to lay out again.
bool TwipsLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window_ && (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show ||
                               event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange))
        fit();
    return QObject::eventFilter(watched, event);
}

}  // namespace kavra
