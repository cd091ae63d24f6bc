// The main window lays its controls out at fixed fractions of its size, for a
// reference window of 17000 x 12000 twips, and keeps a minimum size.

#include "app/MainWindow.h"

#include "app/StatusBar.h"
#include "chart/ChartView.h"
#include "chart/PageNavigator.h"
#include "items/ItemFilterBox.h"
#include "items/ItemListView.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>

namespace kavra {
namespace {

// A rectangle given in fractions of the reference size, in pixels of this window.
QRect place(int w, int h, int left, int top, int width, int height, int baseW = 17000, int baseH = 12000)
{
    return {int(qint64(w) * left / baseW), int(qint64(h) * top / baseH), int(qint64(w) * width / baseW),
            int(qint64(h) * height / baseH)};
}

}  // namespace

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layOutControls();
}

// The smallest window in which every caption fits: a control may grow beyond
// its fraction, but never into the control to its right or below it.
QSize MainWindow::minimumForCaptions() const
{
    const QSize correlate = correlate_->sizeHint(), zoomReset = zoomReset_->sizeHint();
    const QSize option = stack_->sizeHint().expandedTo(unStack_->sizeHint());
    const QSize frame = minimumStackFrame();
    // Buttons end left of the chart, the frame left of the buttons, each row
    // above the next; the filter box as wide as the list.
    const int filter = itemFilter_ ? itemFilter_->minimumSizeHint().width() : 0;
    const int width = std::max({correlate.width() * 17000 / (3600 - 1800), zoomReset.width() * 17000 / (3600 - 1800),
                                frame.width() * 17000 / (1800 - 100), filter * 17000 / 3600});
    const int height =
        std::max({correlate.height() * 12000 / (9800 - 9300), zoomReset.height() * 12000 / (10550 - 9800),
                  frame.height() * 12000 / (10550 - 9200), option.height() * 12000 / 10550});
    return {width + 1, height + statusBar_->sizeHint().height() + 1};
}

// The stack frame big enough for its two option buttons at their fractions.
QSize MainWindow::minimumStackFrame() const
{
    const QSize option = stack_->sizeHint().expandedTo(unStack_->sizeHint());
    return {option.width() * 1200 / 975 + 1,
            std::max(option.height() * 1200 / 375, option.height() * 1200 / (720 - 240)) + 1};
}

void MainWindow::layOutControls()
{
    // At least half the screen each way, at least 11200 x 8200 twips, and room for every caption.
    const QSize screenSize = screen() ? screen()->geometry().size() : QSize(1024, 768);
    const int dpiX = logicalDpiX(), dpiY = logicalDpiY();
    setMinimumSize(
        QSize(qMax(screenSize.width() / 2, 11200 * dpiX / 1440), qMax(screenSize.height() / 2, 8200 * dpiY / 1440))
            .expandedTo(minimumForCaptions()));

    // From the window's own size: raising the minimum resizes the window at once,
    // while the central area follows only later.
    const int w = width(), h = height() - (menuWidget() ? menuWidget()->height() : 0);
    const auto grown = [](QWidget *control, QRect r) {
        control->setGeometry(QRect(r.topLeft(), r.size().expandedTo(control->sizeHint())));
    };
    // The filter box takes its line off the top of the list's place.
    const QRect list = place(w, h, 0, 0, 3600, 9000);
    const int filterHeight = itemFilter_ ? itemFilter_->sizeHint().height() : 0;
    if (itemFilter_)
        itemFilter_->setGeometry(list.left(), list.top(), list.width(), filterHeight);
    itemList_->setGeometry(list.adjusted(0, filterHeight, 0, 0));
    const int left = itemList_->width();
    chart_->setGeometry(left, 0, w - left, h * 10500 / 12000);
    grown(pageNavigator_, place(w, h, 9000, 10550, 500, 250));
    QRect labelRect = place(w, h, 100, 10550, 12500, 250);
    labelRect.setHeight(std::max(labelRect.height(), label_->text().isEmpty() ? 0 : label_->sizeHint().height()));
    label_->setGeometry(labelRect);
    // The label's strip runs under the navigator: the arrows lie on top and take their clicks.
    pageNavigator_->raise();
    grown(correlate_, place(w, h, 1800, 9300, 1500, 400));
    grown(zoomReset_, place(w, h, 1800, 9800, 1500, 600));
    const QRect frame = place(w, h, 100, 9200, 1320, 1200);
    stackFrame_->setGeometry(QRect(frame.topLeft(), frame.size().expandedTo(minimumStackFrame())));
    const int fw = stackFrame_->width(), fh = stackFrame_->height();
    grown(stack_, place(fw, fh, 120, 240, 975, 375, 1200, 1200));
    grown(unStack_, place(fw, fh, 120, 720, 975, 375, 1200, 1200));
    progress_->setGeometry(place(w, h, 2500, 5800, 12000, 400));
}

}  // namespace kavra
