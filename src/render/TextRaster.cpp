#include "render/TextRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/Canvas.h"
#include "platform/Catalogue.h"
#include "platform/ExactMath.h"
#include "platform/FontEngine.h"
#include "platform/ParallelRows.h"
#include "platform/TextLayout.h"
#include "platform/Utf8.h"
#include "raster/DibService.h"
#include "render/Bevel.h"
#include "render/Disorb.h"
#include "render/LargeBuffers.h"
#include "render/Pipeline.h"
#include "render/Shadow.h"
#include "render/Surface.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace gw {

namespace {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// Whether the processor has the byte shuffles (SSSE3) the row loops below use where they can.
bool HasShuffles() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

// The font search stops here even if a broken font never outgrows the image, so a render always
// ends.
constexpr std::int32_t kLargestCharacterHeight = 4 * kMaxDibSide;

std::uint32_t AlignmentFlag(std::int32_t ausrichtBox) {
    switch (ausrichtBox) {
        case kAlignCentre:
            return DT_CENTER;
        case kAlignRight:
            return DT_RIGHT;
        default:
            return DT_LEFT;
    }
}

LogFont LetteringLogFont(const LetteringSettings& s) {
    LogFont font;
    font.name = s.Font.name;
    font.height = s.Font.height;
    font.bold = s.Font.bold;
    font.italic = s.Font.italic;
    return font;
}

std::string Utf8Of(char32_t c) {
    std::string out;
    AppendUtf8(out, c);
    return out;
}

// Measures the block into a rectangle anchored at (x, y), then draws it there, aligned.
void DrawBlockAt(Canvas& canvas, const std::string& text, std::int32_t x, std::int32_t y,
                 std::uint32_t align) {
    TRect r{x, y, x, y};
    canvas.DrawText(text, r, DT_CALCRECT | align);
    canvas.DrawText(text, r, align);
}

void CopyRows(const Bitmap& from, DibImage& to) {
    if (to.Bits) GetDIBits(from, 0, from.Height(), to.Bits.get(), *to.Info, DIB_RGB_COLORS);
}

}  // namespace

std::string JoinedText(const LetteringSettings& settings) {
    std::string text;
    for (std::size_t i = 0; i < settings.Memo1.size(); ++i) {
        if (i > 0) text += '\r';
        text += settings.Memo1[i];
    }
    return text.empty() ? std::string(" ") : text;
}

std::string FontSubstitutionNote(const LetteringSettings& settings) {
    const std::string standIn = FontStandIn(LetteringLogFont(settings));
    if (standIn.empty()) return {};
    return catalogue::Fill(
        catalogue::Tr("Schriftart „%1“ ist nicht installiert – gezeichnet wird „%2“."),
        {settings.Font.name, standIn});
}

std::string MissingCharactersNote(const LetteringSettings& settings) {
    const std::vector<char32_t> missing =
        MissingCharacters(LetteringLogFont(settings), JoinedText(settings));
    if (missing.empty()) return {};
    // The status bar's own font may lack them as well, so each is named by its number too.
    constexpr std::size_t kNamed = 8;
    std::string named;
    for (std::size_t i = 0; i < missing.size() && i < kNamed; ++i) {
        if (i > 0) named += ", ";
        char number[16];
        std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(missing[i]));
        named += catalogue::Fill(catalogue::Tr("„%1“ (%2)"), {Utf8Of(missing[i]), number});
    }
    // A text of thousands of such characters gets a note of a line, with the count of the rest.
    if (missing.size() > kNamed)
        return catalogue::Fill(
            catalogue::Tr("Für diese Zeichen gibt es keine Schrift: %1 und %2 weitere"),
            {named, std::to_string(missing.size() - kNamed)});
    return catalogue::Fill(catalogue::Tr("Für diese Zeichen gibt es keine Schrift: %1"), {named});
}

void TextImageSize(const LetteringSettings& settings, std::int32_t pictureWidth,
                   std::int32_t& width, std::int32_t& height) {
    TRect block{};
    DrawTextBlock(nullptr, LetteringLogFont(settings), clBlack, JoinedText(settings), block,
                  DT_CALCRECT);
    const std::int64_t Wt = std::max(block.right, 1);
    const std::int64_t Ht = std::max(block.bottom, 1);
    const std::int64_t V = pictureWidth;
    if (Ht < Wt) {
        width = static_cast<std::int32_t>(V);
        height = static_cast<std::int32_t>(V * Ht / Wt);
    } else {
        height = static_cast<std::int32_t>(V);
        width = static_cast<std::int32_t>(V * Wt / Ht);
    }
}

TextPlan PlanText(const Lettering& lettering, std::int32_t scale) {
    const LetteringSettings& s = lettering.settings;
    TextPlan plan;
    plan.align = AlignmentFlag(s.AusrichtBox);
    plan.text = JoinedText(s);
    plan.scale = std::max(scale, 1);
    // A scaled text image is exactly the 1x one enlarged, so that what is counted per row or
    // column at 1x can be stretched over it.
    TextImageSize(s, lettering.width / plan.scale, plan.width, plan.height);
    plan.width *= plan.scale;
    plan.height *= plan.scale;

    // Room for a shadow to the side: the text shrinks by the offset and moves away from a shadow
    // that lies to its left or above it.
    std::int32_t Rx = 0, Ry = 0, Ox = 0, Oy = 0;
    if (s.SchattenCheck && s.SRichtBox == kUpright) {
        Rx = TruncPixels(s.SRightEd);
        if (Rx < 0) Ox = Rx = -Rx;
        Ry = TruncPixels(s.SBottomEd);
        if (Ry < 0) Oy = Ry = -Ry;
    }
    plan.Ox = Ox;
    plan.Oy = Oy;

    // Grow the font a pixel at a time while the block still fits, then step back once. Measuring
    // needs no pixels.
    LogFont font = LetteringLogFont(s);
    TRect r{};
    while (plan.width - Rx >= r.right && plan.height - Ry >= r.bottom &&
           -font.height < kLargestCharacterHeight) {
        r = TRect{};
        font.height -= 1;
        DrawTextBlock(nullptr, font, clBlack, plan.text, r, DT_CALCRECT);
    }
    font.height += 1;
    plan.fitted = font;

    // The shadow text sits (SRightEd, SBottomEd) away from the letters on either side.
    plan.sx = TruncPixels(s.SRightEd);
    plan.sy = TruncPixels(s.SBottomEd);
    if (Ox > 0) plan.sx = 0;
    if (Oy > 0) plan.sy = 0;
    return plan;
}

std::vector<OutlineContour> TextLetterOutlines(const TextPlan& plan) {
    TRect r{plan.Ox, plan.Oy, plan.Ox, plan.Oy};
    DrawTextBlock(nullptr, plan.fitted, clBlack, plan.text, r, DT_CALCRECT);
    return TextBlockOutlines(plan.fitted, plan.text, r, plan.align);
}

namespace {

// The plain way: every step on work bitmaps with the drawing layer's raster operations.
// It takes every image there is, and is the reference the direct way is held to.
// One layer of the shadow: white, with the shadow text drawn in `color` and softened when the
// shadow is on.
void DrawShadowLayer(Canvas& canvas, const TextPlan& plan, const std::string& text,
                     std::uint32_t align, const LetteringSettings& s, TColor color) {
    Bitmap& layer = canvas.Target();
    canvas.pen.color = clWhite;
    canvas.brush.color = clWhite;
    canvas.Rectangle(0, 0, layer.Width(), layer.Height());
    canvas.font = plan.fitted;
    canvas.fontColor = color;
    if (s.SchattenCheck) {
        DrawBlockAt(canvas, text, plan.sx, plan.sy, align);
        SoftenShadow(layer, s);
    }
    canvas.fontColor = clBlack;
}

void RenderTextThroughBitmaps(const Lettering& lettering, const TextPlan& plan, DibImage& TextImage,
                              DibImage& TextMask, RenderTrace* trace,
                              const RenderOptions& options) {
    const LetteringSettings& s = lettering.settings;
    const std::int32_t width = plan.width, height = plan.height;
    const std::string& text = plan.text;
    const std::uint32_t align = plan.align;

    Bitmap T(width, height, PixelFormat::Mono, clWhite);
    Canvas tc(T);
    tc.font = plan.fitted;
    tc.fontColor = clBlack;
    DrawBlockAt(tc, text, plan.Ox, plan.Oy, align);
    Bitmap M = T;
    T.SetFormat(PixelFormat::Rgb24);
    if (trace) {
        newdib(trace->letters, width, height, 24, nullptr, 0);
        CopyRows(T, trace->letters);
    }

    FillTextSurface(T, s.SurfaceFrame1, lettering.TextTexture, options);

    if (options.withoutLetters) {
        // Nothing of the letters reaches the mask or the image; the shadow keeps its own.
        M.Fill(clWhite);
        T.Fill(clBlack);
    } else if (s.KanteCheck && TextImage.Bits && TextMask.Bits) {
        CopyRows(T, TextImage);
        CopyRows(M, TextMask);
        for (const EdgePassParams& pass : EdgePasses(lettering, plan.scale)) {
            EdgePass(TextImage, TextMask, lettering.BackgroundTexture, pass, options);
        }
        SetDIBits(T, 0, height, TextImage.Bits.get(), *TextImage.Info, DIB_RGB_COLORS);
    }

    Bitmap F = T;
    Bitmap H = T;

    // The opacity bitmap: the shadow drawn in blue J on white, softened.
    Canvas hc(H);
    DrawShadowLayer(hc, plan, text, align, s,
                    RGB(0, 0, static_cast<std::uint8_t>(std::clamp(ShadowLevel(s), 0, 255))));

    Disorb(H, s, plan.scale);
    Disorb(M, s, plan.scale);

    // Letters become 0 in the coverage; elsewhere the shadow's level stays.
    hc.BitBlt(0, 0, width, height, H, 0, 0, DSTINVERT);
    hc.BitBlt(0, 0, width, height, M, 0, 0, SRCAND);
    hc.BitBlt(0, 0, width, height, M, 0, 0, SRCINVERT);

    // The colour bitmap: the shadow in its colour on white, softened alike. Drawn for coverage,
    // the shadow has its colour wherever it shows at all, which a layer of that colour alone
    // gives: the opacity bitmap hides the rest.
    Canvas fc(F);
    if (options.coverage) {
        fc.pen.color = s.SColorShape;
        fc.brush.color = s.SColorShape;
        fc.Rectangle(0, 0, width, height);
    } else {
        DrawShadowLayer(fc, plan, text, align, s, s.SColorShape);
    }

    Disorb(F, s, plan.scale);
    Disorb(T, s, plan.scale);

    // Letter pixels take the surfaced letters; elsewhere F keeps its own colour, T being black.
    fc.BitBlt(0, 0, width, height, M, 0, 0, SRCAND);
    fc.BitBlt(0, 0, width, height, T, 0, 0, SRCINVERT);

    CopyRows(H, TextMask);
    CopyRows(F, TextImage);
}

std::vector<std::uint8_t*> RowsOf(DibImage& dib) {
    std::vector<std::uint8_t*> rows(static_cast<std::size_t>(DibHeight(dib)));
    for (std::int32_t y = 0; y < DibHeight(dib); ++y)
        rows[std::size_t(y)] = dib.Row(y);
    return rows;
}

std::vector<std::uint8_t*> RowsOf(std::uint8_t* plane, std::int32_t W, std::int32_t H) {
    std::vector<std::uint8_t*> rows(static_cast<std::size_t>(H));
    for (std::int32_t y = 0; y < H; ++y)
        rows[std::size_t(y)] = plane + std::size_t(y) * std::size_t(W);
    return rows;
}

// Rows of text drawn at a time by the direct way. A block is drawn band by band, each time moved
// up by the band's first row; glyph images are placed at whole pixels, so every band gets exactly
// its rows of the whole block, as long as every glyph image is rendered whole (see WholeGlyphs).
std::int32_t BandRows(std::int32_t W, std::int32_t H) {
    constexpr std::int64_t kBandBytes = std::int64_t(1) << 18;
    const std::int64_t rows = kBandBytes / (std::int64_t(W) * 3 + 1);
    return static_cast<std::int32_t>(std::min<std::int64_t>(std::max<std::int64_t>(rows, 16), H));
}

// The font engine renders glyph images too big for its cache clipped to their target, which is
// not known to give the same pixels for every clip. While large letters are drawn in bands, the
// cache takes images up to the whole text image's size (one bit a pixel), so each glyph is
// rendered whole once and every band gets its rows of the same image. Renders running at once
// share the raised limit; the last one out puts the engine's own back.
class WholeGlyphs {
  public:
    WholeGlyphs(const LogFont& fitted, std::int32_t W, std::int32_t H) {
        // Up to this em the largest glyph image stays well inside the engine's own limit.
        constexpr std::int64_t kLargestCachedEm = 2048;
        if (-std::int64_t(fitted.height) <= kLargestCachedEm) return;
        const std::size_t wanted = (std::size_t(W) + 7) / 8 * std::size_t(H);
        const std::lock_guard<std::mutex> guard(Shared().mutex);
        auto lock = fonts::EngineLock();
        const std::size_t previous = fonts::SetGlyphCacheLimit(0);
        if (Shared().users++ == 0) Shared().engineLimit = previous;
        fonts::SetGlyphCacheLimit(std::max({previous, wanted, Shared().engineLimit}));
        raised_ = true;
    }
    ~WholeGlyphs() {
        if (!raised_) return;
        const std::lock_guard<std::mutex> guard(Shared().mutex);
        if (--Shared().users > 0) return;
        auto lock = fonts::EngineLock();
        fonts::SetGlyphCacheLimit(Shared().engineLimit);
    }
    WholeGlyphs(const WholeGlyphs&) = delete;
    WholeGlyphs& operator=(const WholeGlyphs&) = delete;

  private:
    struct State {
        std::mutex mutex;
        int users = 0;
        std::size_t engineLimit = 0;
    };
    static State& Shared() {
        static State state;
        return state;
    }
    bool raised_ = false;
};

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// FirstBytes sixteen pixels at a time, as far as whole groups of them go;
// returns how many it made. Byte 3 i of the 48 is pixel i's first: each of the three parts gives
// its own to their places, the others left 0 by the shuffle, and the three are joined.
template <bool kMap>
__attribute__((target("ssse3"))) std::size_t FirstBytesShuffled(const std::uint8_t* ink,
                                                                std::size_t count,
                                                                std::uint8_t onInk,
                                                                std::uint8_t offInk,
                                                                std::uint8_t* out) {
    alignas(16) std::int8_t pick[3][16];
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 16; ++i) {
            const int at = 3 * i - 16 * j;  // pixel i's first byte within part j
            pick[j][i] = static_cast<std::int8_t>(at >= 0 && at < 16 ? at : -1);
        }
    const __m128i pick0 = _mm_load_si128(reinterpret_cast<const __m128i*>(pick[0]));
    const __m128i pick1 = _mm_load_si128(reinterpret_cast<const __m128i*>(pick[1]));
    const __m128i pick2 = _mm_load_si128(reinterpret_cast<const __m128i*>(pick[2]));
    const __m128i zero = _mm_setzero_si128();
    const __m128i on = _mm_set1_epi8(static_cast<char>(onInk));
    const __m128i off = _mm_set1_epi8(static_cast<char>(offInk));
    std::size_t x = 0;
    for (; x + 16 <= count; x += 16) {
        const auto* in = reinterpret_cast<const __m128i*>(ink + 3 * x);
        const __m128i first =
            _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(_mm_loadu_si128(in), pick0),
                                      _mm_shuffle_epi8(_mm_loadu_si128(in + 1), pick1)),
                         _mm_shuffle_epi8(_mm_loadu_si128(in + 2), pick2));
        if constexpr (kMap) {
            const __m128i isInk = _mm_cmpeq_epi8(first, zero);
            const __m128i bytes =
                _mm_or_si128(_mm_and_si128(isInk, on), _mm_andnot_si128(isInk, off));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), bytes);
        } else {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), first);
        }
    }
    return x;
}
#endif

// The first byte of each pixel of a band row, black (0) on white, for the x < count: out[x] =
// ink[3 x] as it is, or with kMap ink[3 x] == 0 ? onInk : offInk.
template <bool kMap>
void FirstBytes(const std::uint8_t* ink, std::size_t count, std::uint8_t* out,
                std::uint8_t onInk = 0, std::uint8_t offInk = 0) {
    std::size_t x = 0;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (HasShuffles()) x = FirstBytesShuffled<kMap>(ink, count, onInk, offInk, out);
#endif
    for (; x < count; ++x)
        out[x] = kMap ? (ink[3 * x] == 0 ? onInk : offInk) : ink[3 * x];
}

// v[x] = letter where shape[x] is 0, for the x < count; the two rows do not overlap. Every byte
// is stored, kept or not, so that the loop goes many bytes a step.
void FoldLetters(const std::uint8_t* __restrict shape, std::size_t count, std::uint8_t letter,
                 std::uint8_t* __restrict v) {
    for (std::size_t x = 0; x < count; ++x)
        v[x] = shape[x] == 0 ? letter : v[x];
}

// Draws the block band by band, each band into a monochrome bitmap of at most BandRows rows of its
// own, and hands every image row to take(y, row) (3 bytes a pixel, black on white). Bands of the
// block go side by side on the cores: every band reads only the block, its glyph images held and
// unchanged, and takes rows of its own.
template <class Take>
void DrawInBands(const PreparedTextBlock& block, std::int32_t W, std::int32_t H, Take&& take) {
    // No more rows a band than an even share of the threads takes: a small picture's last band
    // would otherwise hold a few rows and its bitmap a whole band's.
    const std::int64_t pixels = std::int64_t(W) * H;
    const std::int32_t threads = BandCount(H, pixels);
    const std::int32_t bandRows = std::min(BandRows(W, H), (H + threads - 1) / threads);
    const std::int64_t items = (std::int64_t(H) + bandRows - 1) / bandRows;
    const int bands = BandCount(items, pixels);
    // The bitmaps are made here, from this thread's memory, which earlier stages have mostly
    // touched already; a worker's own would come from fresh pages, each a fault.
    std::vector<Bitmap> bitmaps;
    bitmaps.reserve(std::size_t(bands));
    for (int band = 0; band < bands; ++band)
        bitmaps.emplace_back(W, bandRows, PixelFormat::Mono, clWhite);
    RunBands(bands, [&](int band) {
        Bitmap& bitmap = bitmaps[std::size_t(band)];
        std::int64_t first = 0, end = 0;
        BandRange(items, bands, band, first, end);
        for (std::int64_t b = first; b < end; ++b) {
            const std::int32_t y0 = static_cast<std::int32_t>(b * bandRows);
            if (b > first) bitmap.Fill(clWhite);
            block.Draw(bitmap, clBlack, y0);
            const std::int32_t rows = std::min(bandRows, H - y0);
            for (std::int32_t r = 0; r < rows; ++r)
                take(y0 + r, static_cast<const std::uint8_t*>(bitmap.Row(r)));
        }
    });
}

// The same images without the work bitmaps at full size and without copies. The letter mask and
// the shadow are kept one byte a pixel: the mask is black or white, and the shadow bitmaps are
// the shadow text in one colour on white, so after softening each of their pixels is fixed by how
// many of the four averaged corners the text covers (see SoftenCoverage). Text is drawn in bands
// of rows; TextImage stands for the text bitmap from the surface fill on. The raster operations
// that end the way through the bitmaps become their per-byte results, worked out once for the
// five coverages.
//
// Both one-byte planes live in TextMask's own memory, so the render never holds more than its two
// images: the letter shape for the bevel in its second third, the shadow's coverage in its first,
// into which the letters are folded once it is softened (a letter pixel shows its own colours
// whatever shadow lies below it, so it needs no coverage). The mask is made from that plane last,
// in place.
void RenderTextDirect(const Lettering& lettering, const TextPlan& plan, DibImage& TextImage,
                      DibImage& TextMask, RenderTrace* trace, const RenderOptions& options) {
    const LetteringSettings& s = lettering.settings;
    const std::int32_t W = plan.width, H = plan.height;
    const std::size_t w = std::size_t(W);
    TouchPagesInBands(TextImage.Bits.get(), DibImageSize(TextImage));
    TouchPagesInBands(TextMask.Bits.get(), DibImageSize(TextMask));
    std::uint8_t* const plane = TextMask.Bits.get();
    const auto planeRow = [plane, w](std::int32_t y) { return plane + std::size_t(y) * w; };

    const WholeGlyphs wholeGlyphs(plan.fitted, W, H);
    if (trace) newdib(trace->letters, W, H, 24, nullptr, 0);
    const TextSurfaceRows surface(s.SurfaceFrame1, lettering.TextTexture);
    const std::size_t imagePadding = std::size_t(TextImage.Stride) - 3 * w;
    const PreparedTextBlock letterBlock(plan.fitted, plan.text, plan.Ox, plan.Oy, plan.align);

    // The letters, 0 for a letter and 255 elsewhere in every byte of `letters`, handed row by row
    // to take(y, letters) and surfaced into TextImage. They are drawn once: the bevel keeps their
    // shape in the second third of TextMask, beside the shadow's plane.
    const auto drawLetters = [&](auto&& take) {
        DrawInBands(letterBlock, W, H, [&](std::int32_t y, const std::uint8_t* letters) {
            take(y, letters);
            if (trace && trace->letters.Bits) std::memcpy(trace->letters.Row(y), letters, 3 * w);
            std::uint8_t* image = TextImage.Row(y);
            surface.Apply(letters, image, W, y);
            std::memset(image + 3 * w, 0, imagePadding);
        });
    };
    std::uint8_t* const shape = plane + w * std::size_t(H);
    if (s.KanteCheck) {
        drawLetters([&](std::int32_t y, const std::uint8_t* letters) {
            FirstBytes<false>(letters, w, shape + std::size_t(y) * w);
        });
        for (const EdgePassParams& pass : EdgePasses(lettering, plan.scale))
            EdgePassOnShape(TextImage, shape, lettering.BackgroundTexture, pass);
    }

    // The shadow's coverage: 4 where its text is drawn, then softened and slanted.
    if (s.SchattenCheck) {
        const PreparedTextBlock shadowBlock(plan.fitted, plan.text, plan.sx, plan.sy, plan.align);
        DrawInBands(shadowBlock, W, H, [&](std::int32_t y, const std::uint8_t* shadow) {
            FirstBytes<true>(shadow, w, planeRow(y), 4, 0);
        });
        SoftenCoverage(plane, W, H, s);
    } else {
        std::memset(plane, 0, w * std::size_t(H));
    }
    // Coverages are 0 to 4; kLetter stands for a letter pixel (see BlendShadowRow).
    constexpr std::uint8_t kLetter = 255;
    if (s.KanteCheck) {
        ParallelRows(H, std::int64_t(W) * H, [&](std::int64_t first, std::int64_t end) {
            for (std::int64_t y = first; y < end; ++y) {
                std::uint8_t* v = planeRow(std::int32_t(y));
                const std::uint8_t* m = shape + std::size_t(y) * w;
                FoldLetters(m, w, kLetter, v);
            }
        });
    } else {
        drawLetters([&](std::int32_t y, const std::uint8_t* letters) {
            std::uint8_t* v = planeRow(y);
            for (std::size_t x = 0; x < w; ++x)
                if (letters[3 * x] == 0) v[x] = kLetter;
        });
    }

    // Pixels the deformation uncovers hold neither letter nor shadow.
    const std::vector<std::uint8_t*> vRows = RowsOf(plane, W, H);
    const std::vector<std::uint8_t*> tRows = RowsOf(TextImage);
    std::vector<std::int32_t> rowShifts, columnShifts;
    DisorbShifts(s, W, H, rowShifts, columnShifts, plan.scale);
    DisorbRows(vRows.data(), W, H, 1, 0, rowShifts, columnShifts);
    DisorbRows(tRows.data(), W, H, 3, 255, rowShifts, columnShifts);

    BlendShadowPlane(ShadowBlendTableFor(s, options.coverage), TextImage, TextMask);
}

}  // namespace

ShadowBlendTable ShadowBlendTableFor(const LetteringSettings& s, bool coverage) {
    // The shadow bitmaps' bytes by coverage: the opacity one drawn in blue J, the colour one in
    // the shadow colour, both on white.
    const auto J = static_cast<std::uint8_t>(std::clamp(ShadowLevel(s), 0, 255));
    const std::uint8_t hColor[3] = {J, 0, 0};
    const std::uint8_t fColor[3] = {GetBValue(s.SColorShape), GetGValue(s.SColorShape),
                                    GetRValue(s.SColorShape)};
    // H = ((NOT H) AND M) XOR M and F = (F AND M) XOR T, byte by byte: where M is white (no
    // letter) the mask takes the opacity byte and the text image is XORed with the colour byte;
    // under a letter the mask is 0 and the text image stays.
    ShadowBlendTable table;
    for (int k = 0; k <= 4; ++k) {
        for (int ch = 0; ch < 3; ++ch) {
            table.mask[k + 5 * ch] =
                static_cast<std::uint8_t>((k * hColor[ch] + (4 - k) * 255) / 4);
            table.image[k + 5 * ch] =
                coverage ? fColor[ch]
                         : static_cast<std::uint8_t>((k * fColor[ch] + (4 - k) * 255) / 4);
        }
    }
    return table;
}

void BlendShadowPlane(const ShadowBlendTable& table, DibImage& TextImage, DibImage& TextMask) {
    const std::int32_t W = DibWidth(TextImage), H = DibHeight(TextImage);
    const std::size_t w = std::size_t(W);
    std::uint8_t* const plane = TextMask.Bits.get();
    const auto planeRow = [plane, w](std::int32_t y) { return plane + std::size_t(y) * w; };
    // The plane's rows turned upside down, into the order of the mask's stored rows: stored row r
    // of the mask reads plane row r and writes bytes from r times the mask's stride on, which
    // reach only plane rows beyond r. So the mask is made in rounds from the top stored row
    // down: a round takes the stored rows whose bytes lie wholly beyond the plane rows it reads,
    // all of them rows earlier rounds have read already, and its rows go side by side.
    for (std::int32_t y = 0; y < H / 2; ++y)
        std::swap_ranges(planeRow(y), planeRow(y) + w, planeRow(H - 1 - y));
    const std::size_t stride = std::size_t(TextMask.Stride);
    const std::size_t maskPadding = stride - 3 * w;
    const auto makeRows = [&](std::int64_t first, std::int64_t end) {
        std::vector<std::uint8_t> coverage;
        for (std::int64_t r = end - 1; r >= first; --r) {
            const auto stored = static_cast<std::int32_t>(r);
            const std::uint8_t* v = planeRow(stored);
            // A row whose mask bytes begin within its own plane row reads a copy of it.
            if (std::size_t(r) * stride < std::size_t(r + 1) * w) {
                coverage.assign(v, v + w);
                v = coverage.data();
            }
            std::uint8_t* mask = TextMask.StoredRow(stored);
            BlendShadowRow(v, w, table, mask, TextImage.StoredRow(stored));
            std::memset(mask + 3 * w, 0, maskPadding);
        }
    };
    for (std::int64_t end = H; end > 0;) {
        // The round's plane rows end at byte end * w, at or before its first written byte.
        std::int64_t first =
            (end * std::int64_t(w) + std::int64_t(stride) - 1) / std::int64_t(stride);
        // The last row reads its own plane row before it overwrites it.
        if (first >= end) first = end - 1;
        // The later rounds are a few rows each, too few to be worth a second thread.
        ParallelRows(end - first, (end - first) * std::int64_t(W),
                     [&](std::int64_t a, std::int64_t b) { makeRows(first + a, first + b); });
        end = first;
    }
}

// An index of 128 and up picks 0, as a byte shuffle does: a letter's 255 stays there whatever
// its channel adds.
void BlendShadowRowPlain(const std::uint8_t* coverage, std::size_t count,
                         const ShadowBlendTable& table, std::uint8_t* mask, std::uint8_t* image) {
    for (std::size_t x = 0; x < count; ++x) {
        for (unsigned ch = 0; ch < 3; ++ch) {
            const unsigned i = std::min(coverage[x] + 5 * ch, 255u);
            const std::uint8_t keep = (i & 0x80) != 0 ? 0 : 0xFF;
            mask[3 * x + ch] = table.mask[i & 15] & keep;
            image[3 * x + ch] ^= table.image[i & 15] & keep;
        }
    }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
namespace {

// Sixteen pixels at a time: their coverages spread over the 48 bytes they fill (byte b of part
// j is pixel (16 j + b) div 3), 5 x channel added with saturation, each part's bytes shuffled
// out of the two tables.
__attribute__((target("ssse3"))) void BlendShadowRowShuffled(const std::uint8_t* coverage,
                                                             std::size_t count,
                                                             const ShadowBlendTable& table,
                                                             std::uint8_t* mask,
                                                             std::uint8_t* image) {
    alignas(16) std::uint8_t spread[3][16], offset[3][16];
    for (int j = 0; j < 3; ++j) {
        for (int b = 0; b < 16; ++b) {
            spread[j][b] = static_cast<std::uint8_t>((16 * j + b) / 3);
            offset[j][b] = static_cast<std::uint8_t>(5 * ((16 * j + b) % 3));
        }
    }
    const __m128i maskTable = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.mask));
    const __m128i imageTable = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.image));
    __m128i spreads[3], offsets[3];
    for (int j = 0; j < 3; ++j) {
        spreads[j] = _mm_load_si128(reinterpret_cast<const __m128i*>(spread[j]));
        offsets[j] = _mm_load_si128(reinterpret_cast<const __m128i*>(offset[j]));
    }
    std::size_t x = 0;
    for (; x + 16 <= count; x += 16) {
        const __m128i k = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coverage + x));
        for (int j = 0; j < 3; ++j) {
            const __m128i i = _mm_adds_epu8(_mm_shuffle_epi8(k, spreads[j]), offsets[j]);
            auto* m = reinterpret_cast<__m128i*>(mask + 3 * x + 16 * std::size_t(j));
            auto* t = reinterpret_cast<__m128i*>(image + 3 * x + 16 * std::size_t(j));
            _mm_storeu_si128(m, _mm_shuffle_epi8(maskTable, i));
            _mm_storeu_si128(t, _mm_xor_si128(_mm_loadu_si128(t), _mm_shuffle_epi8(imageTable, i)));
        }
    }
    BlendShadowRowPlain(coverage + x, count - x, table, mask + 3 * x, image + 3 * x);
}

}  // namespace
#endif

void BlendShadowRow(const std::uint8_t* coverage, std::size_t count, const ShadowBlendTable& table,
                    std::uint8_t* mask, std::uint8_t* image) {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (HasShuffles()) return BlendShadowRowShuffled(coverage, count, table, mask, image);
#endif
    BlendShadowRowPlain(coverage, count, table, mask, image);
}

void RenderText(const Lettering& lettering, DibImage& TextImage, DibImage& TextMask,
                RenderTrace* trace, std::int32_t scale, const RenderOptions& options) {
    const TextPlan plan = PlanText(lettering, scale);
    // The direct way writes every byte of both images, padding included, before it reads one.
    const DibPixels pixels = options.plainStages ? DibPixels::Zeroed : DibPixels::Uncleared;
    newdib(TextImage, plan.width, plan.height, 24, nullptr, 0, pixels);
    newdib(TextMask, plan.width, plan.height, 24, nullptr, 0, pixels);
    if (TextImage.Bits && TextMask.Bits && !options.plainStages) {
        RenderTextDirect(lettering, plan, TextImage, TextMask, trace, options);
        return;
    }
    for (DibImage* dib : {&TextImage, &TextMask})
        if (dib->Bits && pixels == DibPixels::Uncleared)
            std::memset(dib->Bits.get(), 0, DibImageSize(*dib));
    RenderTextThroughBitmaps(lettering, plan, TextImage, TextMask, trace, options);
}

void RenderTextReference(const Lettering& lettering, DibImage& TextImage, DibImage& TextMask,
                         RenderTrace* trace, std::int32_t scale, const RenderOptions& options) {
    const TextPlan plan = PlanText(lettering, scale);
    newdib(TextImage, plan.width, plan.height, 24, nullptr, 0);
    newdib(TextMask, plan.width, plan.height, 24, nullptr, 0);
    RenderTextThroughBitmaps(lettering, plan, TextImage, TextMask, trace, options);
}

}  // namespace gw
