#pragma once
#include <stdexcept>
#include <string>

namespace kavra {

// A field that cannot be read at all (an unreadable time or date, an exponent
// that is not a number). Loading reports it with its generic data-extraction
// message and closes all files.
class DataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace kavra
