#pragma once
// What kavra-batch's commands share: reading their arguments, writing their output.

#include "data/DescriptorStream.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace kavra {

// The whole text as a whole number; false for anything else.
inline bool parseWhole(const std::string &text, int &value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// "A,B,C" as its names; an empty text names none.
inline std::vector<std::string> splitNames(const std::string &list)
{
    std::vector<std::string> names;
    std::stringstream in(list);
    for (std::string name; std::getline(in, name, ',');)
        names.push_back(name);
    return names;
}

// Sends what is left of the output; the exit status: 0, or 1 with the reason
// on standard error when the output could not be written (a full disk, a
// closed pipe).
inline int finishOutput(DescriptorStream &out)
{
    out.flush();
    if (out)
        return 0;
    std::cerr << "Cannot write the output: " << std::strerror(out.error() ? out.error() : EIO) << '\n';
    return 1;
}

}  // namespace kavra
