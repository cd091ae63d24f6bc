#pragma once
// Windows metafiles (WMF) of vector pictures: the placeable kind, with its
// bounding box and checksum, then the standard metafile header and the drawing
// records of the picture's shapes. No library writes them, so this does.

#include "output/VectorPicture.h"

#include <string>

namespace kavra {

// The bytes of a placeable Windows metafile of the picture, whose size on
// paper is that of its pixels at 96 dots per inch.
std::string wmfBytes(const VectorPicture &picture);

}  // namespace kavra
