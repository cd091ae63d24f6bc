#pragma once
// Encapsulated PostScript of an SVG picture, drawn by librsvg on a cairo
// PostScript surface: lines, areas and text stay vectors.

#include <string>

namespace kavra {

// The bytes of an EPS file of widthPoints x heightPoints showing the SVG
// document svg scaled to fit; empty, with error set, on failure.
std::string epsFromSvg(const std::string &svg, double widthPoints, double heightPoints, std::string &error);

}  // namespace kavra
