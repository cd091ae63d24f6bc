// libFuzzer target: differential fuzzing of the field readers against references
// written here, straight from the file format's rules, in slow and obvious code.
//
// Every input is used whole as
//   - a data field: prepareField + readValue against refValue;
//   - the text at the start of a record: every plain decimal reader this processor
//     runs, whenever it takes the whole first field, must give what readValue
//     gives for that field;
//   - (up to 256 bytes) a date or time text: readDate, timeOfDay, dateTextToDate
//     against refReadDate, refTimeOfDay, refDateTextToDate; and, cut at its first
//     line feed into a sample-time field and a collection date, readSampleTime
//     against refSampleTime.
// On any disagreement the input and both answers are printed and the program traps.
//
// Decisions the rules leave open, which the reader implements and the references
// follow:
//   - "-5.5" reads as -5.5 (the sign applies to the whole mantissa); a sign alone
//     before the point stands for a signed zero integer part ("-.75" is -0.75);
//     the mantissa is the correctly rounded value of its decimal text;
//   - an exponent text that is not an optionally signed whole number is a
//     BadExponent; the exponent is applied by multiplying or dividing the
//     multiplier by 10 once per unit, stopping once it is 0 or infinite; a zero
//     mantissa stays 0 whatever the exponent; a result that is not finite is Invalid;
//   - a field is trimmed again after its quotes are deleted ("' 5 '" reads as 5);
//   - "reads as a date": d-MON-yy(yy) (d one or two digits; English three-letter
//     or full month names, any letter case; years 0-29 are 2000-2029, 30-99 are
//     1930-1999) or yyyy-m(m)-d(d), each optionally followed by a blank and a time
//     of day; years 100 to 9999; impossible days are no date;
//   - a time of day is h:mm or h:mm:ss (parts of one or two digits), hours 0-23,
//     or 1-12 followed by AM or PM (any letter case, blanks before it allowed);
//     minutes and seconds 0-59; a time text holding "-" is read as a date and
//     gives its time part (0 for a date alone);
//   - a sample time without a blank that reads as a date is that date (a saved
//     row at midnight keeps its own date);
//   - in Date_Text_To_Date's month-table rule a day or year beyond 10^7 either way
//     is an error (see refDateTextToDate).

#include "data/DataError.h"
#include "data/FieldReader.h"
#include "data/PlainDecimal.h"
#include "data/TimeStrings.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>
#include <string_view>

namespace {

using namespace kavra;

// ---------------------------------------------------------------- reporting

std::string shown(std::string_view s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c >= 32 && c < 127 && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

std::string shown(std::optional<double> v)
{
    if (!v)
        return "none";
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", *v);
    return text;
}

[[noreturn]] void disagree(const char *what, std::string_view input, const std::string &code, const std::string &ref)
{
    std::fprintf(stderr, "\n%s disagrees on input %s\n  code:      %s\n  reference: %s\n", what,
                 shown(input).c_str(), code.c_str(), ref.c_str());
    __builtin_trap();
}

bool same(std::optional<double> a, std::optional<double> b) { return a.has_value() == b.has_value() && (!a || *a == *b); }

// ---------------------------------------------------------------- small helpers

bool isDigitText(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

std::string trimmed(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return std::string(s.substr(b, e - b));
}

std::string upper(std::string_view s)
{
    std::string out;
    for (char c : s)
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return out;
}

// ---------------------------------------------------------------- values

struct RefValue {
    ValueStatus status;
    double value;
};

// The field as the loader prepares it: upper-cased, trimmed, quotes deleted,
// trimmed again; empty stands for "0.0".
std::string refPrepare(std::string_view raw)
{
    std::string noQuotes;
    for (char c : trimmed(upper(raw)))
        if (c != '"' && c != '\'')
            noQuotes += c;
    std::string f = trimmed(noQuotes);
    return f.empty() ? "0.0" : f;
}

RefValue refValue(std::string_view raw)
{
    std::string f = refPrepare(raw);
    const RefValue invalid{ValueStatus::Invalid, 0};

    // 1. One suffix, looked at once.
    double m = 1;
    const char last = f.back();
    if (last == '%')
        m = 0.01;
    else if (last == 'K')
        m = 1000;
    else if (last == 'M')
        m = 1000000;
    if (last == '%' || last == 'K' || last == 'M' || last == '.')
        f.pop_back();

    // 2. The exponent: everything after the first E, an optionally signed whole number.
    if (const size_t e = f.find('E'); e != std::string::npos) {
        std::string x = f.substr(e + 1);
        f = f.substr(0, e);
        bool negative = false;
        if (!x.empty() && (x[0] == '+' || x[0] == '-')) {
            negative = x[0] == '-';
            x.erase(0, 1);
        }
        if (!isDigitText(x))
            return {ValueStatus::BadExponent, 0};
        while (x.size() > 1 && x[0] == '0')
            x.erase(0, 1);
        // More than 4000 units take any multiplier to 0 or infinity long before.
        const long units = x.size() > 4 ? 4000 : std::stol(x);
        for (long i = 0; i < units; ++i) {
            if (m == 0 || std::isinf(m))
                break;
            m = negative ? m / 10 : m * 10;
        }
    }

    // 3. to 5. The mantissa: integer part (optionally signed digits; "0" when the
    // field starts with the point) and fraction (digits).
    std::string integerPart, fraction;
    const size_t d = f.find('.');
    if (d == std::string::npos) {
        integerPart = f;
        fraction = "0";
    } else {
        integerPart = d == 0 ? "0" : f.substr(0, d);
        if (integerPart == "-" || integerPart == "+")
            integerPart += "0";  // "-.75", as Save as writes -0.75
        fraction = f.substr(d + 1);
    }
    if (fraction.find('.') != std::string::npos)
        return invalid;
    std::string unsignedPart = integerPart;
    if (!unsignedPart.empty() && (unsignedPart[0] == '+' || unsignedPart[0] == '-'))
        unsignedPart.erase(0, 1);
    if (!isDigitText(unsignedPart) || !isDigitText(fraction))
        return invalid;
    // strtod rounds the decimal text correctly ("C" locale: the fuzzer sets none).
    const std::string text = integerPart + "." + fraction;
    const double mantissa = std::strtod(text.c_str(), nullptr);
    double value = mantissa;
    if (mantissa != 0)
        value = mantissa * m;
    if (!std::isfinite(value))
        return invalid;
    return {ValueStatus::Ok, value};
}

const char *statusName(ValueStatus s)
{
    switch (s) {
    case ValueStatus::Ok: return "Ok";
    case ValueStatus::Invalid: return "Invalid";
    case ValueStatus::BadExponent: return "BadExponent";
    }
    return "?";
}

std::string shownValue(ValueStatus s, double v) { return std::string(statusName(s)) + " " + shown(std::optional(v)); }

void checkValue(std::string_view input)
{
    std::string scratch;
    const FieldValue code = readValue(prepareField(input, scratch));
    const RefValue ref = refValue(input);
    if (code.status != ref.status || (code.status == ValueStatus::Ok && !(code.value == ref.value)))
        disagree("readValue", input, shownValue(code.status, code.value), shownValue(ref.status, ref.value));
}

// Every plain decimal reader either declines or takes exactly the first field,
// and then its value is readValue's. Checked at the end of a record and with
// more fields behind.
void checkPlainDecimal(std::string_view input)
{
    const std::string_view field = input.substr(0, input.find(','));
    std::string scratch;
    const FieldValue full = readValue(prepareField(field, scratch));
    const std::string withMore = std::string(field) + ",12345678,12345678,";
    static const std::vector<plaindecimal::Reader> readers = plaindecimal::availableReaders();
    for (const plaindecimal::Reader read : readers)
        for (const std::string_view text : {input, std::string_view(withMore)}) {
            double value = -1;
            int8_t digits = 0;
            const size_t length = read(text, value, digits);
            if (length == std::string_view::npos)
                continue;
            if (length != field.size())
                disagree("readPlainDecimal (length)", text, std::to_string(length), std::to_string(field.size()));
            if (full.status != ValueStatus::Ok || !(value == full.value) ||
                std::signbit(value) != std::signbit(full.value))
                disagree("readPlainDecimal", text, shown(std::optional(value)), shownValue(full.status, full.value));
        }
}

// ---------------------------------------------------------------- dates and times

bool leapYear(__int128 y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

int monthLength(__int128 y, int m)
{
    static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : kLengths[m - 1];
}

__int128 floorDiv(__int128 a, __int128 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days from 1 January 2000 to 1 January of year y: whole 400-year cycles of
// 146097 days, then the remaining years one by one.
__int128 daysToYear(__int128 y)
{
    const __int128 cycles = floorDiv(y - 2000, 400);
    __int128 days = cycles * 146097;
    for (__int128 year = 2000 + cycles * 400; year < y; ++year)
        days += leapYear(year) ? 366 : 365;
    return days;
}

// Days from 1 January 2000 to the given date (month 1-12, day from 1 on).
__int128 dayNumber(__int128 y, int m, __int128 d)
{
    __int128 days = daysToYear(y);
    for (int month = 1; month < m; ++month)
        days += monthLength(y, month);
    return days + d - 1;
}

// The date value (days since 30 December 1899) of a day number.
double dateValue(__int128 dayNo) { return static_cast<double>(dayNo - dayNumber(1899, 12, 30)); }

// Whether a day number lies in the years 100 to 9999.
bool inRange(__int128 dayNo) { return dayNo >= dayNumber(100, 1, 1) && dayNo <= dayNumber(9999, 12, 31); }

int monthOfName(std::string_view name)
{
    static constexpr const char *kNames[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                                             "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
    const std::string u = upper(name);
    for (int m = 0; m < 12; ++m) {
        const std::string full = kNames[m];
        if (u == full || u == full.substr(0, 3))
            return m + 1;
    }
    return 0;
}

std::optional<double> refTimeOfDay(std::string_view text);

std::optional<double> validDate(long year, int month, long day)
{
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > monthLength(year, month))
        return std::nullopt;
    return dateValue(dayNumber(year, month, day));
}

std::optional<double> refReadDate(std::string_view input)
{
    const std::string text = trimmed(input);
    const size_t blank = text.find(' ');
    const std::string datePart = text.substr(0, blank);
    static const std::regex dayMonthYear("([0-9]{1,2})-([A-Za-z]+)-([0-9]{2}|[0-9]{4})");
    static const std::regex iso("([0-9]{4})-([0-9]{1,2})-([0-9]{1,2})");
    std::smatch match;
    std::optional<double> date;
    if (std::regex_match(datePart, match, dayMonthYear)) {
        long year = std::stol(match[3]);
        if (match[3].length() == 2)
            year += year < 30 ? 2000 : 1900;
        date = validDate(year, monthOfName(match[2].str()), std::stol(match[1]));
    } else if (std::regex_match(datePart, match, iso)) {
        date = validDate(std::stol(match[1]), static_cast<int>(std::stol(match[2])), std::stol(match[3]));
    }
    if (!date || blank == std::string::npos)
        return date;
    const auto time = refTimeOfDay(text.substr(blank + 1));
    if (!time)
        return std::nullopt;
    return *date + *time;
}

std::optional<double> refTimeOfDay(std::string_view input)
{
    const std::string text = trimmed(input);
    if (text.find('-') != std::string::npos) {
        const auto date = refReadDate(text);
        if (!date)
            return std::nullopt;
        return *date - std::floor(*date);
    }
    static const std::regex time("([0-9]{1,2}):([0-9]{1,2})(:([0-9]{1,2}))?( *([AaPp])[Mm])?");
    std::smatch match;
    if (!std::regex_match(text, match, time))
        return std::nullopt;
    long hours = std::stol(match[1]);
    const long minutes = std::stol(match[2]), seconds = match[4].matched ? std::stol(match[4]) : 0;
    if (match[6].matched) {
        if (hours < 1 || hours > 12)
            return std::nullopt;
        const bool pm = match[6] == "P" || match[6] == "p";
        hours = (hours == 12 ? 0 : hours) + (pm ? 12 : 0);
    }
    if (hours > 23 || minutes > 59 || seconds > 59)
        return std::nullopt;
    return static_cast<double>(hours * 3600 + minutes * 60 + seconds) / 86400.0;
}

struct DataErrorRef {};

// A whole number: blanks, an optional sign, digits, blanks. Numbers of more than
// 30 digits are reported as 10^31 (with their sign): no date can come of them.
__int128 wholeNumber(std::string_view s)
{
    std::string t = trimmed(s);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.erase(0, 1);
    }
    if (!isDigitText(t))
        throw DataErrorRef{};
    while (t.size() > 1 && t[0] == '0')
        t.erase(0, 1);
    __int128 n = 0;
    if (t.size() > 30) {
        n = 1;
        for (int i = 0; i < 31; ++i)
            n *= 10;
    } else {
        for (char c : t)
            n = n * 10 + (c - '0');
    }
    return negative ? -n : n;
}

// Date_Text_To_Date as the rules write it; throws DataErrorRef where the reader
// throws DataError.
double refDateTextToDate(std::string_view s)
{
    if (const auto date = refReadDate(s))
        return std::floor(*date);
    const double fallback = dateValue(dayNumber(1972, 1, 1));
    const size_t p1 = s.find('-');
    if (p1 == std::string_view::npos)
        return fallback;
    const size_t p2 = s.find('-', p1 + 1);
    if (p2 == std::string_view::npos)
        return fallback;
    const __int128 day = wholeNumber(s.substr(0, p1));
    __int128 year = wholeNumber(s.substr(p2 + 1));
    // The reader's limit: a day or year beyond 10^7 either way is an error, although
    // a carry-over of more than 27000 years could bring some back into the years
    // 100 to 9999 ("12870052-6--32027" would be 6 December 3207).
    if (day > 10000000 || day < -10000000 || year > 10000000 || year < -10000000)
        throw DataErrorRef{};
    const std::string_view table = "JAN/FEB/MAR/APR/MAY/JUN/JUL/AUG/SEP/OCT/NOV/DEC/";
    const std::string_view monthText = s.substr(p1 + 1, p2 - p1 - 1);
    const size_t found = table.find(monthText);
    const long position = found == std::string_view::npos ? 0 : static_cast<long>(found) + 1;
    // The whole number nearest to (position - 1) / 4 + 1, halves to the even one.
    const long quarters = position - 1 + 4;  // 4 * ((position - 1) / 4 + 1)
    long month = floorDiv(quarters, 4);
    const long rest = quarters - month * 4;
    if (rest == 3 || (rest == 2 && month % 2 != 0))
        ++month;
    if (year >= 0 && year <= 99)
        year += year < 30 ? 2000 : 1900;
    // Carry-over: month 13 is January of the next year, day 0 the last of the month before.
    year += floorDiv(month - 1, 12);
    month -= floorDiv(month - 1, 12) * 12;
    const __int128 dayNo = dayNumber(year, static_cast<int>(month), 1) + day - 1;
    if (!inRange(dayNo))
        throw DataErrorRef{};
    return dateValue(dayNo);
}

std::optional<double> refSampleTime(std::string_view prepared, std::string_view collectionDate)
{
    std::string dateText(collectionDate), timeText(prepared);
    if (const size_t blank = prepared.find(' '); blank != std::string_view::npos) {
        dateText = prepared.substr(0, blank);
        timeText = prepared.substr(blank + 1);
    } else if (const auto date = refReadDate(prepared)) {
        return date;
    }
    timeText = timeText.substr(0, timeText.find('.'));
    const double date = refDateTextToDate(dateText);
    const auto time = refTimeOfDay(timeText);
    if (!time)
        throw DataErrorRef{};
    return date + *time;
}

template <typename F>
std::optional<double> orNone(F f)
{
    try {
        return f();
    } catch (const DataError &) {
        return std::nullopt;
    } catch (const DataErrorRef &) {
        return std::nullopt;
    }
}

void checkDates(std::string_view input)
{
    const auto codeDate = timestr::readDate(input);
    const auto refDate = refReadDate(input);
    if (!same(codeDate, refDate))
        disagree("readDate", input, shown(codeDate), shown(refDate));

    const auto codeTime = timestr::timeOfDay(input);
    const auto refTime = refTimeOfDay(input);
    if (!same(codeTime, refTime))
        disagree("timeOfDay", input, shown(codeTime), shown(refTime));

    const auto codeDay = orNone([&] { return timestr::dateTextToDate(input); });
    const auto refDay = orNone([&] { return refDateTextToDate(input); });
    if (!same(codeDay, refDay))
        disagree("dateTextToDate", input, shown(codeDay), shown(refDay));

    // The general date text of a date that was read reads back as the same value.
    if (refDate && std::floor(*refDate) != 0) {
        const std::string text = timestr::generalDateText(*refDate);
        const auto back = timestr::readDate(text);
        if (!back || std::fabs(*back - *refDate) > 1e-9)
            disagree("generalDateText read back", input, text + " -> " + shown(back), shown(refDate));
    }

    const size_t cut = input.find('\n');
    const std::string_view fieldText = input.substr(0, cut);
    const std::string_view collection = cut == std::string_view::npos ? "" : input.substr(cut + 1);
    std::string scratch;
    const std::string_view prepared = prepareField(fieldText, scratch);
    const auto codeSample = orNone([&] { return readSampleTime(prepared, collection); });
    const auto refSample = orNone([&] { return refSampleTime(prepared, collection); });
    if (!same(codeSample, refSample))
        disagree("readSampleTime", input, shown(codeSample), shown(refSample));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(bytes), size);
    checkValue(input);
    checkPlainDecimal(input);
    if (size <= 256)
        checkDates(input);
    return 0;
}
