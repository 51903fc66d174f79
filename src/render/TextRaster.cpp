#include "render/TextRaster.h"

#include <algorithm>
#include <cmath>

#include "platform/Canvas.h"
#include "platform/TextLayout.h"
#include "raster/DibService.h"
#include "render/Bevel.h"
#include "render/Disorb.h"
#include "render/Pipeline.h"
#include "render/Shadow.h"
#include "render/Surface.h"

namespace gw {

namespace {

// The font search stops here even if a broken font never outgrows the image, so a render always
// ends.
constexpr std::int32_t kLargestCharacterHeight = 4 * kMaxDibSide;

std::uint32_t AlignmentFlag(std::int32_t ausrichtBox) {
    switch (ausrichtBox) {
        case 1:
            return DT_CENTER;
        case 2:
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

std::int32_t TruncPixels(double value) {
    return static_cast<std::int32_t>(std::trunc(std::clamp(value, -1e9, 1e9)));
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

void RenderText(const Lettering& lettering, DibImage& TextImage, DibImage& TextMask,
                RenderTrace* trace) {
    const LetteringSettings& s = lettering.settings;
    const std::uint32_t align = AlignmentFlag(s.AusrichtBox);
    const std::string text = JoinedText(s);

    std::int32_t width = 0, height = 0;
    TextImageSize(s, lettering.width, width, height);
    newdib(TextImage, width, height, 24, nullptr, 0);
    newdib(TextMask, width, height, 24, nullptr, 0);

    Bitmap T(width, height, PixelFormat::Mono, clWhite);
    Canvas tc(T);
    tc.font = LetteringLogFont(s);

    // Room for a shadow to the side: the text shrinks by the offset and moves away from a shadow
    // that lies to its left or above it.
    std::int32_t Rx = 0, Ry = 0, Ox = 0, Oy = 0;
    if (s.SchattenCheck && s.SRichtBox == 0) {
        Rx = TruncPixels(s.SRightEd);
        if (Rx < 0) Ox = Rx = -Rx;
        Ry = TruncPixels(s.SBottomEd);
        if (Ry < 0) Oy = Ry = -Ry;
    }

    // Grow the font a pixel at a time while the block still fits, then step back once.
    TRect r{};
    while (width - Rx >= r.right && height - Ry >= r.bottom &&
           -tc.font.height < kLargestCharacterHeight) {
        r = TRect{};
        tc.font.height -= 1;
        tc.DrawText(text, r, DT_CALCRECT);
    }
    tc.font.height += 1;

    tc.fontColor = clBlack;
    DrawBlockAt(tc, text, Ox, Oy, align);
    Bitmap M = T;
    T.SetFormat(PixelFormat::Rgb24);
    if (trace) {
        newdib(trace->letters, width, height, 24, nullptr, 0);
        CopyRows(T, trace->letters);
    }

    FillTextSurface(T, s.SurfaceFrame1, lettering.TextTexture);

    if (s.KanteCheck && TextImage.Bits && TextMask.Bits) {
        CopyRows(T, TextImage);
        CopyRows(M, TextMask);
        for (const EdgePassParams& pass : EdgePasses(lettering)) {
            EdgePass(TextImage, TextMask, lettering.BackgroundTexture, pass);
        }
        SetDIBits(T, 0, height, TextImage.Bits.get(), *TextImage.Info, DIB_RGB_COLORS);
    }

    Bitmap F = T;
    Bitmap H = T;
    const LogFont fitted = tc.font;
    // The shadow text sits (SRightEd, SBottomEd) away from the letters on either side.
    std::int32_t sx = TruncPixels(s.SRightEd);
    std::int32_t sy = TruncPixels(s.SBottomEd);
    if (Ox > 0) sx = 0;
    if (Oy > 0) sy = 0;

    // The opacity bitmap: the shadow drawn in blue J on white, softened.
    Canvas hc(H);
    hc.pen.color = clWhite;
    hc.brush.color = clWhite;
    hc.Rectangle(0, 0, width, height);
    hc.font = fitted;
    hc.fontColor = RGB(0, 0, static_cast<std::uint8_t>(std::clamp(ShadowLevel(s), 0, 255)));
    if (s.SchattenCheck) {
        DrawBlockAt(hc, text, sx, sy, align);
        SoftenShadow(H, s);
    }
    hc.fontColor = clBlack;

    Disorb(H, s);
    Disorb(M, s);

    // Letters become 0 in the coverage; elsewhere the shadow's level stays.
    hc.BitBlt(0, 0, width, height, H, 0, 0, DSTINVERT);
    hc.BitBlt(0, 0, width, height, M, 0, 0, SRCAND);
    hc.BitBlt(0, 0, width, height, M, 0, 0, SRCINVERT);

    // The colour bitmap: the shadow in its colour on white, softened alike.
    Canvas fc(F);
    fc.pen.color = clWhite;
    fc.brush.color = clWhite;
    fc.Rectangle(0, 0, width, height);
    fc.font = fitted;
    fc.fontColor = s.SColorShape;
    if (s.SchattenCheck) {
        DrawBlockAt(fc, text, sx, sy, align);
        SoftenShadow(F, s);
    }
    fc.fontColor = clBlack;

    Disorb(F, s);
    Disorb(T, s);

    // Letter pixels take the surfaced letters; elsewhere F keeps its own colour, T being black.
    fc.BitBlt(0, 0, width, height, M, 0, 0, SRCAND);
    fc.BitBlt(0, 0, width, height, T, 0, 0, SRCINVERT);

    CopyRows(H, TextMask);
    CopyRows(F, TextImage);
}

}  // namespace gw
