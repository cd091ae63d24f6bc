// The report's pages: the summary, the charts K to a page, the footer.

#include "output/ChartReport.h"

#include "chart/ChartPages.h"
#include "chart/ChartRedraw.h"
#include "chart/ChartView.h"
#include "chart/SeriesSources.h"
#include "data/DataSet.h"
#include "items/ItemList.h"
#include "output/PrintFile.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace kavra {
namespace {

constexpr double kMarginMm = 12;
// Each chart is laid out as on a screen larger than its place on the page by
// this much, and at least this high, so that its titles, legend and labels
// leave the plot room.
constexpr double kChartScale = 0.7;
constexpr int kLeastLayoutHeight = 220;
constexpr double kLeastScale = 0.3;
const QString kGap = QStringLiteral("   ");  // between the figures of a statistics line
const QString kIndent = QStringLiteral("    ");

// A series' name and its statistics.
struct StatisticsLine {
    QString name;
    QString figures;
};

QStringList statisticsLines(const std::vector<StatisticsLine> &lines, const QFontMetrics &metrics, int width);

// The statistics lines under a chart, in one column or, for many files, two.
struct StatisticsBlock {
    QFont font;
    QStringList lines;
    int columns = 1;
    int columnWidth = 0;
    int lineHeight = 0;
    int height = 0;
};

class Page {
public:
    Page(QPainter &painter, const QPdfWriter &writer) : painter_(painter), dpi_(writer.resolution())
    {
        const int margin = mm(kMarginMm);
        area_ = QRect(margin, margin, writer.width() - 2 * margin, writer.height() - 2 * margin);
    }

    int mm(double millimetres) const { return int(std::lround(millimetres * dpi_ / 25.4)); }
    QFont font(double points, bool bold = false) const
    {
        QFont f(QStringLiteral("Sans Serif"));
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }
    int lineHeight(const QFont &f) const { return QFontMetrics(f, painter_.device()).lineSpacing(); }
    // Text in rect, cut with "..." where it does not fit.
    void text(const QRect &rect, const QFont &f, const QString &line, int flags = Qt::AlignLeft | Qt::AlignVCenter,
              Qt::TextElideMode elide = Qt::ElideRight)
    {
        painter_.setFont(f);
        const QFontMetrics metrics(f, painter_.device());
        painter_.drawText(rect, flags, metrics.elidedText(line, elide, rect.width()));
    }

    // The footer: a rule, the title at the left and the page's number at the right.
    // Returns the room above it.
    QRect footer(const QString &title, int page, int pages)
    {
        const QFont f = font(8);
        const int h = lineHeight(f);
        const QRect line(area_.left(), area_.bottom() - h, area_.width(), h);
        painter_.setPen(QPen(Qt::black, mm(0.2)));
        painter_.drawLine(line.left(), line.top() - mm(1), line.right(), line.top() - mm(1));
        const QString number = QStringLiteral("Page %1 of %2").arg(page).arg(pages);
        const int numberWidth = QFontMetrics(f, painter_.device()).horizontalAdvance(number) + mm(4);
        text(QRect(line.left(), line.top(), line.width() - numberWidth, h), f, title);
        text(line, f, number, Qt::AlignRight | Qt::AlignVCenter);
        return QRect(area_.left(), area_.top(), area_.width(), line.top() - mm(3) - area_.top());
    }

    void summary(const QRect &room, const QString &title, const std::vector<std::pair<QString, QString>> &lines)
    {
        const QFont heading = font(16, true), body = font(10), label = font(10, true);
        int y = room.top();
        text(QRect(room.left(), y, room.width(), lineHeight(heading)), heading, title);
        y += lineHeight(heading) + mm(6);
        const int labelWidth = mm(38), h = lineHeight(body) + mm(1);
        const QFontMetrics metrics(body, painter_.device());
        const int valueWidth = room.width() - labelWidth;
        for (const auto &[name, value] : lines) {
            if (y + h > room.bottom())
                break;
            text(QRect(room.left(), y, labelWidth, h), label, name);
            const QRect valueRect(room.left() + labelWidth, y, valueWidth, h);
            if (name.startsWith(QLatin1String("File "))) {  // a long path keeps its file name
                text(valueRect, body, value, Qt::AlignLeft | Qt::AlignVCenter, Qt::ElideMiddle);
                y += h;
                continue;
            }
            // Other long values (the names of the items all zero) go on over a few lines.
            const int wrapped = metrics.boundingRect(QRect(0, 0, valueWidth, 1 << 20), Qt::TextWordWrap, value).height();
            const QRect wrappedRect(valueRect.left(), y + (h - metrics.lineSpacing()) / 2, valueWidth,
                                    std::min(wrapped, 6 * metrics.lineSpacing()));
            painter_.setFont(body);
            painter_.drawText(wrappedRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, value);
            y += std::max(h, wrappedRect.height() + (h - metrics.lineSpacing()));
        }
    }

    // The lines of statistics laid out for the slot of a chart: at most a
    // little under half the slot high, in a smaller font where they need it;
    // in two columns for more than two files when the chart is as wide as the page.
    StatisticsBlock statisticsBlock(const std::vector<StatisticsLine> &statistics, const QRect &slot) const
    {
        StatisticsBlock block;
        block.columns = statistics.size() > 2 && slot.width() > mm(120) ? 2 : 1;  // a page's width
        block.columnWidth = (slot.width() - (block.columns - 1) * mm(4)) / block.columns;
        for (double points = 7.5; points >= 5; points -= 0.5) {
            block.font = font(points);
            const QFontMetrics metrics(block.font, painter_.device());
            // Two columns keep a line each (cut where it must be): a wrapped
            // line would run on into the other column.
            block.lines = statisticsLines(statistics, metrics, block.columns == 1 ? block.columnWidth : 1 << 20);
            block.lineHeight = metrics.lineSpacing();
            const int rows = (int(block.lines.size()) + block.columns - 1) / block.columns;
            block.height = rows * block.lineHeight;
            const bool fit = std::all_of(block.lines.begin(), block.lines.end(), [&](const QString &line) {
                return metrics.horizontalAdvance(line) <= block.columnWidth;
            });
            if (fit && block.height <= slot.height() * 45 / 100)
                break;
        }
        return block;
    }

    void drawStatistics(const StatisticsBlock &block, const QPoint &topLeft)
    {
        const int rows = (int(block.lines.size()) + block.columns - 1) / block.columns;
        for (int l = 0; l < block.lines.size(); ++l) {
            const int column = l / std::max(1, rows), row = l % std::max(1, rows);
            const QRect line(topLeft.x() + column * (block.columnWidth + mm(4)), topLeft.y() + row * block.lineHeight,
                             block.columnWidth, block.lineHeight);
            text(line, block.font, block.lines[l]);
        }
    }

    QPainter &painter_;

private:
    int dpi_;
    QRect area_;
};

int chartsPerPage(const ReportRequest &r)
{
    return std::clamp(r.perPage, 1, kReportMostChartsPerPage);
}

int pageCount(const ReportRequest &r)
{
    const size_t perPage = size_t(chartsPerPage(r));
    return 1 + int((r.items.size() + perPage - 1) / perPage);
}

// Draws the item alone as the viewer draws it, white behind; returns the
// statistics of each of its series from the files.
std::vector<StatisticsLine> drawItem(ChartView &chart, const ReportRequest &r, size_t item, SeriesSources &sources)
{
    ItemRevision alone;
    alone.rows.push_back(r.list.rows[item]);
    alone.rows.back().selected = true;
    ChartOptions options = r.options;
    options.setTitle(TitleLine::Header, QString::fromLocal8Bit(alone.rows.back().text).toStdString());
    sources.clear();
    const RedrawContext context{options, r.rows, r.data, sources};
    const RedrawResult drawn = redrawChart(chart, context, alone);
    chart.setPanelColour(Qt::white, false);
    std::vector<StatisticsLine> lines;
    const int itemSeries = std::min(drawn.seriesCount, int(r.data.Files_Open));
    for (int s = 0; s < itemSeries; ++s) {
        const SeriesValues values = sources.values(s, r.data);
        // With many files the chart's title names the item, and each line its file.
        const QString name = r.data.Files_Open > 2 ? QStringLiteral("(# %1)").arg(s + 1)
                                                    : QString::fromStdString(drawn.plan.series[size_t(s)].legend);
        lines.push_back({name, statisticsFigures(values.x, values.y, values.n, QString::fromStdString(options.axisFormat(false)))});
    }
    return lines;
}

// The lines under a chart of this width: name and figures on one line, or
// where they do not fit the name and then the figures, indented, as they fit.
QStringList statisticsLines(const std::vector<StatisticsLine> &lines, const QFontMetrics &metrics, int width)
{
    QStringList shown;
    for (const StatisticsLine &line : lines) {
        const QString whole = line.name + kGap + line.figures;
        if (metrics.horizontalAdvance(whole) <= width) {
            shown << whole;
            continue;
        }
        shown << line.name;
        QString next;
        for (const QString &figure : line.figures.split(kGap)) {
            const QString longer = next.isEmpty() ? kIndent + figure : next + kGap + figure;
            if (!next.isEmpty() && metrics.horizontalAdvance(longer) > width) {
                shown << next;
                next = kIndent + figure;
            } else {
                next = longer;
            }
        }
        shown << next;
    }
    return shown;
}

// Where a chart of the page goes: one column up to 4 charts a page, two beyond.
QRect chartSlot(const QRect &room, int perPage, int onPage, int gap)
{
    const int columns = perPage > 4 ? 2 : 1;
    const int rows = (perPage + columns - 1) / columns;
    const int width = (room.width() - gap * (columns - 1)) / columns;
    const int height = room.height() / rows;
    return QRect(room.left() + (onPage % columns) * (width + gap), room.top() + (onPage / columns) * height, width,
                 height);
}

QString paintReport(QPdfWriter &writer, const ReportRequest &r, const std::function<void(int, int)> &progress)
{
    ChartView chart;
    // The page at the screen's resolution: a chart's text is sized for it, as in an exported PDF.
    writer.setResolution(chart.logicalDpiX());
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(r.title);
    writer.setCreator(QStringLiteral("Kavra"));
    ChartPages pages(writer);
    if (!pages.isActive())
        return QStringLiteral("Cannot write the PDF document");
    Page page(pages.painter(), writer);
    const int total = pageCount(r);
    page.summary(page.footer(r.title, 1, total), r.title, reportSummary(r));

    SeriesSources sources;
    const int perPage = chartsPerPage(r);
    QRect room;
    for (size_t i = 0; i < r.items.size(); ++i) {
        const int onPage = int(i % size_t(perPage));
        if (onPage == 0) {
            if (!writer.newPage())
                return QStringLiteral("Cannot start a page of the PDF document");
            room = page.footer(r.title, 2 + int(i / size_t(perPage)), total);
        }
        const QRect slot = chartSlot(room, perPage, onPage, page.mm(6));
        const std::vector<StatisticsLine> statistics = drawItem(chart, r, r.items[i], sources);
        const StatisticsBlock block = page.statisticsBlock(statistics, slot);
        const QRect target(slot.left(), slot.top(), slot.width(),
                           std::max(1, slot.height() - block.height - page.mm(4)));
        // Laid out larger than the page shows it, so that the plot keeps room
        // beside its titles, legend and labels: a chart low on the page smaller still.
        double scale = kChartScale;
        if (target.height() / scale < kLeastLayoutHeight)  // but not so small as to be unreadable
            scale = std::max(kLeastScale, double(target.height()) / kLeastLayoutHeight);
        const int width = std::max(1, int(std::lround(target.width() / scale)));
        const int height = std::max(1, int(std::lround(target.height() / scale)));
        chart.resize(width, height);
        pages.paintChart(chart, width, height, target);
        page.drawStatistics(block, QPoint(slot.left(), target.bottom() + page.mm(1)));
        if (progress)
            progress(int(i) + 1, int(r.items.size()));
    }
    return pages.end() ? QString() : QStringLiteral("Cannot finish the PDF document");
}

}  // namespace

QString writeReport(const QString &path, const ReportRequest &request, const std::function<void(int, int)> &progress)
{
    return writePdfFile(path, [&](QPdfWriter &writer) { return paintReport(writer, request, progress); });
}

}  // namespace kavra
