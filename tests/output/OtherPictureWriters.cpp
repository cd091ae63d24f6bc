// A picture writers module of another Kavra version, which the programs refuse.

#include "output/PictureWritersTable.h"

extern "C" __attribute__((visibility("default"))) const kavra::PictureWriters *kavra_picture_writers()
{
    static const kavra::PictureWriters writers = {"0.9.0", nullptr, nullptr, nullptr};
    return &writers;
}
