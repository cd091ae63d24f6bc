#include "data/TimeStrings.h"

#include "data/DataError.h"
#include "data/Text.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kavra::timestr {
namespace {

constexpr std::array<const char *, 12> kMonthNames = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",
                                                      "MAY",     "JUNE",     "JULY",      "AUGUST",
                                                      "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
constexpr std::string_view kMonthTable = "JAN/FEB/MAR/APR/MAY/JUN/JUL/AUG/SEP/OCT/NOV/DEC/";

// Days from 1 January 1970 of a proleptic Gregorian date.
constexpr long long daysFromCivil(long long y, long long m, long long d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    long long year, month, day;
};

Civil civilFromDays(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp + (mp < 10 ? 3 : -9);
    return {yoe + era * 400 + (m <= 2), m, d};
}

constexpr long long kEpoch = daysFromCivil(1899, 12, 30);

bool isDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::optional<long long> wholeNumber(std::string_view s)
{
    s = text::trimBlanks(s);
    if (s.size() > 1 && s.front() == '+' && s[1] != '-')  // one sign at most: "+-5" is no number
        s.remove_prefix(1);
    long long value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

long long expandYear(long long year, size_t digits)
{
    if (digits <= 2)
        return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

int monthFromName(std::string_view name)
{
    const std::string upper = text::upperCased(name);
    for (size_t m = 0; m < kMonthNames.size(); ++m) {
        std::string_view full = kMonthNames[m];
        if (upper == full || (upper.size() == 3 && full.substr(0, 3) == upper))
            return static_cast<int>(m) + 1;
    }
    return 0;
}

long long daysInMonth(long long year, long long month)
{
    return daysFromCivil(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1) -
           daysFromCivil(year, month, 1);
}

std::optional<double> validDate(long long year, long long month, long long day)
{
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    return static_cast<double>(daysFromCivil(year, month, day) - kEpoch);
}

// The date part alone: d-MON-yy(yy), d-Month-yyyy or yyyy-mm-dd.
std::optional<double> readDatePart(std::string_view s)
{
    const size_t p1 = s.find('-');
    if (p1 == std::string_view::npos)
        return std::nullopt;
    const size_t p2 = s.find('-', p1 + 1);
    if (p2 == std::string_view::npos)
        return std::nullopt;
    const std::string_view a = s.substr(0, p1), b = s.substr(p1 + 1, p2 - p1 - 1), c = s.substr(p2 + 1);
    if (!isDigits(a) || !isDigits(c) || a.size() > 4 || c.size() > 4)
        return std::nullopt;
    if (a.size() == 4 && isDigits(b) && b.size() <= 2 && c.size() <= 2)
        return validDate(*wholeNumber(a), *wholeNumber(b), *wholeNumber(c));
    if (a.size() > 2 || (c.size() != 2 && c.size() != 4))
        return std::nullopt;
    const int month = monthFromName(b);
    if (month == 0)
        return std::nullopt;
    return validDate(expandYear(*wholeNumber(c), c.size()), month, *wholeNumber(a));
}

}  // namespace

double fallbackDate() { return static_cast<double>(daysFromCivil(1972, 1, 1) - kEpoch); }

double dateSerial(long long year, long long month, long long day)
{
    if (year >= 0 && year <= 99)
        year = expandYear(year, 2);
    const long long monthIndex = year * 12 + (month - 1);
    const long long y = monthIndex >= 0 ? monthIndex / 12 : -((-monthIndex + 11) / 12);
    const long long m = monthIndex - y * 12 + 1;
    const long long days = daysFromCivil(y, m, 1) + (day - 1);
    const Civil result = civilFromDays(days);
    if (result.year < 100 || result.year > 9999)
        throw DataError("Invalid procedure call or argument: date out of range");
    return static_cast<double>(days - kEpoch);
}

std::optional<double> readDate(std::string_view text)
{
    text = text::trimBlanks(text);
    const size_t blank = text.find(' ');
    const auto date = readDatePart(text.substr(0, blank));
    if (!date || blank == std::string_view::npos)
        return date;
    const auto time = timeOfDay(text.substr(blank + 1));
    if (!time)
        return std::nullopt;
    return *date + *time;
}

double dateTextToDate(std::string_view s)
{
    if (const auto date = readDate(s))
        return std::floor(*date);
    const size_t p1 = s.find('-');
    if (p1 == std::string_view::npos)
        return fallbackDate();
    const size_t p2 = s.find('-', p1 + 1);
    if (p2 == std::string_view::npos)
        return fallbackDate();
    const auto day = wholeNumber(s.substr(0, p1));
    const auto year = wholeNumber(s.substr(p2 + 1));
    if (!day || !year || std::llabs(*day) > 10000000 || std::llabs(*year) > 10000000)
        throw DataError("Type mismatch: cannot read the date '" + text::quoted(s) + "'");
    const std::string_view monthText = s.substr(p1 + 1, p2 - p1 - 1);
    const size_t found = kMonthTable.find(monthText);
    const double position = found == std::string_view::npos ? 0.0 : static_cast<double>(found + 1);
    const long long month = std::llrint((position - 1.0) / 4.0 + 1.0);  // halves go to the even neighbour
    return dateSerial(*year, month, *day);
}

std::optional<double> timeOfDay(std::string_view text)
{
    text = text::trimBlanks(text);
    if (text.find('-') != std::string_view::npos) {
        const auto date = readDate(text);
        if (!date)
            return std::nullopt;
        return *date - std::floor(*date);
    }
    int halfDay = -1;  // -1: 24-hour form, 0: AM, 1: PM
    if (text.size() >= 2) {
        const std::string_view suffix = text.substr(text.size() - 2);
        const auto upper = text::upperCase;
        if (upper(suffix[1]) == 'M' && (upper(suffix[0]) == 'A' || upper(suffix[0]) == 'P')) {
            halfDay = upper(suffix[0]) == 'P' ? 1 : 0;
            text.remove_suffix(2);
            while (!text.empty() && text.back() == ' ')
                text.remove_suffix(1);
        }
    }
    long long parts[3] = {0, 0, 0};
    size_t count = 0;
    for (;;) {
        const size_t colon = text.find(':');
        const std::string_view part = text.substr(0, colon);
        if (count == 3 || !isDigits(part) || part.size() > 2)
            return std::nullopt;
        parts[count++] = *wholeNumber(part);
        if (colon == std::string_view::npos)
            break;
        text.remove_prefix(colon + 1);
    }
    if (count < 2)
        return std::nullopt;
    long long hours = parts[0];
    if (halfDay >= 0) {
        if (hours < 1 || hours > 12)
            return std::nullopt;
        hours = hours % 12 + 12 * halfDay;
    }
    if (hours > 23 || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;
    return static_cast<double>(hours * 3600 + parts[1] * 60 + parts[2]) / 86400.0;
}

std::string generalDateText(double dateValue)
{
    static constexpr std::array<const char *, 12> kAbbrev = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                             "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    if (!std::isfinite(dateValue))
        return {};
    long long days = static_cast<long long>(std::floor(dateValue));
    long long seconds = std::llround((dateValue - static_cast<double>(days)) * 86400.0);
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    char time[64];
    std::snprintf(time, sizeof time, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    if (days == 0)
        return time;
    const Civil civil = civilFromDays(days + kEpoch);
    char date[64];
    std::snprintf(date, sizeof date, "%02lld-%s-%04lld", civil.day, kAbbrev[static_cast<size_t>(civil.month - 1)],
                  civil.year);
    if (seconds == 0)
        return date;
    return std::string(date) + " " + time;
}

}  // namespace kavra::timestr
