#pragma once
// What kavra-batch's commands share in reading their arguments.

#include <charconv>
#include <string>

namespace kavra {

// The whole text as a whole number; false for anything else.
inline bool parseWhole(const std::string &text, int &value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace kavra
