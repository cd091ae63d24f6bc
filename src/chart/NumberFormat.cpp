#include "chart/NumberFormat.h"

#include <QRegularExpression>

#include <cmath>

namespace kavra {

QString formatNumber(double value, const QString &format)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const qsizetype point = format.indexOf(QLatin1Char('.'));
    const QString integerPart = point < 0 ? format : format.left(point);
    const QString decimals = point < 0 ? QString() : format.mid(point + 1);
    const int maxDecimals = int(decimals.count(QLatin1Char('0')) + decimals.count(QLatin1Char('#')));
    const int minDecimals = int(decimals.count(QLatin1Char('0')));
    const int minIntegerDigits = qMax(1, int(integerPart.count(QLatin1Char('0'))));
    const bool grouped = integerPart.contains(QLatin1Char(','));

    QString text = QString::number(std::fabs(value), 'f', maxDecimals);
    if (maxDecimals > minDecimals) {
        while (text.endsWith(QLatin1Char('0')) && text.size() - text.indexOf(QLatin1Char('.')) - 1 > minDecimals)
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    qsizetype integerEnd = text.indexOf(QLatin1Char('.'));
    if (integerEnd < 0)
        integerEnd = text.size();
    if (integerEnd < minIntegerDigits) {
        text.prepend(QString(minIntegerDigits - integerEnd, QLatin1Char('0')));
        integerEnd = minIntegerDigits;
    }
    if (grouped)
        for (qsizetype at = integerEnd - 3; at > 0; at -= 3)
            text.insert(at, QLatin1Char(','));
    const bool negative = value < 0 && text.contains(QRegularExpression(QStringLiteral("[1-9]")));
    return negative ? QLatin1Char('-') + text : text;
}

}  // namespace kavra
