// Copy Chart: the chart on the clipboard as a picture and as an SVG drawing,
// from the File menu and from the keyboard, and what the user is told when
// there is nothing to copy or nowhere to copy it to.

#include "app/WindowFixture.h"

#include "app/OutputCommands.h"
#include "chart/ChartView.h"
#include "itemviews/ItemListView.h"
#include "support/ChartAccess.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

namespace {

const char kSvg[] = "image/svg+xml";

bool isRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}

// The pixels of area (in the chart's own units) that are not white, and those of
// them that are red, the colour of the first series.
struct Ink {
    int any = 0, red = 0;
};
Ink inkIn(const QImage &image, const QRect &area)
{
    const double scale = image.devicePixelRatio();
    const QRect pixels(QPoint(int(area.left() * scale), int(area.top() * scale)),
                       QPoint(int(area.right() * scale), int(area.bottom() * scale)));
    Ink ink;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            ink.any += qGray(pixel) < 245;
            ink.red += isRed(pixel);
        }
    return ink;
}

// The SVG drawing rendered by Qt's own SVG reader, as a paste would show it.
QImage renderedSvg(const QByteArray &svg, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

}  // namespace

class ChartClipboardTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window->resize(1000, 700);
        window->show();
        QApplication::clipboard()->setText(QStringLiteral("held before"));
    }

    void load() { open(dir.write("day.csv", kGoodFile)); }
    kavra::ChartView &chart() const { return window->chart(); }
    const QMimeData *held() const { return QApplication::clipboard()->mimeData(); }
    kavra::OutputCommands *outputCommands() const { return window->findChild<kavra::OutputCommands *>(); }

    // What a paste of the clipboard's picture gives: the chart as on screen, drawn
    // at the screen's pixels, with the series in its plot.
    void expectTheChartOnTheClipboard()
    {
        ASSERT_TRUE(held());
        ASSERT_TRUE(held()->hasImage());
        const QImage image = qvariant_cast<QImage>(held()->imageData());
        const double scale = chart().devicePixelRatioF();
        EXPECT_EQ(image.size(), chart().size() * scale);
        const QRect plot = kavra::plotOf(chart())->axisRect()->rect();
        const Ink ink = inkIn(image, plot);
        EXPECT_GT(ink.red, plot.width() / 2) << "the line of the first series";
        EXPECT_GT(ink.any, ink.red) << "grid and axes";
        // White behind the chart, as in an exported picture.
        EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(Qt::white));

        ASSERT_TRUE(held()->hasFormat(QLatin1String(kSvg)));
        const QByteArray svg = held()->data(QLatin1String(kSvg));
        EXPECT_TRUE(QSvgRenderer(svg).isValid());
        EXPECT_TRUE(svg.contains("Node(s) : NODE1")) << "the chart's title as text";
        const QImage drawing = renderedSvg(svg, chart().size());
        ASSERT_FALSE(drawing.isNull());
        EXPECT_GT(inkIn(drawing, plot).red, plot.width() / 2);
    }
};

TEST_F(ChartClipboardTest, CopyChartPutsThePictureAndTheDrawingOnTheClipboard)
{
    QAction *copy = window->action(QStringLiteral("mnuCopyChart"));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->text(), QStringLiteral("Copy Chart"));
    EXPECT_TRUE(window->findChild<QMenu *>(QStringLiteral("mnuFile"))->actions().contains(copy));
    EXPECT_FALSE(copy->isEnabled()) << "nothing to copy before a file is open";

    load();
    ASSERT_TRUE(copy->isEnabled());
    // The copy is drawn apart: the chart on screen is not drawn again (white and
    // back), which took longer than the copy itself.
    int screenDraws = 0;
    QObject::connect(&chart(), &kavra::ChartView::afterDraw, &chart(), [&screenDraws] { ++screenDraws; });
    copy->trigger();
    EXPECT_EQ(screenDraws, 0);
    expectTheChartOnTheClipboard();
    EXPECT_TRUE(ui.messages.empty()) << lastMessage().toStdString();
    // The chart on screen keeps its own panel colour.
    EXPECT_EQ(chart().panelColour(), QColor(236, 233, 216));
    EXPECT_EQ(QColor(kavra::plotOf(chart())->grab().toImage().pixel(1, 1)), QColor(236, 233, 216));

    window->mnuCloseFile_Click();
    EXPECT_FALSE(copy->isEnabled());
}

TEST_F(ChartClipboardTest, CtrlShiftCCopiesTheChart)
{
    load();
    QWidget *list = child<QWidget>("lvwKavra");
    const auto send = [list](QEvent::Type type, int key, Qt::KeyboardModifiers held) {
        QKeyEvent event(type, key, held);
        QApplication::sendEvent(list, &event);
    };
    send(QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
    send(QEvent::KeyPress, Qt::Key_Shift, Qt::ControlModifier);
    send(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    send(QEvent::KeyRelease, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    send(QEvent::KeyRelease, Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
    send(QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier);
    expectTheChartOnTheClipboard();
    EXPECT_EQ(window->data().Files_Open, 1) << "Ctrl+C closes; Ctrl+Shift+C must not";
}

TEST_F(ChartClipboardTest, WithoutAClipboardTheUserIsToldAndNothingBreaks)
{
    load();
    ASSERT_TRUE(outputCommands());
    outputCommands()->clipboard = [] { return static_cast<QClipboard *>(nullptr); };
    window->action(QStringLiteral("mnuCopyChart"))->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("The chart was not copied: there is no clipboard on this desktop"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("held before"));
    EXPECT_FALSE(chart().isHidden());
}

TEST_F(ChartClipboardTest, NothingChartedIsToldAndTheClipboardKeepsWhatItHeld)
{
    load();
    for (kavra::ItemRow &row : window->items().current().rows)
        row.selected = false;
    child<kavra::ItemListView>("lvwKavra")->refresh();
    window->lvwKavra_Click();
    ASSERT_EQ(chart().seriesCount(), 0);
    window->action(QStringLiteral("mnuCopyChart"))->trigger();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("The chart was not copied: there is no chart on screen to copy"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("held before"));
    EXPECT_FALSE(held()->hasFormat(QLatin1String(kSvg)));
}
