// The entry of kavra-picture-writers.so: the writers that need GraphicsMagick,
// librsvg, cairo and libEMF, handed to the program that loads the module.

#include "output/EmfWriter.h"
#include "output/EpsWriter.h"
#include "output/MagickWriter.h"
#include "output/PictureWritersTable.h"

extern "C" __attribute__((visibility("default"))) const kavra::PictureWriters *kavra_picture_writers()
{
    static const kavra::PictureWriters writers = {
        KAVRA_VERSION_TEXT,
        &kavra::magickBytes,
        &kavra::epsFromSvg,
        &kavra::emfBytes,
    };
    return &writers;
}
