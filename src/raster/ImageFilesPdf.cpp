// PDF through cairo: one page holding the picture as an image, stored without loss.
//
// cairo and what it brings along (pixman, the X11 and xcb libraries) took a good part of every
// renderer start, though only a PDF needs them: the library is opened when the first PDF is
// written, and its functions are called through the table below.

#include <cairo-pdf.h>
#include <cairo.h>
#include <dlfcn.h>

#include <cstring>

#include "platform/AllocationLimit.h"
#include "raster/DibService.h"
#include "raster/ImageFilesCodecs.h"

namespace gw::imagefiles {

namespace {

#define GW_CAIRO_FUNCTIONS(X)              \
    X(cairo_create)                        \
    X(cairo_destroy)                       \
    X(cairo_get_source)                    \
    X(cairo_image_surface_create)          \
    X(cairo_image_surface_get_data)        \
    X(cairo_image_surface_get_stride)      \
    X(cairo_paint)                         \
    X(cairo_pattern_set_filter)            \
    X(cairo_pdf_surface_create_for_stream) \
    X(cairo_pdf_surface_set_metadata)      \
    X(cairo_scale)                         \
    X(cairo_set_source_surface)            \
    X(cairo_show_page)                     \
    X(cairo_status)                        \
    X(cairo_surface_destroy)               \
    X(cairo_surface_finish)                \
    X(cairo_surface_flush)                 \
    X(cairo_surface_mark_dirty)            \
    X(cairo_surface_status)

struct Cairo {
#define GW_CAIRO_POINTER(name) decltype(&::name) name = nullptr;
    GW_CAIRO_FUNCTIONS(GW_CAIRO_POINTER)
#undef GW_CAIRO_POINTER
};

// Null when the library or one of its functions is missing; the library stays open for good.
const Cairo* LoadCairo() {
    static const Cairo* const loaded = []() -> const Cairo* {
        void* library = dlopen("libcairo.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static Cairo table;
        bool complete = true;
#define GW_CAIRO_LOOKUP(name)                                                \
    table.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name)); \
    complete = complete && table.name;
        GW_CAIRO_FUNCTIONS(GW_CAIRO_LOOKUP)
#undef GW_CAIRO_LOOKUP
        return complete ? &table : nullptr;
    }();
    return loaded;
}

cairo_status_t AppendToVector(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
    return AppendBytes(*bytes, data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

// A cairo failure: one for want of memory is counted as such, so that the caller says so.
bool Failed(cairo_status_t status) {
    if (status == CAIRO_STATUS_NO_MEMORY) NoteAllocationFailure();
    return false;
}

// The picture as a cairo image: opaque RGB, or with its opacity premultiplied as cairo wants it.
// Null when it cannot be made (a failure noted).
cairo_surface_t* PictureSurface(const Cairo& c, const DibImage& dib,
                                const std::vector<std::uint8_t>* alpha) {
    const int width = DibWidth(dib);
    const int height = DibHeight(dib);
    // cairo's image is four bytes a pixel, asked of the gate like every large block.
    if (!MayAllocate(std::size_t(width) * std::size_t(height) * 4)) return nullptr;
    cairo_surface_t* surface = c.cairo_image_surface_create(
        alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, width, height);
    if (!surface) return nullptr;
    // A surface that could not be made is one of cairo's own error objects: not ours to destroy.
    if (const cairo_status_t status = c.cairo_surface_status(surface);
        status != CAIRO_STATUS_SUCCESS) {
        Failed(status);
        return nullptr;
    }
    c.cairo_surface_flush(surface);
    unsigned char* pixels = c.cairo_image_surface_get_data(surface);
    const int stride = c.cairo_image_surface_get_stride(surface);
    if (!pixels) {
        c.cairo_surface_destroy(surface);
        return nullptr;
    }
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
    c.cairo_surface_mark_dirty(surface);
    return surface;
}

// The page drawn with the picture; every status looked at before the next step, since cairo
// short of memory hands back objects in an error state.
bool DrawPage(const Cairo& c, cairo_surface_t* picture, double width, double height, double points,
              std::vector<std::uint8_t>& bytes) {
    cairo_surface_t* pdf =
        c.cairo_pdf_surface_create_for_stream(AppendToVector, &bytes, width, height);
    if (!pdf) return false;
    if (const cairo_status_t status = c.cairo_surface_status(pdf); status != CAIRO_STATUS_SUCCESS)
        return Failed(status);
    c.cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_CREATOR, "Zarbo Glyphwerk");
    cairo_t* cr = c.cairo_create(pdf);
    cairo_status_t status = cr ? c.cairo_status(cr) : CAIRO_STATUS_NO_MEMORY;
    const bool made = status == CAIRO_STATUS_SUCCESS;
    if (status == CAIRO_STATUS_SUCCESS) {
        c.cairo_scale(cr, points, points);
        c.cairo_set_source_surface(cr, picture, 0, 0);
        status = c.cairo_status(cr);
    }
    if (status == CAIRO_STATUS_SUCCESS) {
        // Pixels stay squares when the page is enlarged, as they are in the picture file.
        c.cairo_pattern_set_filter(c.cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        c.cairo_paint(cr);
        status = c.cairo_status(cr);
    }
    if (status == CAIRO_STATUS_SUCCESS) {
        c.cairo_show_page(cr);
        status = c.cairo_status(cr);
    }
    if (made) c.cairo_destroy(cr);
    c.cairo_surface_finish(pdf);
    if (status == CAIRO_STATUS_SUCCESS) status = c.cairo_surface_status(pdf);
    c.cairo_surface_destroy(pdf);
    return status == CAIRO_STATUS_SUCCESS || Failed(status);
}

}  // namespace

bool PdfAvailable() {
    return LoadCairo() != nullptr;
}

bool EncodePdf(const DibImage& dib, const ImageExtras& extras, std::vector<std::uint8_t>& bytes) {
    const double dpi = extras.dpi > 0 ? extras.dpi : 96.0;
    const double points = 72.0 / dpi;  // a PDF point is 1/72 inch
    const Cairo* loaded = LoadCairo();
    if (!loaded) return false;
    const Cairo& c = *loaded;
    cairo_surface_t* picture = PictureSurface(c, dib, extras.alpha);
    if (!picture) return false;
    const bool ok =
        DrawPage(c, picture, DibWidth(dib) * points, DibHeight(dib) * points, points, bytes);
    c.cairo_surface_destroy(picture);
    if (!ok) bytes.clear();
    return ok;
}

}  // namespace gw::imagefiles
