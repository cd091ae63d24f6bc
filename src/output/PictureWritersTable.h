#pragma once
// What kavra-picture-writers.so hands to the program that loads it (see
// PictureWriters.h). Plain C++, as the module links no Qt.

#include "output/VectorPicture.h"

#include <string>

namespace kavra {

// What the module hands out (the functions of MagickWriter.h, EpsWriter.h and
// EmfWriter.h). The table passes C++ types, so the module and the program must
// come from the same build of Kavra: the version is checked.
struct PictureWriters {
    const char *version;  // first, so that any module's version can be read
    std::string (*magickBytes)(const unsigned char *rgb, int width, int height, const char *format, std::string &error);
    std::string (*epsFromSvg)(const std::string &svg, double widthPoints, double heightPoints, std::string &error);
    std::string (*emfBytes)(const VectorPicture &picture, std::string &error);
};

// The module's file name, and the C function it exports that returns the table.
// Both sides are compiled with the version as KAVRA_VERSION_TEXT.
inline constexpr const char *kPictureWritersFile = "kavra-picture-writers.so";
inline constexpr const char *kPictureWritersEntry = "kavra_picture_writers";

}  // namespace kavra
