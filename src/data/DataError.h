#pragma once
#include <stdexcept>
#include <string>

namespace kavra {

// A field that cannot be read at all (an unreadable time or date, an exponent
// that is not a number). Loading reports it with its generic data-extraction
// message; in a first file it closes all files, a later file is just not added.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace kavra
