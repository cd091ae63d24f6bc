#include "data/NumberText.h"

#include <charconv>
#include <cmath>

namespace kavra {

std::string signedNumberText(double value)
{
    if (std::isnan(value))
        return " NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : " Infinity";
    if (value == 0)
        return " 0";
    // 15 significant digits in the shortest general form: fixed notation for
    // exponents from -4 to 14, E notation beyond, no trailing zeros. The writer
    // calls this once per saved value, so it must be quick.
    char digits[40];
    const auto result = std::to_chars(digits, digits + sizeof digits, std::fabs(value), std::chars_format::general, 15);
    std::string text(1, value < 0 ? '-' : ' ');
    const char *p = digits;
    if (p[0] == '0' && p + 1 < result.ptr && p[1] == '.')
        ++p;  // no zero before the point: " .25"
    for (; p < result.ptr; ++p)
        text += *p == 'e' ? 'E' : *p;
    return text;
}

}  // namespace kavra
