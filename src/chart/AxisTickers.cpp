#include "chart/AxisTickers.h"

#include "chart/NumberFormat.h"

namespace kavra {

namespace {

// The decimals a multiple of step needs to be written exactly (steps are 1, 2,
// 2.5 or 5 times a power of ten).
int decimalsOf(double step)
{
    int decimals = 0;
    for (double scaled = std::fabs(step); decimals < 15 && std::fabs(scaled - std::round(scaled)) > 1e-6 * scaled;
         scaled *= 10)
        ++decimals;
    return decimals;
}

}  // namespace

QString ValueTicker::getTickLabel(double tick, const QLocale &, QChar, int)
{
    // Ticks are multiples of the step: one within a millionth of a step from zero
    // is zero, whatever the size of the values.
    if (std::fabs(tick) < 1e-6 * step_)
        tick = 0;
    QString wanted = format;
    if (widenDecimals) {
        // Ticks closer together than the format's decimals would all read alike.
        const qsizetype point = format.indexOf(QLatin1Char('.'));
        const int decimals = point < 0 ? 0 : int(format.size() - point - 1);
        const int needed = decimalsOf(step_);
        if (needed > decimals)
            wanted += (point < 0 ? QStringLiteral(".") : QString()) + QString(needed - decimals, QLatin1Char('#'));
    }
    return formatNumber(tick, wanted);
}

QVector<double> ValueTicker::createTickVector(double tickStep, const QCPRange &range)
{
    step_ = tickStep;
    QVector<double> ticks = QCPAxisTicker::createTickVector(tickStep, range);
    const double slack = tickStep * 1e-9;
    ticks.erase(std::remove_if(ticks.begin(), ticks.end(),
                               [&](double t) { return t < bounds.lower - slack || t > bounds.upper + slack; }),
                ticks.end());
    return ticks;
}

QString qtDateTimeFormat(const QString &format)
{
    QString out;
    bool afterHours = false;
    for (qsizetype i = 0; i < format.size();) {
        const auto starts = [&](const char *token) {
            return format.mid(i, qsizetype(qstrlen(token))).compare(QLatin1String(token), Qt::CaseInsensitive) == 0;
        };
        const auto take = [&](const char *token, const char *qt) {
            out += QLatin1String(qt);
            i += qsizetype(qstrlen(token));
        };
        if (starts("yyyy")) take("yyyy", "yyyy");
        else if (starts("yy")) take("yy", "yy");
        else if (starts("mmmm")) take("mmmm", "MMMM");
        else if (starts("mmm")) take("mmm", "MMM");
        else if (starts("mm")) { take("mm", afterHours ? "mm" : "MM"); afterHours = false; continue; }
        else if (starts("nn")) take("nn", "mm");
        else if (starts("hh")) { take("hh", "HH"); afterHours = true; continue; }
        else if (starts("ss")) take("ss", "ss");
        else if (starts("dd")) take("dd", "dd");
        else if (starts("d")) take("d", "d");
        else if (format[i].isLetter()) { out += QLatin1Char('\'') + format[i] + QLatin1Char('\''); ++i; }
        else { out += format[i]; ++i; continue; }
        afterHours = false;
    }
    return out;
}

TimeTicker::TimeTicker()
{
    setDateTimeSpec(Qt::UTC);  // date values are the collector's wall-clock times
    setFormat(defaultFormat());
}

void TimeTicker::setFormat(const QString &format) { qtFormat_ = qtDateTimeFormat(format); }

bool TimeTicker::setRoom(int axisPixels, const QFont &labelFont)
{
    if (axisPixels == axisPixels_ && labelFont == labelFont_)
        return false;
    axisPixels_ = axisPixels;
    labelFont_ = labelFont;
    return true;
}

double TimeTicker::leastStep(const QCPRange &range)
{
    if (axisPixels_ <= 0 || !(range.size() > 0))
        return 0;
    const QFontMetrics metrics(labelFont_);
    // Labels differ only in their digits and month names: the two ends' labels
    // and one with wide digits stand for them all.
    int widest = 0;
    for (double key : {range.lower, range.upper, range.center()})
        widest = qMax(widest, metrics.horizontalAdvance(getTickLabel(key, QLocale::c(), QLatin1Char('g'), 0)));
    const int gap = qMax(8, metrics.height());
    return range.size() * (widest + gap) / axisPixels_;
}

double TimeTicker::getTickStep(const QCPRange &range)
{
    const double step = QCPAxisTickerDateTime::getTickStep(range);
    const double least = leastStep(range);
    if (step >= least)
        return step;
    // The date-time steps the plot's own ticker chooses from, in seconds.
    static const double kSteps[] = {1,           2.5,         5,           10,          15,         30,
                                    60,          2.5 * 60,    5 * 60,      10 * 60,     15 * 60,    30 * 60,
                                    3600,        2 * 3600,    3 * 3600,    6 * 3600,    12 * 3600,  86400,
                                    2 * 86400,   5 * 86400,   7 * 86400,   14 * 86400,  30.4375 * 86400,
                                    2 * 30.4375 * 86400, 3 * 30.4375 * 86400, 6 * 30.4375 * 86400,
                                    12 * 30.4375 * 86400};
    double wider = 0;
    for (double candidate : kSteps)
        if (candidate >= least) {
            wider = candidate;
            break;
        }
    if (wider == 0) {  // years: 1, 2 or 5 times a power of ten of them
        const double year = 12 * 30.4375 * 86400;
        const double magnitude = std::pow(10.0, std::floor(std::log10(least / year)));
        wider = magnitude * year;
        for (double mantissa : {1.0, 2.0, 5.0, 10.0})
            if (mantissa * magnitude * year >= least) {
                wider = mantissa * magnitude * year;
                break;
            }
    }
    if (least < 1 && wider > least) {  // below a second: plain numbers of seconds
        const double magnitude = std::pow(10.0, std::ceil(std::log10(least)));
        wider = magnitude;
    }
    mDateStrategy = wider > 30.4375 * 86400 - 1 ? dsUniformDayInMonth
                    : wider > 86400 - 1        ? dsUniformTimeInDay
                                               : dsNone;
    return wider;
}

QString TimeTicker::getTickLabel(double tick, const QLocale &, QChar, int)
{
    return QLocale::c().toString(QDateTime::fromMSecsSinceEpoch(qint64(std::llround(tick * 1000.0)), Qt::UTC),
                                 qtFormat_);
}

}  // namespace kavra
