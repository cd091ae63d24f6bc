// Checks on the values shown, each computed again here in the plainest way: a
// stacked series is drawn at the sum of the series it stands on, a moving
// average is the mean of the points before it, a derived item holds its
// operation on its operands, and the first line of the correlation list gives
// the coefficient a two-pass computation gives.

#include "Exerciser.h"

#include "app/MainWindow.h"
#include "chart/ChartGraph.h"
#include "chart/ChartView.h"
#include "dialogs/CorrelationWindow.h"
#include "items/ItemList.h"
#include "support/ChartAccess.h"

#include <QListWidget>
#include <QRegularExpression>

#include <cmath>
#include <vector>

using namespace kavra;

namespace {

bool near(double a, double b, double scale)
{
    return std::fabs(a - b) <= 1e-9 * scale + 1e-300;
}

// The points to look at in a series of count points: the first, the middle and the last.
std::vector<int> sampled(int count)
{
    if (count <= 0)
        return {};
    return {0, count / 2, count - 1};
}

// The Pearson coefficient around the means, 0 where it is undefined.
double twoPassCorrelation(const double *x, const double *y, int n)
{
    if (n < 2)
        return 0;
    double mx = 0, my = 0;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i]))
            return 0;
        mx += x[i];
        my += y[i];
    }
    mx /= n, my /= n;
    long double sxy = 0, sxx = 0, syy = 0;
    for (int i = 0; i < n; ++i) {
        sxy += (long double)(x[i] - mx) * (y[i] - my);
        sxx += (long double)(x[i] - mx) * (x[i] - mx);
        syy += (long double)(y[i] - my) * (y[i] - my);
    }
    if (sxx == 0 || syy == 0)
        return 0;
    return double(sxy / std::sqrt(sxx * syy));
}

}  // namespace

QString Exerciser::stackedSeriesAreSums() const
{
    QCustomPlot *plot = plotOf(window_->chart());
    for (int g = 0; g < plot->graphCount(); ++g) {
        const auto *line = qobject_cast<const ChartGraph *>(plot->graph(g));
        if (!line || !line->stackBase())
            continue;
        const int count = line->data()->size();
        for (int p : sampled(count)) {
            double sum = 0, scale = 0;
            bool known = true;
            for (const ChartGraph *part = line; part && known; part = part->stackBase()) {
                known = p < part->data()->size() && std::isfinite((part->data()->constBegin() + p)->value);
                if (known) {
                    sum += (part->data()->constBegin() + p)->value;
                    scale += std::fabs((part->data()->constBegin() + p)->value);
                }
            }
            const std::vector<double> drawn = line->stackedValues(p, 1);
            ++checked_["stacked point"];
            if (known && (drawn.size() != 1 || !near(drawn[0], sum, scale)))
                return QStringLiteral("stacked series %1 \"%2\" point %3 is drawn at %4, the sum below it is %5")
                    .arg(g)
                    .arg(line->name())
                    .arg(p)
                    .arg(drawn.empty() ? qQNaN() : drawn[0], 0, 'g', 17)
                    .arg(sum, 0, 'g', 17);
        }
    }
    return {};
}

QString Exerciser::movingAveragesAreMeans() const
{
    const ChartView &chart = window_->chart();
    static const QRegularExpression averageName(QStringLiteral("^(.*)\\(MovAvgPer= ?(\\d+)\\)$"));
    for (int s = 0; s < chart.seriesCount(); ++s) {
        const auto match = averageName.match(chart.seriesStyle(s).name);
        if (!match.hasMatch())
            continue;
        int item = -1;
        for (int k = 0; k < chart.seriesCount() && item < 0; ++k)
            if (chart.seriesStyle(k).name == match.captured(1))
                item = k;
        const int period = match.captured(2).toInt();
        if (item < 0 || period < 1)
            continue;
        const int points = pointCount(chart, item);
        for (int p : sampled(pointCount(chart, s))) {
            const double x = pointX(chart, s, p);
            int at = 0;
            while (at < points && pointX(chart, item, at) != x)
                ++at;
            if (at == points || at + 1 < period)
                continue;  // its window starts before the points charted
            double sum = 0, scale = 0;
            bool finite = true;
            for (int i = at + 1 - period; i <= at; ++i) {
                finite = finite && std::isfinite(pointY(chart, item, i));
                sum += pointY(chart, item, i);
                scale += std::fabs(pointY(chart, item, i));
            }
            const double shown = pointY(chart, s, p);
            ++checked_["moving average point"];
            if (finite && !near(shown, sum / period, scale / period))
                return QStringLiteral("\"%1\" point %2 shows %3; the mean of the %4 points up to it is %5")
                    .arg(chart.seriesStyle(s).name)
                    .arg(p)
                    .arg(shown, 0, 'g', 17)
                    .arg(period)
                    .arg(sum / period, 0, 'g', 17);
        }
    }
    return {};
}

QString Exerciser::derivedItemsHoldTheirResults() const
{
    const DataSet &data = window_->data();
    if (data.Files_Open == 0)
        return {};
    const auto valueOf = [&](const Operand &operand, int row) {
        return operand.column > 0 ? data.Perf_Data(row, operand.column, 1) : operand.number;
    };
    for (const DerivedItem &item : window_->items().derivedItems().items()) {
        if (item.column > data.Perf_Data.columns() || item.a.column > data.Perf_Data.columns() ||
            item.b.column > data.Perf_Data.columns())
            return QStringLiteral("derived item in column %1 reaches beyond the table").arg(item.column);
        for (int r : sampled(data.Row_Count)) {
            const double a = valueOf(item.a, r + 1), b = valueOf(item.b, r + 1);
            double expected = 0;
            switch (item.op) {
            case Operator::Add: expected = a + b; break;
            case Operator::Subtract: expected = a - b; break;
            case Operator::Multiply: expected = a * b; break;
            case Operator::Divide: expected = b == 0 ? 0 : a / b; break;
            }
            const double held = data.Perf_Data(r + 1, item.column, 1);
            ++checked_["derived item row"];
            if (held != expected && !(std::isnan(held) && std::isnan(expected)))
                return QStringLiteral("derived item in column %1 row %2 holds %3; its operation gives %4")
                    .arg(item.column)
                    .arg(r + 1)
                    .arg(held, 0, 'g', 17)
                    .arg(expected, 0, 'g', 17);
        }
    }
    return {};
}

QString Exerciser::correlationListAgrees() const
{
    auto *correlation = window_->findChild<CorrelationWindow *>(QStringLiteral("frmKavra2"));
    auto *list = correlation ? correlation->findChild<QListWidget *>(QStringLiteral("lstKavra9221")) : nullptr;
    const DataSet &data = window_->data();
    if (!correlated_ || !list || !correlation->isVisible() || list->count() == 0 || data.Files_Open == 0)
        return {};
    const QString line = list->item(0)->text();
    const int column = list->item(0)->data(Qt::UserRole).toInt();
    const int reference = correlation->reference().column;
    const AppState &state = window_->state();
    const int first = std::max(1, int(state.rows.Zoom_First_Row));
    const int last = std::min(int(data.Row_Count), int(state.rows.Zoom_Last_Row));
    if (column < 1 || column > data.Perf_Data.columns() || reference < 1 || reference > data.Perf_Data.columns())
        return QStringLiteral("the correlation list's first line \"%1\" names column %2").arg(line).arg(column);
    const double r = twoPassCorrelation(data.Perf_Data.column(reference, data.Files_Open) + first - 1,
                                        data.Perf_Data.column(column, data.Files_Open) + first - 1, last - first + 1);
    ++checked_["correlation list"];
    QString shown = line.section(QStringLiteral("  "), 0, 0);
    const bool negative = shown.startsWith(QLatin1Char('('));
    shown.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    const double listed = negative ? -shown.toDouble() : shown.toDouble();
    if (std::fabs(listed - r) > 0.0005 + 1e-9 || std::fabs(r) <= 0.8)
        return QStringLiteral("the correlation list's first line \"%1\": a two-pass computation over rows %2 to %3 "
                              "gives %4")
            .arg(line)
            .arg(first)
            .arg(last)
            .arg(r, 0, 'f', 6);
    return {};
}
