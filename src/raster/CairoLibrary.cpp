#include "raster/CairoLibrary.h"

#include <dlfcn.h>

#include "platform/AllocationLimit.h"
#include "raster/DibService.h"
#include "raster/ImageFilesCodecs.h"

namespace gw {

const CairoLibrary* LoadCairo() {
    static const CairoLibrary* const loaded = []() -> const CairoLibrary* {
        void* library = dlopen("libcairo.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        static CairoLibrary table;
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

cairo_status_t AppendToBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
    return imagefiles::AppendBytes(*bytes, data, length) ? CAIRO_STATUS_SUCCESS
                                                         : CAIRO_STATUS_WRITE_ERROR;
}

bool CairoFailed(cairo_status_t status) {
    if (status == CAIRO_STATUS_NO_MEMORY) NoteAllocationFailure();
    return false;
}

cairo_surface_t* PictureSurface(const CairoLibrary& c, const DibImage& dib,
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
        CairoFailed(status);
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

}  // namespace gw
