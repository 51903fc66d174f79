#include "render/VectorPicture.h"

#include <cmath>
#include <new>

#include "platform/AllocationLimit.h"
#include "platform/Catalogue.h"
#include "platform/Geometry.h"
#include "raster/CairoLibrary.h"
#include "raster/DibService.h"
#include "render/Frame.h"
#include "render/VectorLetters.h"
#include "render/Weld.h"

namespace gw {

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kPointsPerInch = 72;
constexpr std::int32_t kDefaultDpi = 96;
// A cut file's line: a thousandth of an inch, what cutters and lasers read as "cut here" rather
// than as something to draw.
constexpr double kHairlineMillimetres = 0.0254;

// A raster layer as the print render draws it, with its opacity when transparent.
struct RasterLayer {
    DibImage picture;
    std::vector<std::uint8_t> alpha;
};

void AddContours(const CairoLibrary& c, cairo_t* cr, const VectorLetters& letters) {
    c.cairo_new_path(cr);
    for (const VectorContour& contour : letters.contours) {
        if (contour.size() < 3) continue;
        c.cairo_move_to(cr, contour[0].x, contour[0].y);
        for (std::size_t i = 1; i < contour.size(); ++i)
            c.cairo_line_to(cr, contour[i].x, contour[i].y);
        c.cairo_close_path(cr);
    }
}

void SetColour(const CairoLibrary& c, cairo_t* cr, TColor colour) {
    c.cairo_set_source_rgb(cr, GetRValue(colour) / 255.0, GetGValue(colour) / 255.0,
                           GetBValue(colour) / 255.0);
}

// Paints a layer drawn `scale` times the picture size over the whole picture, under the clip.
bool PaintLayer(const CairoLibrary& c, cairo_t* cr, const RasterLayer& layer, bool transparent,
                double scale) {
    cairo_surface_t* image = PictureSurface(c, layer.picture, transparent ? &layer.alpha : nullptr);
    if (!image) return false;
    c.cairo_save(cr);
    c.cairo_scale(cr, 1 / scale, 1 / scale);
    c.cairo_set_source_surface(cr, image, 0, 0);
    // Pixels stay squares when the picture is enlarged, as they are in the picture file.
    c.cairo_pattern_set_filter(c.cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    c.cairo_paint(cr);
    c.cairo_restore(cr);
    c.cairo_surface_destroy(image);
    return true;
}

// What lies below the letters is the background's colour and nothing else.
bool PlainUnderlay(const LetteringSettings& s) {
    return !s.SurfaceFrame2.IsTexture() && s.FrameStyle == kNoFrame && !s.SchattenCheck;
}

bool PlainLetters(const LetteringSettings& s) {
    return !s.SurfaceFrame1.IsTexture() && !s.KanteCheck;
}

// The picture's layers drawn in picture pixels.
bool DrawPicture(const CairoLibrary& c, cairo_t* cr, const Lettering& lettering,
                 const VectorLetters& letters, const VectorOptions& options,
                 const RasterLayer* under, const RasterLayer* lettersLayer) {
    const LetteringSettings& s = lettering.settings;
    const bool transparent = options.print.transparent;
    const std::int32_t k = options.print.scale;
    if (under) {
        if (!PaintLayer(c, cr, *under, transparent, k)) return false;
    } else if (!transparent) {
        SetColour(c, cr, s.SurfaceFrame2.color);
        c.cairo_rectangle(cr, 0, 0, lettering.width, lettering.height);
        c.cairo_fill(cr);
    }

    AddContours(c, cr, letters);
    c.cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    if (lettersLayer) {
        c.cairo_save(cr);
        c.cairo_clip(cr);
        const bool painted = PaintLayer(c, cr, *lettersLayer, transparent, k);
        c.cairo_restore(cr);
        if (!painted) return false;
    } else {
        SetColour(c, cr, s.SurfaceFrame1.color);
        c.cairo_fill(cr);
    }

    if (s.FrameStyle != kNoFrame && s.RTextcheck && under) {
        // The band the frame shades, in the pixels of the render that drew it: every pixel within
        // w of an edge.
        const std::int32_t inner = k * (options.print.smooth ? kSmoothFactor : 1);
        const std::int64_t W = std::int64_t(lettering.width) * inner;
        const std::int64_t H = std::int64_t(lettering.height) * inner;
        const std::int64_t w = FrameBandWidth(s, std::int32_t(W), std::int32_t(H));
        c.cairo_save(cr);
        c.cairo_new_path(cr);
        c.cairo_rectangle(cr, 0, 0, lettering.width, lettering.height);
        if (W - 2 * (w + 1) > 0 && H - 2 * (w + 1) > 0)
            c.cairo_rectangle(cr, double(w + 1) / inner, double(w + 1) / inner,
                              double(W - 2 * (w + 1)) / inner, double(H - 2 * (w + 1)) / inner);
        c.cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        c.cairo_clip(cr);
        const bool painted = PaintLayer(c, cr, *under, transparent, k);
        c.cairo_restore(cr);
        if (!painted) return false;
    }
    return true;
}

void DrawOutlines(const CairoLibrary& c, cairo_t* cr, const VectorLetters& welded,
                  double hairline) {
    AddContours(c, cr, welded);
    c.cairo_save(cr);
    // The line's width in the page's own units, whatever the scale of the path.
    c.cairo_identity_matrix(cr);
    c.cairo_set_source_rgb(cr, 0, 0, 0);
    c.cairo_set_line_width(cr, hairline);
    c.cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    c.cairo_stroke(cr);
    c.cairo_restore(cr);
}

bool RenderLayer(const Lettering& lettering, const VectorOptions& options, RasterLayer& layer,
                 std::string& error, RenderOptions render) {
    return RenderPrint(lettering, options.print, layer.picture, layer.alpha, error, render);
}

}  // namespace

bool RenderVectorPicture(const Lettering& lettering, const VectorOptions& options,
                         std::vector<std::uint8_t>& bytes, std::string& error,
                         const RenderOptions& render) {
    bytes.clear();
    const CairoLibrary* loaded = LoadCairo();
    if (!loaded) {
        error = catalogue::Fill(
            catalogue::Tr("%1-Dateien schreibt die Bibliothek cairo (libcairo2), die hier fehlt."),
            {options.format == VectorFormat::Svg ? "SVG" : "PDF"});
        return false;
    }
    const CairoLibrary& c = *loaded;
    const LetteringSettings& s = lettering.settings;
    const std::int32_t k = options.print.scale;
    if (options.outlines && (k != 1 || options.print.smooth)) {
        error = catalogue::Tr("Die Umrisse haben keine Skalierung und keine geglätteten Kanten.");
        return false;
    }
    const std::int32_t largest = LargestPrintScale(lettering, options.print.smooth);
    if (k < 1 || k > largest) {
        // The print render says why.
        RasterLayer none;
        RenderLayer(lettering, options, none, error, render);
        return false;
    }

    try {
        // The outlines of the scaled render, so that they lie where its raster letters lie.
        VectorLetters letters;
        if (!LetterOutlines(lettering, letters, error, k)) return false;
        if (k > 1)
            for (VectorContour& contour : letters.contours)
                for (VectorPoint& p : contour)
                    p = {p.x / k, p.y / k};

        RasterLayer under, lettersLayer;
        const bool withUnder = !options.outlines && !PlainUnderlay(s);
        const bool withLetters = !options.outlines && !PlainLetters(s);
        if (withUnder) {
            RenderOptions without = render;
            without.withoutLetters = true;
            if (!RenderLayer(lettering, options, under, error, without)) return false;
        }
        if (withLetters && !RenderLayer(lettering, options, lettersLayer, error, render))
            return false;
        if (options.outlines) {
            VectorLetters welded;
            if (!WeldContours(letters, welded, error)) return false;
            letters = std::move(welded);
        }

        // The page: an SVG in pixels unless a resolution is given (then, and for a cut file, in
        // millimetres); a PDF in points.
        const bool svg = options.format == VectorFormat::Svg;
        const double dpi = options.dpi > 0 ? options.dpi : kDefaultDpi;
        const bool pixels = svg && options.dpi == 0 && !options.outlines;
        const double perInch = svg ? kMillimetresPerInch : kPointsPerInch;
        const double unit = pixels ? 1.0 : perInch / dpi;
        const double width = lettering.width * unit, height = lettering.height * unit;
        cairo_surface_t* page =
            svg ? c.cairo_svg_surface_create_for_stream(AppendToBytes, &bytes, width, height)
                : c.cairo_pdf_surface_create_for_stream(AppendToBytes, &bytes, width, height);
        if (!page) {
            error = kOutOfMemoryMessage;
            return false;
        }
        cairo_status_t status = c.cairo_surface_status(page);
        if (status == CAIRO_STATUS_SUCCESS) {
            if (svg)
                c.cairo_svg_surface_set_document_unit(
                    page, pixels ? CAIRO_SVG_UNIT_PX : CAIRO_SVG_UNIT_MM);
            else
                c.cairo_pdf_surface_set_metadata(page, CAIRO_PDF_METADATA_CREATOR,
                                                 "Zarbo Glyphwerk");
            cairo_t* cr = c.cairo_create(page);
            status = cr ? c.cairo_status(cr) : CAIRO_STATUS_NO_MEMORY;
            if (status == CAIRO_STATUS_SUCCESS) {
                c.cairo_scale(cr, unit, unit);
                const double hairline = kHairlineMillimetres / kMillimetresPerInch * perInch;
                if (options.outlines)
                    DrawOutlines(c, cr, letters, hairline);
                else if (!DrawPicture(c, cr, lettering, letters, options,
                                      withUnder ? &under : nullptr,
                                      withLetters ? &lettersLayer : nullptr))
                    status = CAIRO_STATUS_NO_MEMORY;
                if (status == CAIRO_STATUS_SUCCESS) status = c.cairo_status(cr);
                if (status == CAIRO_STATUS_SUCCESS && !svg) {
                    c.cairo_show_page(cr);
                    status = c.cairo_status(cr);
                }
                c.cairo_destroy(cr);
            }
            c.cairo_surface_finish(page);
            if (status == CAIRO_STATUS_SUCCESS) status = c.cairo_surface_status(page);
        }
        c.cairo_surface_destroy(page);
        if (status != CAIRO_STATUS_SUCCESS) {
            CairoFailed(status);
            bytes.clear();
            error = status == CAIRO_STATUS_NO_MEMORY || status == CAIRO_STATUS_WRITE_ERROR
                        ? kOutOfMemoryMessage
                        : catalogue::Tr("Die Vektorgrafik konnte nicht geschrieben werden.");
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
        bytes.clear();
        error = kOutOfMemoryMessage;
        return false;
    }
}

}  // namespace gw
