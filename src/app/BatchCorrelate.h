#pragma once
// kavra-batch correlate: the correlation list the viewer's Correlate shows, as text.

#include <iosfwd>
#include <string>

namespace kavra {

struct DataSet;
class DescriptorStream;
class ItemList;

struct CorrelateOptions {
    std::string item;  // the reference item's text
    int from = 0;      // rows from..to; 0 means the first or the last row
    int to = 0;
    std::string scatter;  // the picture of the scatter diagram, if wanted
};

// Takes the correlate options at argv[i] (advancing i past a value); false when
// argv[i] is not one of them or lacks its value.
bool takeCorrelateOption(int argc, char **argv, int &i, CorrelateOptions &options, bool &bad);

// Prints to out the correlation list of every listed item against the named one
// over the rows, one line each, in list order. Returns the exit status: 0; 1
// when no item correlates strongly ("No relevant items found ..." on standard
// error) or a file cannot be written (the reason on standard error); 2
// for an unknown item, rows outside the data or a picture of unknown format.
// With a scatter picture, also writes the diagram the correlation window shows
// on opening (the last line's item), drawn by the window's own code.
int printCorrelationList(const char *program, const DataSet &data, const ItemList &items,
                         const CorrelateOptions &options, DescriptorStream &out);

}  // namespace kavra
