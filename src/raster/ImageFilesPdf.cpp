// PDF through cairo: one page holding the picture as an image, stored without loss.

#include "raster/CairoLibrary.h"
#include "raster/DibService.h"
#include "raster/ImageFilesCodecs.h"

namespace gw::imagefiles {

namespace {

// The page drawn with the picture; every status looked at before the next step, since cairo
// short of memory hands back objects in an error state.
bool DrawPage(const CairoLibrary& c, cairo_surface_t* picture, double width, double height,
              double points, std::vector<std::uint8_t>& bytes) {
    cairo_surface_t* pdf =
        c.cairo_pdf_surface_create_for_stream(AppendToBytes, &bytes, width, height);
    if (!pdf) return false;
    if (const cairo_status_t status = c.cairo_surface_status(pdf); status != CAIRO_STATUS_SUCCESS)
        return CairoFailed(status);
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
    return status == CAIRO_STATUS_SUCCESS || CairoFailed(status);
}

}  // namespace

bool PdfAvailable() {
    return LoadCairo() != nullptr;
}

bool EncodePdf(const DibImage& dib, const ImageExtras& extras, std::vector<std::uint8_t>& bytes) {
    const double dpi = extras.dpi > 0 ? extras.dpi : 96.0;
    const double points = 72.0 / dpi;  // a PDF point is 1/72 inch
    const CairoLibrary* loaded = LoadCairo();
    if (!loaded) return false;
    const CairoLibrary& c = *loaded;
    cairo_surface_t* picture = PictureSurface(c, dib, extras.alpha);
    if (!picture) return false;
    const bool ok =
        DrawPage(c, picture, DibWidth(dib) * points, DibHeight(dib) * points, points, bytes);
    c.cairo_surface_destroy(picture);
    if (!ok) bytes.clear();
    return ok;
}

}  // namespace gw::imagefiles
