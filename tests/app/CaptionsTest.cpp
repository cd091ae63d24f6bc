// Every caption of every window is shown whole at the platform's default font,
// at the screen's own scale (CTest runs this file a second time at scale 2).

#include "app/WindowFixture.h"

#include "chart/ChartView.h"
#include "support/ChartAccess.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

namespace {

QString describe(const QWidget *w)
{
    return QStringLiteral("%1 \"%2\" in %3: %4x%5, needs %6x%7")
        .arg(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName())
        .arg(w->property("text").toString().isEmpty() ? w->property("title").toString()
                                                      : w->property("text").toString())
        .arg(w->window()->objectName())
        .arg(w->width())
        .arg(w->height())
        .arg(w->sizeHint().width())
        .arg(w->sizeHint().height());
}

bool carriesText(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return !label->text().isEmpty();
    if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        return !button->text().isEmpty();
    if (const auto *frame = qobject_cast<const QGroupBox *>(w))
        return !frame->title().isEmpty();
    // A text box of its own (a spin box's is sized by the spin box).
    if (const auto *box = qobject_cast<const QLineEdit *>(w); box && !qobject_cast<const QAbstractSpinBox *>(w->parentWidget()))
        return !box->text().isEmpty() || !box->placeholderText().isEmpty();
    return false;
}

QSize roomNeeded(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w); label && label->wordWrap())
        return {0, label->heightForWidth(label->width())};
    if (qobject_cast<const QGroupBox *>(w))
        return w->minimumSizeHint();
    if (qobject_cast<const QLineEdit *>(w))  // as wide as its own least, as high as a line of text
        return {w->minimumSizeHint().width(), w->sizeHint().height()};
    return w->sizeHint();
}

// A widget is clipped when it is smaller than its text needs, or when it reaches
// beyond one of the widgets it lies in.
QStringList clippedCaptions(QWidget *top)
{
    QStringList clipped;
    for (QWidget *w : top->findChildren<QWidget *>()) {
        if (!w->isVisible() || w->window() != top || !carriesText(w))
            continue;
        const QSize needed = roomNeeded(w);
        bool fits = w->width() >= needed.width() && w->height() >= needed.height();
        for (QWidget *inner = w; fits && inner != top; inner = inner->parentWidget())
            fits = inner->parentWidget()->rect().contains(inner->geometry());
        if (!fits)
            clipped << describe(w);
    }
    if (auto *bar = top->findChild<QMenuBar *>())
        for (QAction *entry : bar->actions())
            if (entry->isVisible() && !bar->rect().contains(bar->actionGeometry(entry)))
                clipped << QStringLiteral("menu bar entry ") + entry->text();
    return clipped;
}

QStringList clippedMenuEntries(QMenu *menu)
{
    QStringList clipped;
    menu->popup(QPoint(10, 10));
    QCoreApplication::processEvents();
    if (menu->width() < menu->sizeHint().width() || menu->height() < menu->sizeHint().height())
        clipped << QStringLiteral("menu ") + menu->title();
    for (QAction *entry : menu->actions()) {
        if (entry->menu())
            clipped << clippedMenuEntries(entry->menu());
        else if (!entry->isSeparator() && menu->actionGeometry(entry).width() <
                                              menu->fontMetrics().horizontalAdvance(QString(entry->text()).remove('&')))
            clipped << QStringLiteral("menu entry ") + entry->text();
    }
    menu->hide();
    return clipped;
}

class CaptionsTest : public WindowTest {
protected:
    // Every window on screen now, checked as the user sees it.
    void expectWholeCaptions(const char *step)
    {
        QCoreApplication::processEvents();
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->isVisible()) {
                const QStringList clipped = clippedCaptions(top);
                EXPECT_TRUE(clipped.isEmpty()) << step << ":\n" << clipped.join('\n').toStdString();
            }
    }
    void trigger(const char *entry) { window->action(QString::fromLatin1(entry))->trigger(); }
};

TEST_F(CaptionsTest, NoWindowClipsACaption)
{
    window->show();
    expectWholeCaptions("no file");
    open(KAVRA_EXAMPLES "/node1_day.csv");
    ASSERT_EQ(window->data().Files_Open, 1) << lastMessage().toStdString();
    expectWholeCaptions("file loaded");
    auto *filter = window->findChild<QLineEdit *>(QStringLiteral("txtKavraFilter"));
    ASSERT_NE(filter, nullptr);
    filter->setText(QStringLiteral("cpu"));
    expectWholeCaptions("item list filtered");
    filter->clear();

    window->cmdCorrelate_Click();
    expectWholeCaptions("correlation window");

    trigger("mnuAddNewItem");
    expectWholeCaptions("add item window");
    if (auto *add = window->findChild<QDialog *>(QStringLiteral("frmKavra5")))
        add->close();

    trigger("mnuRemoveZeroItems");
    if (auto *zero = window->findChild<QDialog *>(QStringLiteral("frmKavra4")))
        zero->show();
    expectWholeCaptions("remove zero items window");

    trigger("mnuProperties");
    trigger("mnuHelpAbout");
    window->mnuViewReleaseNotes_Click();
    expectWholeCaptions("properties, about and release notes");

    trigger("mnuEditChartProperties");
    auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("tabChartEditor"));
    ASSERT_NE(tabs, nullptr);
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        expectWholeCaptions(qPrintable(QStringLiteral("chart editor, tab ") + tabs->tabText(i)));
    }
}

TEST_F(CaptionsTest, NoMenuClipsAnEntry)
{
    window->show();
    open(KAVRA_EXAMPLES "/node1_day.csv");
    for (QAction *entry : window->menuBar()->actions()) {
        const QStringList clipped = clippedMenuEntries(entry->menu());
        EXPECT_TRUE(clipped.isEmpty()) << clipped.join('\n').toStdString();
    }
}

// At a scale above 1 the chart is drawn at the screen's resolution: its grab has
// the screen's pixel ratio and edges one device pixel fine, not a bitmap of
// doubled pixels.
TEST_F(CaptionsTest, ChartIsDrawnAtTheScreensResolution)
{
    window->show();
    open(KAVRA_EXAMPLES "/node1_day.csv");
    QCoreApplication::processEvents();
    // As a chart made on a screen of another pixel density and then moved here.
    kavra::plotOf(window->chart())->setBufferDevicePixelRatio(1);
    const qreal ratio = window->devicePixelRatioF();
    const QImage picture = window->chart().grab().toImage();
    EXPECT_EQ(picture.devicePixelRatio(), ratio);
    EXPECT_EQ(picture.width(), qRound(window->chart().width() * ratio));
    if (ratio < 2)
        return;
    int fineBlocks = 0;  // 2 x 2 blocks of device pixels that are not all one colour
    for (int y = 0; y + 1 < picture.height(); y += 2)
        for (int x = 0; x + 1 < picture.width(); x += 2) {
            const QRgb p = picture.pixel(x, y);
            if (picture.pixel(x + 1, y) != p || picture.pixel(x, y + 1) != p || picture.pixel(x + 1, y + 1) != p)
                ++fineBlocks;
        }
    EXPECT_GT(fineBlocks, 500) << "the chart is a scaled-up bitmap";
}

}  // namespace
