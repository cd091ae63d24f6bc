#pragma once
// Enhanced metafiles (EMF) of vector pictures, written through libEMF: pens,
// brushes, fonts, polylines, polygons, rectangles, ellipses and Unicode text.

#include "output/VectorPicture.h"

#include <string>

namespace kavra {

// The bytes of an enhanced metafile of the picture, whose size on paper is
// that of its pixels at 96 dots per inch; empty, with error set, on failure.
std::string emfBytes(const VectorPicture &picture, std::string &error);

}  // namespace kavra
