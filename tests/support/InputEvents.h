#pragma once
// Mouse, wheel and key events delivered straight to a widget, as the user's
// hand would produce them.

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextDocument>
#include <QToolTip>
#include <QWheelEvent>
#include <QWidget>

namespace input {

inline void mouse(QWidget *widget, QEvent::Type type, Qt::MouseButton button, const QPoint &at)
{
    const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), changed, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void press(QWidget *widget, Qt::MouseButton button, const QPoint &at)
{
    mouse(widget, QEvent::MouseButtonPress, button, at);
}

inline void move(QWidget *widget, Qt::MouseButton held, const QPoint &at) { mouse(widget, QEvent::MouseMove, held, at); }

inline void release(QWidget *widget, Qt::MouseButton button, const QPoint &at)
{
    mouse(widget, QEvent::MouseButtonRelease, button, at);
}

inline void click(QWidget *widget, const QPoint &at)
{
    press(widget, Qt::LeftButton, at);
    release(widget, Qt::LeftButton, at);
}

// Press, two moves and release: a drag from one point to another.
inline void drag(QWidget *widget, Qt::MouseButton button, const QPoint &from, const QPoint &to)
{
    press(widget, button, from);
    move(widget, button, (from + to) / 2);
    move(widget, button, to);
    release(widget, button, to);
}

// One notch of the wheel is 120; positive turns away from the user.
inline void wheel(QWidget *widget, const QPoint &at, int angle)
{
    QWheelEvent event(QPointF(at), widget->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

inline void key(QWidget *widget, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                bool autoRepeat = false)
{
    QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
    QApplication::sendEvent(widget, &event);
}

// A key pressed and let go.
inline void tap(QWidget *widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    input::key(widget, QEvent::KeyPress, key, modifiers);
    input::key(widget, QEvent::KeyRelease, key, modifiers);
}

// The tooltip the widget shows when the pointer rests at this point, as plain
// text; empty when the widget has none there.
inline QString toolTipAt(QWidget *widget, const QPoint &at)
{
    QHelpEvent event(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
    // A tooltip shown before may still be fading out: only an accepted event shows one.
    if (!event.isAccepted() || !QToolTip::isVisible())
        return QString();
    QTextDocument document;
    document.setHtml(QToolTip::text());
    return document.toPlainText();
}

}  // namespace input
