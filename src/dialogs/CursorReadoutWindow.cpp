#include "dialogs/CursorReadoutWindow.h"

#include "analysis/RangeStatistics.h"
#include "chart/NumberFormat.h"
#include "data/TimeStrings.h"

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
#include <QTableWidget>

#include <algorithm>
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
    resize(820, 300);
}

CursorReadoutWindow::~CursorReadoutWindow() = default;

analysis::RangeFigures CursorReadoutWindow::figuresOf(const ReadoutSeries &series, size_t first, size_t last,
                                                      size_t index)
{
    if (last - first + 1 <= kDirectRows)
        return analysis::rangeFigures(series.values, first, last);
    const std::pair<int, int> key = series.file > 0 ? std::pair(series.column, series.file) : std::pair(0, int(index));
    std::unique_ptr<analysis::RangeStatistics> &kept = kept_[key];
    if (!kept || kept->size() != series.count) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        kept = std::make_unique<analysis::RangeStatistics>(series.values, series.count);
        QApplication::restoreOverrideCursor();
    }
    return kept->figures(first, last);
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
    timeA_->setText(QStringLiteral("A : ") + dateText(input.timeA));
    timeB_->setText(QStringLiteral("B : ") + dateText(input.timeB));
    span_->setText(QStringLiteral("B \u2212 A : ") + spanText(input.timeB - input.timeA));
    table_->setRowCount(int(input.series.size()));
    for (size_t s = 0; s < input.series.size(); ++s) {
        const ReadoutSeries &series = input.series[s];
        QStringList cells(kColumns.size());
        cells[0] = series.name;
        // The rows of the series between the cursors; none when it has no values there.
        const long long a = input.rowA - series.firstRow, b = input.rowB - series.firstRow;
        const long long count = (long long)series.count;
        const auto text = [&](double v) { return std::isfinite(v) ? formatNumber(v, series.format) : QString(); };
        const auto at = [&](long long i) {
            return i >= 0 && i < count ? series.values[i] : std::numeric_limits<double>::quiet_NaN();
        };
        cells[1] = text(at(a));
        cells[2] = text(at(b));
        cells[3] = text(at(b) - at(a));
        if (b >= 0 && a < count) {
            const analysis::RangeFigures f = figuresOf(series, size_t(std::max(0LL, a)), size_t(std::min(b, count - 1)), s);
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
