// PDF through cairo: one page holding the picture as an image, stored without loss.

#include <cairo-pdf.h>
#include <cairo.h>

#include <cstring>

#include "raster/DibService.h"
#include "raster/ImageFilesCodecs.h"

namespace gw::imagefiles {

namespace {

cairo_status_t AppendToVector(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
    return AppendBytes(*bytes, data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

// The picture as a cairo image: opaque RGB, or with its opacity premultiplied as cairo wants it.
cairo_surface_t* PictureSurface(const DibImage& dib, const std::vector<std::uint8_t>* alpha) {
    const int width = DibWidth(dib);
    const int height = DibHeight(dib);
    cairo_surface_t* surface =
        cairo_image_surface_create(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return surface;
    cairo_surface_flush(surface);
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int t = 0; t < height; ++t) {
        const std::uint8_t* src = dib.Row(t);
        auto* dst = reinterpret_cast<std::uint32_t*>(pixels + std::size_t(stride) * t);
        const std::uint8_t* a = alpha ? alpha->data() + std::size_t(width) * t : nullptr;
        for (int x = 0; x < width; ++x, src += 3) {
            std::uint32_t opacity = a ? a[x] : 255;
            const auto pre = [opacity](std::uint32_t v) { return (v * opacity + 127) / 255; };
            dst[x] = opacity << 24 | pre(src[2]) << 16 | pre(src[1]) << 8 | pre(src[0]);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

}  // namespace

bool EncodePdf(const DibImage& dib, const ImageExtras& extras, std::vector<std::uint8_t>& bytes) {
    const double dpi = extras.dpi > 0 ? extras.dpi : 96.0;
    const double points = 72.0 / dpi;  // a PDF point is 1/72 inch
    cairo_surface_t* picture = PictureSurface(dib, extras.alpha);
    bool ok = cairo_surface_status(picture) == CAIRO_STATUS_SUCCESS;
    if (ok) {
        cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(
            AppendToVector, &bytes, DibWidth(dib) * points, DibHeight(dib) * points);
        cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_CREATOR, "Zarbo Glyphwerk");
        cairo_t* cr = cairo_create(pdf);
        cairo_scale(cr, points, points);
        cairo_set_source_surface(cr, picture, 0, 0);
        // Pixels stay squares when the page is enlarged, as they are in the picture file.
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_show_page(cr);
        ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
        cairo_destroy(cr);
        cairo_surface_finish(pdf);
        ok = ok && cairo_surface_status(pdf) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(pdf);
    }
    cairo_surface_destroy(picture);
    if (!ok) bytes.clear();
    return ok;
}

}  // namespace gw::imagefiles
