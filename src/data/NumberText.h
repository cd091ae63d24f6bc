#pragma once
#include <string>

namespace kavra {

// Signed number text: a blank before a non-negative number, a minus sign before a
// negative one; a full stop as decimal separator whatever the locale, no digit
// grouping, up to 15 significant digits, no trailing zeros, no zero before the
// point (0.25 gives " .25"), and E notation (" 1E+15", " 1.5E-05") at or above 1E15
// and below 0.0001. Used in messages, saved data files and legends.
std::string signedNumberText(double value);

}  // namespace kavra
