#include "ui/EnvelopeThumbnails.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/Presets.h"

namespace gw {

namespace {

constexpr std::int32_t kThumbWidth = 64;
constexpr std::int32_t kThumbHeight = 32;
// Drawn this many times larger and averaged down, so the thin lines come out smooth.
constexpr std::int32_t kScale = 4;

constexpr TColor kPaper = RGB(250, 250, 246);
constexpr TColor kHull = RGB(176, 204, 236);
constexpr TColor kUpper = RGB(16, 48, 128);
constexpr TColor kLower = RGB(70, 110, 180);
constexpr TColor kStart = RGB(200, 30, 30);

// Fills the quadrilateral a b c d (even-odd, pixel centres) in the bitmap.
void FillQuad(Bitmap& bitmap, const TPoint (&q)[4], TColor colour) {
    std::int32_t top = q[0].y;
    std::int32_t bottom = q[0].y;
    for (const TPoint& p : q) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    top = std::max(top, 0);
    bottom = std::min(bottom, bitmap.Height() - 1);
    std::vector<double> crossings;
    for (std::int32_t y = top; y <= bottom; ++y) {
        const double cy = y + 0.5;
        crossings.clear();
        for (int i = 0; i < 4; ++i) {
            const TPoint a = q[i];
            const TPoint b = q[(i + 1) % 4];
            if ((a.y <= cy) == (b.y <= cy)) continue;
            crossings.push_back(a.x + (cy - a.y) * (b.x - a.x) / double(b.y - a.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const auto from = std::int32_t(std::ceil(crossings[i] - 0.5));
            const auto to = std::int32_t(std::floor(crossings[i + 1] - 0.5));
            for (std::int32_t x = std::max(from, 0); x <= std::min(to, bitmap.Width() - 1); ++x)
                bitmap.SetPixel(x, y, colour);
        }
    }
}

// A polyline `width` pixels wide: the thin line drawn side by side.
void ThickLine(Canvas& canvas, const std::vector<TPoint>& points, TColor colour,
               std::int32_t width) {
    canvas.pen = Pen{colour, PenStyle::Solid, PenMode::Copy};
    const std::int32_t lo = -(width / 2);
    for (std::int32_t ox = lo; ox < lo + width; ++ox) {
        for (std::int32_t oy = lo; oy < lo + width; ++oy) {
            std::vector<TPoint> moved = points;
            for (TPoint& p : moved)
                p = {p.x + ox, p.y + oy};
            canvas.Polyline(moved);
            // The end point is left out by every line; it belongs to the line all the same.
            if (!moved.empty()) canvas.Target().SetPixel(moved.back().x, moved.back().y, colour);
        }
    }
}

// The big picture averaged down by kScale in both directions.
Bitmap Reduce(const Bitmap& big) {
    Bitmap small(big.Width() / kScale, big.Height() / kScale);
    for (std::int32_t y = 0; y < small.Height(); ++y) {
        for (std::int32_t x = 0; x < small.Width(); ++x) {
            std::uint32_t r = 0, g = 0, b = 0;
            for (std::int32_t v = 0; v < kScale; ++v) {
                for (std::int32_t u = 0; u < kScale; ++u) {
                    const TColor c = big.Pixel(x * kScale + u, y * kScale + v);
                    r += GetRValue(c);
                    g += GetGValue(c);
                    b += GetBValue(c);
                }
            }
            const std::uint32_t n = kScale * kScale;
            small.SetPixel(x, y,
                           RGB(std::uint8_t((r + n / 2) / n), std::uint8_t((g + n / 2) / n),
                               std::uint8_t((b + n / 2) / n)));
        }
    }
    return small;
}

Bitmap Thumbnail(int preset, std::int32_t scale) {
    const std::int32_t w = kThumbWidth * kScale * scale;
    const std::int32_t h = kThumbHeight * kScale * scale;
    Bitmap big(w, h, PixelFormat::Rgb24, kPaper);
    const auto lines = EnvelopePresetLines(preset, w, h, 1.5);
    const std::vector<TPoint>& upper = lines[0];
    const std::vector<TPoint>& lower = lines[1];
    // The hull: the band between corresponding segments of the two lines, as the text fills it.
    const std::size_t n = std::min(upper.size(), lower.size());
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const TPoint quad[4] = {upper[i], upper[i + 1], lower[i + 1], lower[i]};
        FillQuad(big, quad, kHull);
    }
    Canvas canvas(big);
    if (n > 0) ThickLine(canvas, {upper[0], lower[0]}, kStart, 5 * scale);
    ThickLine(canvas, lower, kLower, 4 * scale);
    ThickLine(canvas, upper, kUpper, 6 * scale);
    return Reduce(big);
}

}  // namespace

TImageList MakeEnvelopeThumbnails(std::int32_t scale) {
    TImageList list(kThumbWidth, kThumbHeight, scale);
    for (int p = 0; p < kEnvelopePresetCount; ++p)
        list.Add(Thumbnail(p, list.Scale()));
    return list;
}

}  // namespace gw
