#pragma once
// Controls placed at design rectangles in twips inside a window of fixed design
// size. A control whose text needs more room than its rectangle gives at the font
// in use grows; the controls right of it or below it move along, and the window
// grows with them, so the design's arrangement is kept and no caption is clipped.
// A window that stretches with its size (the main window) places its controls at
// the same fractions of its size as in the design, through stretched().

#include <QObject>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace kavra {

class TwipsLayout : public QObject {
public:
    // clientTwips: the design size of the window's client area.
    TwipsLayout(QWidget *window, QSize clientTwips);

    void place(QWidget *control, int left, int top, int width, int height);
    // Places every control again for the texts and fonts they have now.
    void fit();

    // A design rectangle of a window designed at designSize, at the same fractions
    // of a window of the given size (in pixels).
    static QRect stretched(const QRect &design, QSize designSize, QSize size);
    // Twips in pixels at the window's logical resolution.
    static QSize twipsToPixels(const QWidget &window, QSize twips);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Placed {
        QWidget *control;
        QRect design;  // in pixels
    };
    QRect pixels(int left, int top, int width, int height) const;

    QWidget *window_;
    QSize client_;  // in pixels
    std::vector<Placed> placed_;
};

}  // namespace kavra
