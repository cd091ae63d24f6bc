#pragma once
// Small text helpers for single-byte data-file text. Letter case is ASCII only:
// the collector writes English, and the locale must not change what a file means.

#include <string>
#include <string_view>

namespace kavra::text {

inline std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

inline char upperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string upperCased(std::string_view s)
{
    std::string upper(s);
    for (char &c : upper)
        c = upperCase(c);
    return upper;
}

// Whether text holds upperNeedle, comparing text upper-cased.
inline bool containsNoCase(std::string_view text, std::string_view upperNeedle)
{
    if (upperNeedle.empty())
        return true;
    for (size_t i = 0; i + upperNeedle.size() <= text.size(); ++i) {
        size_t j = 0;
        while (j < upperNeedle.size() && upperCase(text[i + j]) == upperNeedle[j])
            ++j;
        if (j == upperNeedle.size())
            return true;
    }
    return false;
}

}  // namespace kavra::text
