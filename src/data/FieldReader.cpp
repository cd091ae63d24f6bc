#include "data/FieldReader.h"

#include "data/DataError.h"
#include "data/PlainDecimal.h"
#include "data/Text.h"
#include "data/TimeStrings.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace kavra {
namespace {

using text::isDigit;
using text::trimBlanks;

bool isQuote(char c) { return c == '"' || c == '\''; }
bool isLower(char c) { return static_cast<unsigned char>(c - 'a') < 26; }

bool allDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (!isDigit(c))
            return false;
    return true;
}

bool isSignedWhole(std::string_view s)
{
    if (!s.empty() && (s.front() == '+' || s.front() == '-'))
        s.remove_prefix(1);
    return allDigits(s);
}

// Multiplies or divides by ten once per unit of the exponent, stopping once the
// multiplier has overflowed or vanished so that absurd exponents cannot hang.
double scaleByExponent(double multiplier, std::string_view exponent)
{
    const bool negative = exponent.front() == '-';
    if (exponent.front() == '+' || negative)
        exponent.remove_prefix(1);
    unsigned long long units = 0;
    const auto [end, ec] = std::from_chars(exponent.data(), exponent.data() + exponent.size(), units);
    if (ec == std::errc::result_out_of_range || end != exponent.data() + exponent.size())
        units = ~0ULL;
    for (unsigned long long i = 0; i < units && multiplier != 0 && std::isfinite(multiplier); ++i)
        multiplier = negative ? multiplier / 10 : multiplier * 10;
    return multiplier;
}

}  // namespace

std::string columnName(std::string_view field)
{
    std::string name;
    for (char c : trimBlanks(field))
        if (!isQuote(c))
            name += c;
    return name;
}

std::string_view prepareField(std::string_view field, std::string &scratch)
{
    std::string_view trimmed = trimBlanks(field);
    bool clean = true;
    for (char c : trimmed)
        clean &= !isLower(c) && !isQuote(c);
    if (!clean) {
        scratch.clear();
        for (char c : trimmed)
            if (!isQuote(c))
                scratch += isLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
        trimmed = trimBlanks(scratch);
    }
    if (trimmed.empty())
        return "0.0";
    return trimmed;
}

size_t readPlainDecimal(std::string_view text, double &value)
{
    int8_t fractionDigits = 0;
    return readPlainDecimal(text, value, fractionDigits);
}

size_t readPlainDecimal(std::string_view text, double &value, int8_t &fractionDigits)
{
    static const plaindecimal::Reader reader = plaindecimal::fastestReader();
    return reader(text, value, fractionDigits);
}

FieldValue readValue(std::string_view f)
{
    double multiplier = 1;
    if (!f.empty()) {
        switch (f.back()) {
        case '%': multiplier = 0.01; f.remove_suffix(1); break;
        case 'K': multiplier = 1000; f.remove_suffix(1); break;
        case 'M': multiplier = 1000000; f.remove_suffix(1); break;
        case '.': f.remove_suffix(1); break;
        default: break;
        }
    }
    if (const size_t e = f.find('E'); e != std::string_view::npos) {
        const std::string_view exponent = f.substr(e + 1);
        if (!isSignedWhole(exponent))
            return {0, ValueStatus::BadExponent};
        multiplier = scaleByExponent(multiplier, exponent);
        f = f.substr(0, e);
    }

    // Integer part: an optionally signed whole number ("0" when the field starts
    // with the point, after its sign if any: Save as writes -0.75 as "-.75");
    // fraction: digits. Small mantissas are composed exactly from their digits,
    // longer ones read by from_chars (both correctly rounded).
    size_t i = 0;
    const size_t n = f.size();
    const bool negative = n > 0 && f[0] == '-';
    if (n > 0 && f[0] != '.') {
        if (f[0] == '+' || negative)
            ++i;
        if (i == n || (!isDigit(f[i]) && f[i] != '.'))
            return {0, ValueStatus::Invalid};
    }
    uint64_t digits = 0;
    int digitCount = 0, fractionLength = 0;
    for (; i < n && isDigit(f[i]); ++i, ++digitCount)
        digits = digits * 10 + static_cast<uint64_t>(f[i] - '0');
    if (i < n) {
        if (f[i] != '.' || i + 1 == n)
            return {0, ValueStatus::Invalid};
        for (++i; i < n && isDigit(f[i]); ++i, ++digitCount, ++fractionLength)
            digits = digits * 10 + static_cast<uint64_t>(f[i] - '0');
        if (i < n)
            return {0, ValueStatus::Invalid};
    }
    if (n == 0)
        return {0, ValueStatus::Invalid};

    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    double value = 0;
    if (digitCount <= 15) {
        value = static_cast<double>(digits) / kPowersOfTen[fractionLength];
        if (negative)
            value = -value;
    } else {
        std::string_view mantissa = f;
        if (mantissa.front() == '+')
            mantissa.remove_prefix(1);
        // Out of range: too large (a nonzero digit before the point) or too small.
        if (std::from_chars(mantissa.data(), mantissa.data() + mantissa.size(), value).ec ==
            std::errc::result_out_of_range)
            value = mantissa.find_first_of("123456789") < mantissa.find('.') ? HUGE_VAL : 0;
    }
    if (value != 0)
        value *= multiplier;
    if (!std::isfinite(value))
        return {0, ValueStatus::Invalid};
    return {value, ValueStatus::Ok};
}

double leadingNumber(std::string_view field)
{
    size_t end = 0;
    const auto digitsFrom = [&](size_t i) {
        while (i < field.size() && isDigit(field[i]))
            ++i;
        return i;
    };
    size_t i = field.size() > 0 && (field[0] == '+' || field[0] == '-') ? 1 : 0;
    const size_t integerEnd = digitsFrom(i);
    size_t mantissaEnd = integerEnd;
    if (mantissaEnd < field.size() && field[mantissaEnd] == '.')
        mantissaEnd = digitsFrom(mantissaEnd + 1);
    if (mantissaEnd == i || (mantissaEnd == i + 1 && field[i] == '.'))
        return 0;  // no digit at all
    end = mantissaEnd;
    if (end < field.size() && (field[end] == 'E' || field[end] == 'e')) {
        size_t e = end + 1;
        if (e < field.size() && (field[e] == '+' || field[e] == '-'))
            ++e;
        const size_t exponentEnd = digitsFrom(e);
        if (exponentEnd > e)
            end = exponentEnd;
    }
    std::string text(field.substr(field[0] == '+' ? 1 : 0, end - (field[0] == '+' ? 1 : 0)));
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return std::isfinite(value) ? value : 0;
}

double readSampleTime(std::string_view field, std::string_view collectionDateText)
{
    std::string_view dateText = collectionDateText, timeText = field;
    if (const size_t blank = field.find(' '); blank != std::string_view::npos) {
        dateText = field.substr(0, blank);
        timeText = field.substr(blank + 1);
    } else if (const auto date = timestr::readDate(field)) {
        return *date;  // a date alone, as saved rows at midnight are written
    }
    if (const size_t point = timeText.find('.'); point != std::string_view::npos)
        timeText = timeText.substr(0, point);
    const double date = timestr::dateTextToDate(dateText);
    const auto time = timestr::timeOfDay(timeText);
    if (!time)
        throw DataError("Type mismatch: '" + text::quoted(timeText) + "' is not a time of day");
    return date + *time;
}

}  // namespace kavra
