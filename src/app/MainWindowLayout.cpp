// The main window lays its controls out at fixed fractions of its size, those of
// its design in a reference window of 17000 x 12000 twips, and keeps a minimum size.

#include "app/MainWindow.h"

#include "app/StatusBar.h"
#include "chart/ChartView.h"
#include "chart/PageNavigator.h"
#include "itemviews/ItemFilterBox.h"
#include "itemviews/ItemListView.h"
#include "ui/TwipsLayout.h"

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

// The design: every control's rectangle in twips of the reference window, whose
// fractions of it the controls keep at any size.
namespace design {
constexpr QSize kWindow{17000, 12000};
constexpr QSize kMinimum{11200, 8200};        // and at least half the screen each way
constexpr QRect kItemList{0, 0, 3600, 9000};  // the filter box takes its line off the top
constexpr int kChartHeight = 10500;           // the chart runs from the list to the right edge
constexpr QRect kPageNavigator{9000, 10550, 500, 250};
constexpr QRect kLabel{100, 10550, 12500, 250};
constexpr QRect kCorrelate{1800, 9300, 1500, 400};
constexpr QRect kZoomReset{1800, 9800, 1500, 600};
constexpr QRect kStackFrame{100, 9200, 1320, 1200};
constexpr QRect kProgress{2500, 5800, 12000, 400};
// The option buttons inside the stack frame, in twips of a frame designed at kFrame.
constexpr QSize kFrame{1200, 1200};
constexpr QRect kStack{120, 240, 975, 375};
constexpr QRect kUnStack{120, 720, 975, 375};
}  // namespace design

QRect place(int w, int h, const QRect &twips)
{
    return TwipsLayout::stretched(twips, design::kWindow, {w, h});
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
    using namespace design;
    const int gapRight = kItemList.width() - kCorrelate.left(), gapLeft = kCorrelate.left() - kStackFrame.left();
    const int width =
        std::max({correlate.width() * kWindow.width() / gapRight, zoomReset.width() * kWindow.width() / gapRight,
                  frame.width() * kWindow.width() / gapLeft, filter * kWindow.width() / kItemList.width()});
    const int height = std::max({correlate.height() * kWindow.height() / (kZoomReset.top() - kCorrelate.top()),
                                 zoomReset.height() * kWindow.height() / (kLabel.top() - kZoomReset.top()),
                                 frame.height() * kWindow.height() / (kLabel.top() - kStackFrame.top()),
                                 option.height() * kWindow.height() / kLabel.top()});
    return {width + 1, height + statusBar_->sizeHint().height() + 1};
}

// The stack frame big enough for its two option buttons at their fractions.
QSize MainWindow::minimumStackFrame() const
{
    const QSize option = stack_->sizeHint().expandedTo(unStack_->sizeHint());
    using namespace design;
    return {option.width() * kFrame.width() / kStack.width() + 1,
            std::max(option.height() * kFrame.height() / kStack.height(),
                     option.height() * kFrame.height() / (kUnStack.top() - kStack.top())) +
                1};
}

void MainWindow::layOutControls()
{
    using namespace design;
    // At least half the screen each way, at least the design's minimum, and room for every caption.
    const QSize screenSize = screen() ? screen()->geometry().size() : QSize(1024, 768);
    setMinimumSize(QSize(screenSize.width() / 2, screenSize.height() / 2)
                       .expandedTo(TwipsLayout::twipsToPixels(*this, kMinimum))
                       .expandedTo(minimumForCaptions()));

    // From the window's own size: raising the minimum resizes the window at once,
    // while the central area follows only later.
    const int w = width(), h = height() - (menuWidget() ? menuWidget()->height() : 0);
    const auto grown = [](QWidget *control, QRect r) {
        control->setGeometry(QRect(r.topLeft(), r.size().expandedTo(control->sizeHint())));
    };
    const QRect list = place(w, h, kItemList);
    const int filterHeight = itemFilter_ ? itemFilter_->sizeHint().height() : 0;
    if (itemFilter_)
        itemFilter_->setGeometry(list.left(), list.top(), list.width(), filterHeight);
    itemList_->setGeometry(list.adjusted(0, filterHeight, 0, 0));
    const int left = itemList_->width();
    chart_->setGeometry(left, 0, w - left, h * kChartHeight / kWindow.height());
    grown(pageNavigator_, place(w, h, kPageNavigator));
    QRect labelRect = place(w, h, kLabel);
    labelRect.setHeight(std::max(labelRect.height(), label_->text().isEmpty() ? 0 : label_->sizeHint().height()));
    label_->setGeometry(labelRect);
    // The label's strip runs under the navigator: the arrows lie on top and take their clicks.
    pageNavigator_->raise();
    grown(correlate_, place(w, h, kCorrelate));
    grown(zoomReset_, place(w, h, kZoomReset));
    const QRect frame = place(w, h, kStackFrame);
    stackFrame_->setGeometry(QRect(frame.topLeft(), frame.size().expandedTo(minimumStackFrame())));
    const int fw = stackFrame_->width(), fh = stackFrame_->height();
    grown(stack_, TwipsLayout::stretched(kStack, kFrame, {fw, fh}));
    grown(unStack_, TwipsLayout::stretched(kUnStack, kFrame, {fw, fh}));
    progress_->setGeometry(place(w, h, kProgress));
}

}  // namespace kavra
