#include "data/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kavra {

std::string signedNumberText(double value)
{
    if (std::isnan(value))
        return " NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : " Infinity";
    std::string text = value < 0 ? "-" : " ";
    if (value == 0)
        return text + "0";

    // 15 significant digits; the exponent after rounding decides the form.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const std::string_view scientific(buffer);
    const size_t e = scientific.find('e');
    std::string digits;
    digits += scientific[0];
    digits += scientific.substr(2, e - 2);
    const int exponent = std::atoi(buffer + e + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    if (exponent >= 15 || exponent < -4) {
        text += digits[0];
        if (digits.size() > 1) {
            text += '.';
            text += digits.substr(1);
        }
        char exponentText[16];
        std::snprintf(exponentText, sizeof exponentText, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return text + exponentText;
    }
    if (exponent < 0) {
        text += '.';
        text.append(static_cast<size_t>(-exponent - 1), '0');
        return text + digits;
    }
    const size_t integerDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= integerDigits)
        return text + digits + std::string(integerDigits - digits.size(), '0');
    return text + digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

}  // namespace kavra
