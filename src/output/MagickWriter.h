#pragma once
// GIF and PCX pictures, encoded by GraphicsMagick.

#include <string>

namespace kavra {

// The bytes of a picture of width x height pixels given as rows of red, green
// and blue bytes, top row first, in GraphicsMagick's format named format ("GIF",
// "PCX"); empty, with error set, on failure. GIF pictures get at most 256 colours.
std::string magickBytes(const unsigned char *rgb, int width, int height, const char *format, std::string &error);

}  // namespace kavra
