#include "output/EpsWriter.h"

// GLib's headers are kept away from Qt's (whose keywords they trip over).
#include <cairo-ps.h>
#include <librsvg/rsvg.h>

namespace kavra {
namespace {

cairo_status_t append(void *closure, const unsigned char *data, unsigned int length)
{
    static_cast<std::string *>(closure)->append(reinterpret_cast<const char *>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

std::string takeError(GError *gerror, const char *fallback)
{
    std::string message = gerror ? gerror->message : fallback;
    if (gerror)
        g_error_free(gerror);
    return message;
}

}  // namespace

std::string epsFromSvg(const std::string &svg, double widthPoints, double heightPoints, std::string &error)
{
    GError *gerror = nullptr;
    RsvgHandle *handle =
        rsvg_handle_new_from_data(reinterpret_cast<const guint8 *>(svg.data()), gsize(svg.size()), &gerror);
    if (!handle) {
        error = "Cannot read the SVG drawing: " + takeError(gerror, "unknown error");
        return {};
    }
    std::string eps;
    cairo_surface_t *surface = cairo_ps_surface_create_for_stream(append, &eps, widthPoints, heightPoints);
    cairo_ps_surface_set_eps(surface, TRUE);
    cairo_t *cairo = cairo_create(surface);
    const RsvgRectangle viewport = {0, 0, widthPoints, heightPoints};
    const gboolean drawn = rsvg_handle_render_document(handle, cairo, &viewport, &gerror);
    cairo_destroy(cairo);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    g_object_unref(handle);
    if (!drawn) {
        error = "Cannot draw the SVG drawing: " + takeError(gerror, "unknown error");
        return {};
    }
    if (status != CAIRO_STATUS_SUCCESS) {
        error = std::string("Cannot make the PostScript: ") + cairo_status_to_string(status);
        return {};
    }
    return eps;
}

}  // namespace kavra
