// The main window lays its controls out at fixed fractions of its size, for a
// reference window of 17000 x 12000 twips, and keeps a minimum size.

#include "app/MainWindow.h"

#include "app/StatusBar.h"
#include "chart/ChartView.h"
#include "chart/PageNavigator.h"
#include "items/ItemListView.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

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

void MainWindow::layOutControls()
{
    // At least half the screen each way, and at least 11200 x 8200 twips.
    const QSize screenSize = screen() ? screen()->geometry().size() : QSize(1024, 768);
    const int dpiX = logicalDpiX(), dpiY = logicalDpiY();
    setMinimumSize(qMax(screenSize.width() / 2, 11200 * dpiX / 1440),
                   qMax(screenSize.height() / 2, 8200 * dpiY / 1440));

    const QWidget *area = centralWidget();
    const int w = area->width(), h = area->height() + statusBar_->height();
    itemList_->setGeometry(place(w, h, 0, 0, 3600, 9000));
    const int left = itemList_->width();
    chart_->setGeometry(left, 0, w - left, h * 10500 / 12000);
    pageNavigator_->setGeometry(place(w, h, 9000, 10550, 500, 250));
    label_->setGeometry(place(w, h, 100, 10550, 12500, 250));
    correlate_->setGeometry(place(w, h, 1800, 9300, 1500, 400));
    zoomReset_->setGeometry(place(w, h, 1800, 9800, 1500, 600));
    stackFrame_->setGeometry(place(w, h, 100, 9200, 1320, 1200));
    const int fw = stackFrame_->width(), fh = stackFrame_->height();
    stack_->setGeometry(place(fw, fh, 120, 240, 975, 375, 1200, 1200));
    unStack_->setGeometry(place(fw, fh, 120, 720, 975, 375, 1200, 1200));
    progress_->setGeometry(place(w, h, 2500, 5800, 12000, 400));
}

}  // namespace kavra
