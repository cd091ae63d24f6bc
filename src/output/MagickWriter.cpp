#include "output/MagickWriter.h"

#include <Magick++.h>

#include <cstring>
#include <mutex>

namespace kavra {

std::string magickBytes(const unsigned char *rgb, int width, int height, const char *format, std::string &error)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { Magick::InitializeMagick(nullptr); });
    try {
        Magick::Image image(unsigned(width), unsigned(height), "RGB", Magick::CharPixel, rgb);
        image.quiet(true);  // warnings are not failures
        image.magick(format);
        if (std::strcmp(format, "GIF") == 0) {
            // Charts have few colours: exact ones, not dithered ones.
            image.quantizeDither(false);
            image.quantizeColors(256);
            image.quantize();
        }
        Magick::Blob blob;
        image.write(&blob);
        if (blob.length() == 0) {
            error = std::string("GraphicsMagick made an empty ") + format + " picture";
            return {};
        }
        return std::string(static_cast<const char *>(blob.data()), blob.length());
    } catch (const Magick::Exception &e) {
        error = e.what();
        return {};
    }
}

}  // namespace kavra
