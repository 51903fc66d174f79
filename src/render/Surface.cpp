#include "render/Surface.h"

#include <algorithm>
#include <cstring>

#include "platform/Canvas.h"
#include "platform/ParallelRows.h"
#include "raster/Bildkern.h"
#include "raster/DibService.h"

namespace gw {

namespace {

// Tiles of tw x th at (i x tw, j x th) for i = 0 .. W div tw + 1 and j = 0 .. H div th + 1: one
// column and one row more than needed, cut off at the edges.
template <class DrawTile>
void ForEachTile(std::int32_t W, std::int32_t H, std::int32_t tw, std::int32_t th,
                 DrawTile&& draw) {
    if (tw <= 0 || th <= 0) return;
    for (std::int32_t i = 0; i <= W / tw + 1; ++i) {
        for (std::int32_t j = 0; j <= H / th + 1; ++j)
            draw(i * tw, j * th);
    }
}

// A tile: the whole texture 1:1 at (x, y), its colours as they are.
DrawDibOptions OneTile(const DibImage& texture, std::int32_t x, std::int32_t y) {
    DrawDibOptions tile =
        DrawDibOptions::Whole(texture, x, y, DibWidth(texture), DibHeight(texture));
    tile.Halftone = false;
    return tile;
}

// The way through an off-screen bitmap, for pictures the direct fill does not know; also the
// direct fill's plain twin (see RenderOptions.h).
void FillThroughBitmap(const Lettering& lettering, DibImage& Picture) {
    if (!Picture.Bits) return;
    const std::int32_t W = DibWidth(Picture);
    const std::int32_t H = DibHeight(Picture);
    const SurfaceSettings& background = lettering.settings.SurfaceFrame2;
    Bitmap bitmap(W, H, PixelFormat::Rgb24);
    Canvas canvas(bitmap);
    if (!background.IsTexture()) {
        canvas.pen.color = background.color;
        canvas.brush.color = background.color;
        canvas.Rectangle(0, 0, W, H);
    } else {
        const DibImage& texture = lettering.BackgroundTexture;
        const std::int32_t tw = DibWidth(texture);
        const std::int32_t th = DibHeight(texture);
        if (texture.Bits) {
            ForEachTile(W, H, tw, th, [&](std::int32_t x, std::int32_t y) {
                DrawDib(canvas, texture, OneTile(texture, x, y));
            });
        }
    }
    GetDIBits(bitmap, 0, H, Picture.Bits.get(), *Picture.Info, DIB_RGB_COLORS);
}

}  // namespace

void FillDi0Bkgnd(const Lettering& lettering, DibImage& Picture, const RenderOptions& options) {
    if (!Picture.Bits) return;
    const std::int32_t W = DibWidth(Picture);
    const std::int32_t H = DibHeight(Picture);
    const SurfaceSettings& background = lettering.settings.SurfaceFrame2;
    if (options.plainStages || W <= 0 || H <= 0 || DibBitCount(Picture) != 24 ||
        Picture.Stride != DibStride(W, 24))
        return FillThroughBitmap(lettering, Picture);
    const std::size_t rowBytes = std::size_t(W) * 3;
    const std::size_t padding = std::size_t(Picture.Stride) - rowBytes;
    if (!background.IsTexture()) {
        // The rectangle with pen and brush in the colour covers every pixel with it; the copy
        // into the picture zeroes the padding of the rows.
        const std::uint8_t c[3] = {GetBValue(background.color), GetGValue(background.color),
                                   GetRValue(background.color)};
        std::uint8_t* first = Picture.StoredRow(0);
        for (std::size_t x = 0; x < rowBytes; ++x)
            first[x] = c[x % 3];
        std::memset(first + rowBytes, 0, padding);
        ParallelRows(H - 1, std::int64_t(W) * H, [&](std::int64_t r0, std::int64_t r1) {
            for (std::int64_t r = r0 + 1; r < r1 + 1; ++r)
                std::memcpy(Picture.StoredRow(std::int32_t(r)), first, std::size_t(Picture.Stride));
        });
        return;
    }
    const DibImage& texture = lettering.BackgroundTexture;
    const std::int32_t tw = DibWidth(texture);
    const std::int32_t th = DibHeight(texture);
    if (!texture.Bits || tw <= 0 || th <= 0) return FillThroughBitmap(lettering, Picture);
    // Every tile is drawn 1:1 from the whole texture, so each is the same picture, cut off at
    // the edges: one tile is drawn alone, the way the bitmap would receive it, and repeated.
    Bitmap tile(tw, th, PixelFormat::Rgb24);
    Canvas canvas(tile);
    DrawDib(canvas, texture, OneTile(texture, 0, 0));
    ParallelRows(H, std::int64_t(W) * H, [&](std::int64_t y0, std::int64_t y1) {
        for (std::int32_t y = std::int32_t(y0); y < y1; ++y) {
            const std::uint8_t* from = tile.Row(y % th);
            std::uint8_t* to = Picture.Row(y);
            for (std::size_t x = 0; x < rowBytes;) {
                const std::size_t n = std::min(rowBytes - x, std::size_t(tw) * 3);
                std::memcpy(to + x, from, n);
                x += n;
            }
            std::memset(to + rowBytes, 0, padding);
        }
    });
}

TextSurfaceRows::TextSurfaceRows(const SurfaceSettings& surface, const DibImage& TextTexture)
    : texture_(surface.IsTexture()) {
    if (!texture_) {
        color_[0] = GetBValue(surface.color);
        color_[1] = GetGValue(surface.color);
        color_[2] = GetRValue(surface.color);
    } else if (TextTexture.Bits && DibBitCount(TextTexture) == 24) {
        texels_ = &TextTexture;
    } else if (TextTexture.Bits) {
        // The texture as a 24-bit bitmap of its own size, an 8-bit one through its colours.
        tile_ = Bitmap(DibWidth(TextTexture), DibHeight(TextTexture), PixelFormat::Rgb24);
        SetDIBits(tile_, 0, tile_.Height(), TextTexture.Bits.get(), *TextTexture.Info,
                  DIB_RGB_COLORS);
    }
}

namespace {

// out = (NOT letters) AND surface over n bytes; in place when out is letters, so the compiler
// vectorizes both forms.
void AndNotRun(const std::uint8_t* letters, const std::uint8_t* surface, std::uint8_t* out,
               std::size_t n) {
    if (out == letters) {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<std::uint8_t>(~out[i] & surface[i]);
    } else {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<std::uint8_t>(~letters[i] & surface[i]);
    }
}

// A surface row shorter than this is laid repeated into a row at least this long.
constexpr std::size_t kWideRow = 256;

}  // namespace

void TextSurfaceRows::Apply(const std::uint8_t* letters, std::uint8_t* out, std::int32_t count,
                            std::int32_t y) const {
    const std::size_t n = std::size_t(std::max(count, 0)) * 3;
    const std::uint8_t* surface = color_;
    std::size_t period = 3;
    if (texture_) {
        const std::int32_t tw = texels_ ? DibWidth(*texels_) : tile_.Width();
        const std::int32_t th = texels_ ? DibHeight(*texels_) : tile_.Height();
        if (tw <= 0 || th <= 0) {  // no texture to lay: the letters are only inverted
            for (std::size_t x = 0; x < n; ++x)
                out[x] = static_cast<std::uint8_t>(~letters[x]);
            return;
        }
        // Tiles from the top-left corner: pixel (x, y) lies on texel (x mod tw, y mod th).
        surface = texels_ ? texels_->Row(y % th) : tile_.Row(y % th);
        period = std::size_t(tw) * 3;
    }
    // The surface row repeated whole, so the AND runs over long stretches of bytes.
    std::uint8_t wide[2 * kWideRow];
    if (period < kWideRow) {
        std::size_t length = 0;
        for (; length < kWideRow; length += period)
            std::memcpy(wide + length, surface, period);
        surface = wide;
        period = length;
    }
    for (std::size_t x = 0; x < n; x += period)
        AndNotRun(letters + x, surface, out + x, std::min(period, n - x));
}

// DSTINVERT, then the surface tiled with SRCAND: every pixel is ANDed with the one texel (or the
// colour) that covers it. The raster operations are the plain twin of the row by row fill.
void FillTextSurface(Bitmap& T, const SurfaceSettings& surface, const DibImage& TextTexture,
                     const RenderOptions& options) {
    if (T.Format() == PixelFormat::Rgb24 && !options.plainStages) {
        const TextSurfaceRows rows(surface, TextTexture);
        ParallelRows(T.Height(), std::int64_t(T.Width()) * T.Height(),
                     [&](std::int64_t y0, std::int64_t y1) {
                         for (std::int32_t y = std::int32_t(y0); y < y1; ++y)
                             rows.Apply(T.Row(y), T.Row(y), T.Width(), y);
                     });
        return;
    }
    Bitmap S;
    if (!surface.IsTexture()) {
        S = Bitmap(T.Width(), T.Height(), PixelFormat::Rgb24, surface.color);
    } else if (TextTexture.Bits) {
        S = Bitmap(DibWidth(TextTexture), DibHeight(TextTexture), PixelFormat::Rgb24);
        SetDIBits(S, 0, S.Height(), TextTexture.Bits.get(), *TextTexture.Info, DIB_RGB_COLORS);
    }
    Canvas canvas(T);
    canvas.BitBlt(0, 0, T.Width(), T.Height(), T, 0, 0, DSTINVERT);
    canvas.copyMode = SRCAND;
    ForEachTile(T.Width(), T.Height(), S.Width(), S.Height(),
                [&](std::int32_t x, std::int32_t y) { canvas.Draw(x, y, S); });
    canvas.copyMode = SRCCOPY;
}

}  // namespace gw
