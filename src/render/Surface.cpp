#include "render/Surface.h"

#include "platform/Canvas.h"
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

}  // namespace

void FillDi0Bkgnd(const Lettering& lettering, DibImage& Picture) {
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
                DrawDib(canvas, x, y, tw, th, texture, 0, 0, tw, th, false, SRCCOPY, false, 0);
            });
        }
    }
    GetDIBits(bitmap, 0, H, Picture.Bits.get(), *Picture.Info, DIB_RGB_COLORS);
}

void FillTextSurface(Bitmap& T, const SurfaceSettings& surface, const DibImage& TextTexture) {
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
