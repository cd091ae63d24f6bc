#pragma once
// Date values and the texts they are read from and written as.
//
// A date value counts days since 30 December 1899; the fraction is the time of
// day (0.5 = 12:00:00). Collectors write English month abbreviations whatever
// the machine's language, so nothing here depends on the locale.

#include <optional>
#include <string>
#include <string_view>

namespace kavra::timestr {

// The date of a text that cannot be read: 1 January 1972.
double fallbackDate();

// The date value of year, month and day with calendar carry-over: day 0 is the
// last day of the month before, month 13 is January of the next year. Years 0 to
// 29 mean 2000 to 2029, 30 to 99 mean 1930 to 1999. Throws DataError outside the
// years 100 to 9999.
double dateSerial(long long year, long long month, long long day);

// "Reads as a date": day-month-year with an English month name (three letters or
// full, any letter case) and a two- or four-digit year, or ISO yyyy-mm-dd, each
// optionally followed by a blank and a time of day. An impossible day
// (31-FEB-2026) does not read as a date. Returns the date value with its time.
std::optional<double> readDate(std::string_view text);

// Date_Text_To_Date: the date of a date text, whole days. Texts that do not read
// as a date go through the month table with carry-over; fewer than two dashes give
// the fallback date. Throws DataError when the day or year is not a whole number.
double dateTextToDate(std::string_view text);

// The time of day of "hh:mm" or "hh:mm:ss", 24-hour or followed by AM or PM, as a
// fraction of a day; a date without a time gives 0. Empty when it is not a time.
std::optional<double> timeOfDay(std::string_view text);

// General date text: "06-DEC-2026 10:00:00"; the time is left out at exactly
// midnight, the date when the date part is day 0.
std::string generalDateText(double dateValue);

}  // namespace kavra::timestr
