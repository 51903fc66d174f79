#pragma once
// cairo, opened when the first PDF or SVG is written and called through a table of its
// functions.
//
// cairo and what it brings along (pixman, the X11 and xcb libraries) took a good part of every
// renderer start, though only the PDF and vector pictures need them; so the library is opened on
// demand, once, and stays open for good.

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <cstdint>
#include <vector>

#include "raster/DibImage.h"

namespace gw {

#define GW_CAIRO_FUNCTIONS(X)                \
    X(cairo_clip)                            \
    X(cairo_close_path)                      \
    X(cairo_create)                          \
    X(cairo_destroy)                         \
    X(cairo_fill)                            \
    X(cairo_get_source)                      \
    X(cairo_identity_matrix)                 \
    X(cairo_image_surface_create)            \
    X(cairo_image_surface_get_data)          \
    X(cairo_image_surface_get_stride)        \
    X(cairo_line_to)                         \
    X(cairo_move_to)                         \
    X(cairo_new_path)                        \
    X(cairo_paint)                           \
    X(cairo_pattern_set_filter)              \
    X(cairo_pdf_surface_create_for_stream)   \
    X(cairo_pdf_surface_set_metadata)        \
    X(cairo_rectangle)                       \
    X(cairo_reset_clip)                      \
    X(cairo_restore)                         \
    X(cairo_save)                            \
    X(cairo_scale)                           \
    X(cairo_set_fill_rule)                   \
    X(cairo_set_line_join)                   \
    X(cairo_set_line_width)                  \
    X(cairo_set_source_rgb)                  \
    X(cairo_set_source_surface)              \
    X(cairo_show_page)                       \
    X(cairo_status)                          \
    X(cairo_stroke)                          \
    X(cairo_surface_destroy)                 \
    X(cairo_surface_finish)                  \
    X(cairo_surface_flush)                   \
    X(cairo_surface_mark_dirty)              \
    X(cairo_surface_status)                  \
    X(cairo_svg_surface_create_for_stream)   \
    X(cairo_svg_surface_restrict_to_version) \
    X(cairo_svg_surface_set_document_unit)

struct CairoLibrary {
#define GW_CAIRO_POINTER(name) decltype(&::name) name = nullptr;
    GW_CAIRO_FUNCTIONS(GW_CAIRO_POINTER)
#undef GW_CAIRO_POINTER
};

// Null when the library or one of its functions is missing (it is only recommended by the
// packages).
const CairoLibrary* LoadCairo();

// A cairo stream writer appending to the std::vector<std::uint8_t> given as closure; a failure
// for want of memory is counted and reported to cairo as a write error.
cairo_status_t AppendToBytes(void* closure, const unsigned char* data, unsigned int length);

// False for any failure; one for want of memory is counted as such, so that the caller says so.
bool CairoFailed(cairo_status_t status);

// The picture as a cairo image: opaque RGB, or with `alpha` (one byte a pixel, rows from the top)
// premultiplied as cairo wants it. Null when it cannot be made (a failure noted).
cairo_surface_t* PictureSurface(const CairoLibrary& c, const DibImage& dib,
                                const std::vector<std::uint8_t>* alpha);

}  // namespace gw
