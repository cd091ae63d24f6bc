#include "data/Text.h"

#include <algorithm>
#include <cstdint>

namespace kavra::text {
namespace {

// Windows-1252's characters for the bytes 0x80 to 0x9F; 0 where it has none.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the UTF-8 sequence that starts at s[i], 0 when none does.
size_t sequenceLength(std::string_view s, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
    const auto continuation = [&](size_t k, uint8_t low = 0x80, uint8_t high = 0xBF) {
        return k < s.size() && byte(k) >= low && byte(k) <= high;
    };
    const uint8_t b = byte(i);
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return continuation(i + 1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        // No overlong forms (E0 80..9F) and no surrogates (ED A0..BF).
        const uint8_t low = b == 0xE0 ? 0xA0 : 0x80, high = b == 0xED ? 0x9F : 0xBF;
        return continuation(i + 1, low, high) && continuation(i + 2) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const uint8_t low = b == 0xF0 ? 0x90 : 0x80, high = b == 0xF4 ? 0x8F : 0xBF;
        return continuation(i + 1, low, high) && continuation(i + 2) && continuation(i + 3) ? 4 : 0;
    }
    return 0;
}

}  // namespace

bool isUtf8(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        // Runs of ASCII, the common case, eight bytes at a time.
        while (i + 8 <= bytes.size()) {
            uint64_t chunk = 0;
            for (size_t k = 0; k < 8; ++k)
                chunk |= uint64_t(static_cast<uint8_t>(bytes[i + k])) << (8 * k);
            if (chunk & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i == bytes.size())
            break;
        const size_t length = sequenceLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto b = static_cast<uint8_t>(ch);
        const char32_t high = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : 0;
        appendUtf8(out, high ? high : char32_t(b));
    }
    return out;
}

std::string utf8ToWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const size_t length = std::max<size_t>(sequenceLength(utf8, i), 1);
        char32_t c = static_cast<uint8_t>(utf8[i]);
        if (length > 1) {
            c &= 0x3F >> (length - 1);
            for (size_t k = 1; k < length; ++k)
                c = (c << 6) | (static_cast<uint8_t>(utf8[i + k]) & 0x3F);
        }
        i += length;
        char byte = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) || (c >= 0x80 && c < 0xA0 && !kHighControls[c - 0x80]))
            byte = static_cast<char>(c);
        for (size_t b = 0; b < 32 && byte == '?' && c > 0xFF; ++b)
            if (kHighControls[b] == c)
                byte = static_cast<char>(0x80 + b);
        out += byte;
    }
    return out;
}

size_t characters(std::string_view utf8)
{
    size_t count = 0;
    for (size_t at = 0; at < utf8.size(); ++count)
        at += std::max<size_t>(sequenceLength(utf8, at), 1);
    return count;
}

std::string shortened(std::string_view utf8, size_t keep)
{
    size_t at = 0;
    for (size_t kept = 0; at < utf8.size() && kept < keep; ++kept)
        at += std::max<size_t>(sequenceLength(utf8, at), 1);
    return at < utf8.size() ? std::string(utf8.substr(0, at)) + "..." : std::string(utf8);
}

std::string quoted(std::string_view bytes, size_t keep)
{
    if (isUtf8(bytes))
        return shortened(bytes, keep);
    const std::string head = windows1252ToUtf8(bytes.substr(0, keep));
    return bytes.size() > keep ? head + "..." : head;
}

std::vector<std::string_view> splitFields(std::string_view record)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = record.find(',', start);
        fields.push_back(record.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return fields;
        start = comma + 1;
    }
}

}  // namespace kavra::text
