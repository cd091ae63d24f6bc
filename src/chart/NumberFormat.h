#pragma once
// Number formats written the way the chart's settings keep them: "#,##0.###".
// '0' is a digit always shown, '#' a digit shown when needed, ',' in the integer
// part groups thousands, '.' starts the decimals.

#include <QString>

namespace kavra {

QString formatNumber(double value, const QString &format);

}  // namespace kavra
