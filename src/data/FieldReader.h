#pragma once
// Reading single fields of a data file: column names, value fields and sample times.

#include <cstdint>
#include <string>
#include <string_view>

namespace kavra {

// A header field as a column name: trimmed of blanks, then every double and
// single quote deleted (blanks that stood inside the quotes stay).
std::string columnName(std::string_view field);

// A data field made ready for reading: upper-cased, trimmed of blanks, quotes
// deleted; an empty field stands for "0.0". Returns a view of the field itself
// when nothing needs changing, otherwise of scratch.
std::string_view prepareField(std::string_view field, std::string &scratch);

enum class ValueStatus {
    Ok,
    Invalid,      // breaks the value syntax: the file is dropped with the invalid-data message
    BadExponent,  // an E followed by no number ("ERR", "NONE"): a generic data error
};

struct FieldValue {
    double value = 0;
    ValueStatus status = ValueStatus::Ok;
};

// The value of a prepared field: optional %, K, M or trailing-point suffix, optional
// exponent, then an optionally signed integer part with optional fraction digits.
FieldValue readValue(std::string_view prepared);

// Reads a field at the start of text (up to the next comma or the end) when it is
// written as digits with an optional minus and fraction, at most 15 digits, giving
// the value readValue would; returns the field's length, or npos for any other
// field, which then takes the full route of prepareField and readValue.
size_t readPlainDecimal(std::string_view text, double &value);
// The same, also giving the field's number of fraction digits f: the value is
// then exactly the double nearest to its digits (as one integer) / 10^f, which
// lets the value table hold it as those digits without a search (ColumnCodec).
size_t readPlainDecimal(std::string_view text, double &value, int8_t &fractionDigits);

// The number a field's leading characters form (sign, digits, point, digits,
// exponent), 0 when they form none: how the classic edition reads a value that
// breaks the value syntax.
double leadingNumber(std::string_view field);

// The date value of a prepared sample-time field: "date time" or a time alone, which
// takes its date from the file's collection date. Throws DataError when the time or
// date cannot be read.
double readSampleTime(std::string_view prepared, std::string_view collectionDateText);

}  // namespace kavra
