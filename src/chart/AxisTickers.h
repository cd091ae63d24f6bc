#pragma once
// Axis labels in the chart's own formats: numbers as "#,##0.###", times as
// "hh:mm:ss (d-mmm-yyyy)", in English whatever the machine's language.

#include <qcustomplot.h>

namespace kavra {

class ValueTicker : public QCPAxisTicker {
public:
    QString format = QStringLiteral("#,##0.###");
    // Ticks are only placed between these values (the axis' span of the plot).
    QCPRange bounds{-std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    // More decimals than the format has when the ticks need them to differ.
    bool widenDecimals = false;

protected:
    QString getTickLabel(double tick, const QLocale &locale, QChar formatChar, int precision) override;
    QVector<double> createTickVector(double tickStep, const QCPRange &range) override;

private:
    double step_ = 1;
};

// Ticks far enough apart that their labels never run into each other: the step
// grows with the width of the labels and shrinks with the width of the axis.
class TimeTicker : public QCPAxisTickerDateTime {
public:
    TimeTicker();
    static QString defaultFormat() { return QStringLiteral("hh:mm:ss (d-mmm-yyyy)"); }
    // A format written with d, dd, mmm, mmmm, yy, yyyy, hh, mm (minutes after
    // hours), nn and ss.
    void setFormat(const QString &format);
    // The axis' length in pixels and the labels' font; true when either changed,
    // so that ticks laid out for the old ones must be laid out again.
    bool setRoom(int axisPixels, const QFont &labelFont);

protected:
    QString getTickLabel(double tick, const QLocale &locale, QChar formatChar, int precision) override;
    double getTickStep(const QCPRange &range) override;

private:
    // The least step (seconds) at which labels of this range keep apart.
    double leastStep(const QCPRange &range);

    QString qtFormat_;
    int axisPixels_ = 0;  // not yet laid out: no bound
    QFont labelFont_;
};

// A date-time format of the chart's kind as a Qt format.
QString qtDateTimeFormat(const QString &format);

}  // namespace kavra
