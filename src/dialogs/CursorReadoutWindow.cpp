#include "dialogs/CursorReadoutWindow.h"

#include "analysis/RangeStatistics.h"
#include "chart/NumberFormat.h"
#include "data/TimeStrings.h"
#include "ui/BusyCursor.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>
#include <atomic>
#include <thread>
#include <cmath>
#include <limits>

namespace kavra {
namespace {

// Runs up to this many rows are summed up directly; longer ones through the
// figures kept for their series, which are worked out once.
constexpr size_t kDirectRows = 1 << 16;

const QStringList kColumns = {QStringLiteral("Series"),  QStringLiteral("At A"),    QStringLiteral("At B"),
                              QStringLiteral("B \u2212 A"), QStringLiteral("Minimum"), QStringLiteral("Maximum"),
                              QStringLiteral("Mean"),    QStringLiteral("Median")};

QString dateText(double value) { return QString::fromStdString(timestr::generalDateText(value)); }

QIcon swatch(const QColor &colour)
{
    QPixmap pixmap(12, 12);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 11, 11);
    return QIcon(pixmap);
}

}  // namespace

QString spanText(double days)
{
    const long long milliseconds = std::llround(std::fabs(days) * 86400000.0);
    const long long seconds = milliseconds / 1000, wholeDays = seconds / 86400;
    QString text = QStringLiteral("%1:%2:%3")
                       .arg(seconds / 3600 % 24, 2, 10, QLatin1Char('0'))
                       .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (milliseconds % 1000 != 0)
        text += QStringLiteral(".%1").arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
    return wholeDays > 0 ? QStringLiteral("%1 d ").arg(wholeDays) + text : text;
}

CursorReadoutWindow::CursorReadoutWindow(QWidget *parent)
    : QDialog(parent), timeA_(new QLabel(this)), timeB_(new QLabel(this)), span_(new QLabel(this)),
      table_(new QTableWidget(this)), copy_(new QPushButton(QStringLiteral("Copy"), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmKavraReadout"));
    setWindowTitle(QStringLiteral("Cursor Readout"));
    setModal(false);
    timeA_->setObjectName(QStringLiteral("lblKavraCursorA"));
    timeB_->setObjectName(QStringLiteral("lblKavraCursorB"));
    span_->setObjectName(QStringLiteral("lblKavraCursorSpan"));
    QFont bold = font();
    bold.setBold(true);
    for (QLabel *label : {timeA_, timeB_, span_}) {
        label->setTextFormat(Qt::PlainText);
        label->setFont(bold);
    }
    table_->setObjectName(QStringLiteral("lvwKavraReadout"));
    table_->setColumnCount(int(kColumns.size()));
    table_->setHorizontalHeaderLabels(kColumns);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setWordWrap(false);
    copy_->setObjectName(QStringLiteral("cmdKavraReadoutCopy"));
    ok_->setObjectName(QStringLiteral("cmdKavraReadoutOK"));
    for (QPushButton *button : {copy_, ok_})
        button->setAutoDefault(false);
    connect(copy_, &QPushButton::clicked, this, &CursorReadoutWindow::cmdKavraReadoutCopy_Click);
    connect(ok_, &QPushButton::clicked, this, &CursorReadoutWindow::cmdKavraReadoutOK_Click);

    auto *layout = new QGridLayout(this);
    auto *times = new QHBoxLayout;
    times->addWidget(timeA_);
    times->addSpacing(24);
    times->addWidget(timeB_);
    times->addSpacing(24);
    times->addWidget(span_);
    times->addStretch();
    layout->addLayout(times, 0, 0);
    layout->addWidget(table_, 1, 0);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copy_);
    buttons->addWidget(ok_);
    layout->addLayout(buttons, 2, 0);
}

CursorReadoutWindow::~CursorReadoutWindow() = default;

namespace {

// The first and last index of the series' values between rows a and b (1-based,
// a <= b); false when it has none there.
bool valuesBetween(const ReadoutSeries &series, int a, int b, size_t &first, size_t &last)
{
    const long long from = a - series.firstRow, to = b - series.firstRow, count = (long long)series.count;
    if (to < 0 || from >= count)
        return false;
    first = size_t(std::max(0LL, from));
    last = size_t(std::min(to, count - 1));
    return true;
}

}  // namespace

std::pair<int, int> CursorReadoutWindow::keyOf(const ReadoutSeries &series, size_t index)
{
    return series.file > 0 ? std::pair(series.column, series.file) : std::pair(0, int(index));
}

// The figures of every series whose run is too long to sum up at each move are
// worked out once, the series side by side on every core (joined here).
void CursorReadoutWindow::keepFigures(const ReadoutInput &input)
{
    std::vector<size_t> wanted;
    for (size_t s = 0; s < input.series.size(); ++s) {
        size_t first = 0, last = 0;
        const ReadoutSeries &series = input.series[s];
        const auto found = kept_.find(keyOf(series, s));
        if (valuesBetween(series, input.rowA, input.rowB, first, last) && last - first + 1 > kDirectRows &&
            (found == kept_.end() || found->second->size() != series.count))
            wanted.push_back(s);
    }
    if (wanted.empty())
        return;
    BusyCursor busy;
    std::vector<std::unique_ptr<analysis::RangeStatistics>> made(wanted.size());
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t k = next++; k < wanted.size(); k = next++)
            made[k] = std::make_unique<analysis::RangeStatistics>(input.series[wanted[k]].values,
                                                                  input.series[wanted[k]].count);
    };
    {
        std::vector<std::jthread> helpers;
        const size_t threads = std::min<size_t>(wanted.size(), std::max(1u, std::thread::hardware_concurrency()));
        for (size_t t = 1; t < threads; ++t)
            helpers.emplace_back(work);
        work();
    }
    for (size_t k = 0; k < wanted.size(); ++k)
        kept_[keyOf(input.series[wanted[k]], wanted[k])] = std::move(made[k]);
}

analysis::RangeFigures CursorReadoutWindow::figuresOf(const ReadoutSeries &series, size_t first, size_t last,
                                                      size_t index)
{
    if (last - first + 1 <= kDirectRows)
        return analysis::rangeFigures(series.values, first, last);
    const auto found = kept_.find(keyOf(series, index));
    if (found == kept_.end() || found->second->size() != series.count)
        return analysis::rangeFigures(series.values, first, last);
    return found->second->figures(first, last);
}

void CursorReadoutWindow::showReadout(const ReadoutInput &input, bool newChart)
{
    if (newChart) {
        // Only the series charted now are kept; computed values were the last chart's.
        for (auto it = kept_.begin(); it != kept_.end();) {
            const bool charted = std::any_of(input.series.begin(), input.series.end(), [&](const ReadoutSeries &s) {
                return s.file > 0 && std::pair(s.column, s.file) == it->first;
            });
            it = charted ? std::next(it) : kept_.erase(it);
        }
    }
    keepFigures(input);
    timeA_->setText(QStringLiteral("A : ") + dateText(input.timeA));
    timeB_->setText(QStringLiteral("B : ") + dateText(input.timeB));
    span_->setText(QStringLiteral("B \u2212 A : ") + spanText(input.timeB - input.timeA));
    table_->setRowCount(int(input.series.size()));
    for (size_t s = 0; s < input.series.size(); ++s) {
        const ReadoutSeries &series = input.series[s];
        QStringList cells(kColumns.size());
        cells[0] = series.name;
        const long long a = input.rowA - series.firstRow, b = input.rowB - series.firstRow;
        const long long count = (long long)series.count;
        const auto text = [&](double v) { return std::isfinite(v) ? formatNumber(v, series.format) : QString(); };
        const auto at = [&](long long i) {
            return i >= 0 && i < count ? series.values[i] : std::numeric_limits<double>::quiet_NaN();
        };
        cells[1] = text(at(a));
        cells[2] = text(at(b));
        cells[3] = text(at(b) - at(a));
        if (size_t first = 0, last = 0; valuesBetween(series, input.rowA, input.rowB, first, last)) {
            const analysis::RangeFigures f = figuresOf(series, first, last, s);
            if (f.count > 0) {
                cells[4] = text(f.minimum);
                cells[5] = text(f.maximum);
                cells[6] = text(f.mean);
                cells[7] = text(f.median);
            }
        }
        for (int c = 0; c < int(cells.size()); ++c) {
            QTableWidgetItem *item = table_->item(int(s), c);
            if (!item) {
                item = new QTableWidgetItem;
                if (c > 0)
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                table_->setItem(int(s), c, item);
            }
            item->setText(cells[c]);
        }
        if (newChart || table_->item(int(s), 0)->icon().isNull())
            table_->item(int(s), 0)->setIcon(swatch(series.colour));
    }
    table_->resizeColumnsToContents();
    if (newChart)
        fitToTable();
}

// The window takes the size of its whole table (16 rows at most) whenever the
// chart is drawn anew; the user may make it smaller again.
void CursorReadoutWindow::fitToTable()
{
    const int frame = 2 * table_->frameWidth();
    int height = table_->horizontalHeader()->height() + frame;
    for (int r = 0; r < std::min(table_->rowCount(), 16); ++r)
        height += table_->rowHeight(r);
    int width = table_->horizontalHeader()->length() + frame;
    if (table_->rowCount() > 16)
        width += table_->verticalScrollBar()->sizeHint().width();
    if (const QScreen *shown = screen())
        width = std::min(width, shown->availableGeometry().width() * 9 / 10);
    table_->setMinimumSize(width, height);
    adjustSize();
    table_->setMinimumSize(0, 0);
}

void CursorReadoutWindow::forgetData()
{
    kept_.clear();
    table_->setRowCount(0);
}

QString CursorReadoutWindow::tableText() const
{
    QStringList lines = {kColumns.join(QLatin1Char('\t'))};
    for (int r = 0; r < table_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table_->columnCount(); ++c)
            cells << (table_->item(r, c) ? table_->item(r, c)->text() : QString());
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void CursorReadoutWindow::cmdKavraReadoutCopy_Click() { QApplication::clipboard()->setText(tableText()); }

void CursorReadoutWindow::cmdKavraReadoutOK_Click() { hide(); }

void CursorReadoutWindow::closeEvent(QCloseEvent *event)
{
    cmdKavraReadoutOK_Click();
    event->accept();
}

void CursorReadoutWindow::reject() { cmdKavraReadoutOK_Click(); }

}  // namespace kavra
