#pragma once
// Writing a file so that a failure never leaves a half-written file in place of
// an existing one: the bytes go to a temporary file in the same folder, which is
// renamed over the target only when everything has been written.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace kavra {

// Returns the error's description, empty on success.
std::string writeFileAtomically(const std::string &path, const std::function<void(std::ostream &)> &write);

// A text file of lines, each ended by CR LF as the program's text files are,
// written the same safe way. Returns the error's description, empty on success.
std::string writeTextLines(const std::string &path, const std::vector<std::string> &lines);

}  // namespace kavra
