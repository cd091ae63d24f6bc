#pragma once
// The readers behind readPlainDecimal (FieldReader.h), the inner step of every
// load: each takes the same fields and gives the same values and fraction
// digits. Which one runs is chosen once, for the processor at hand; tests run
// every one this processor can.

#include <cstdint>
#include <string_view>
#include <vector>

namespace kavra::plaindecimal {

using Reader = size_t (*)(std::string_view text, double &value, int8_t &fractionDigits);

// A character at a time: any text, the end of a record included.
size_t readByCharacter(std::string_view text, double &value, int8_t &fractionDigits);
// Eight characters at a time, with plain integer arithmetic: any processor.
size_t readByWords(std::string_view text, double &value, int8_t &fractionDigits);

// The fastest reader this processor runs.
Reader fastestReader();
// Every reader this processor runs, the fastest last.
std::vector<Reader> availableReaders();

}  // namespace kavra::plaindecimal
