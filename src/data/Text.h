#pragma once
// Small text helpers for single-byte data-file text. Letter case is ASCII only:
// the collector writes English, and the locale must not change what a file means.

#include <string>
#include <string_view>
#include <vector>

namespace kavra::text {

inline std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

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

namespace kavra::text {

// Names and other texts of a data file are kept as UTF-8. A collector writes
// UTF-8 or, on older systems, Windows-1252; bytes that are not valid UTF-8 are
// read as Windows-1252.
bool isUtf8(std::string_view bytes);
// Windows-1252 bytes as UTF-8; the five bytes it leaves unassigned become the
// control characters of the same numbers, so every byte comes back on writing.
std::string windows1252ToUtf8(std::string_view bytes);
// The reverse: UTF-8 as Windows-1252 bytes, "?" for a character it cannot hold.
std::string utf8ToWindows1252(std::string_view utf8);
// Bytes as the collector meant them, as UTF-8.
inline std::string decoded(std::string_view bytes)
{
    return isUtf8(bytes) ? std::string(bytes) : windows1252ToUtf8(bytes);
}

// The characters of a UTF-8 text.
size_t characters(std::string_view utf8);
// A UTF-8 text cut for showing: its first keep characters and "..." when it is
// longer than that.
std::string shortened(std::string_view utf8, size_t keep);
// Bytes of a file quoted in a message: decoded, and cut after keep characters.
std::string quoted(std::string_view bytes, size_t keep = 60);

// The fields of a record, split at every comma (no quoting in these files).
std::vector<std::string_view> splitFields(std::string_view record);

}  // namespace kavra::text
