#include "render/Frame.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "platform/ExactMath.h"
#include "platform/ParallelRows.h"

namespace gw {

namespace {

enum class Side { Left, Right, Top, Bottom };

// A pixel of the band with its distances to the four edges, the side it belongs to and its
// distance d to that side's edge.
struct BandPixel {
    std::int64_t x, y;
    std::int64_t dL, dR, dT, dB;
    std::int64_t u, a;
    Side side;
    std::int64_t d;

    bool LightSide() const { return side == Side::Left || side == Side::Top; }
};

bool UsablePicture(const DibImage& pic) {
    const std::int32_t w = DibWidth(pic);
    return pic.Bits && w >= 1 && DibHeight(pic) >= 1 && DibBitCount(pic) == 24 &&
           pic.Stride >= DibStride(w, 24);
}

// Visits every pixel within w of an edge (the band is w + 1 pixels wide), row by row.
// With `coverage` (one byte a pixel, rows from the top) the rule is handed each pixel's opacity.
template <class Rule>
void ForEachBandPixel(DibImage& pic, std::int64_t w, std::uint8_t* coverage, Rule&& rule) {
    if (!UsablePicture(pic) || w < 0) return;
    const std::int64_t W = DibWidth(pic);
    const std::int64_t H = DibHeight(pic);
    // Every pixel is shaded from itself alone: bands of rows go side by side.
    ParallelRows(H, W * H, [&](std::int64_t rowTop, std::int64_t rowBottom) {
        for (std::int64_t y = rowTop; y < rowBottom; ++y) {
            std::uint8_t* row = pic.Row(static_cast<std::int32_t>(y));
            const std::int64_t dT = y;
            const std::int64_t dB = H - 1 - y;
            const std::int64_t a = std::min(dT, dB);
            const auto visit = [&](std::int64_t x) {
                BandPixel p{x, y, x, W - 1 - x, dT, dB, 0, a, Side::Left, 0};
                p.u = std::min(p.dL, p.dR);
                // The nearest side wins; a tie (the corner diagonal) goes to left or right. Of two
                // opposite sides the left and the top win whenever they are in reach, which only
                // matters once the band reaches the middle of the picture.
                bool leftRight;
                if (a > w)
                    leftRight = true;
                else if (p.u > w)
                    leftRight = false;
                else
                    leftRight = p.u <= a;
                if (leftRight) {
                    p.side = p.dL <= w ? Side::Left : Side::Right;
                    p.d = p.dL <= w ? p.dL : p.dR;
                } else {
                    p.side = p.dT <= w ? Side::Top : Side::Bottom;
                    p.d = p.dT <= w ? p.dT : p.dB;
                }
                rule(row + 3 * std::size_t(x), p,
                     coverage ? coverage + std::size_t(y * W + x) : nullptr);
            };
            if (a <= w) {
                for (std::int64_t x = 0; x < W; ++x)
                    visit(x);
            } else {
                const std::int64_t leftEnd = std::min(w, W - 1);
                for (std::int64_t x = 0; x <= leftEnd; ++x)
                    visit(x);
                for (std::int64_t x = std::max(W - 1 - w, leftEnd + 1); x < W; ++x)
                    visit(x);
            }
        }
    });
}

// new = (s x (100 - k) + k x v) div 100 per channel. The weight is clamped after the offset and a
// shade to a byte, so the result always stays a byte. The shade is opaque: an opacity byte
// `coverage` goes the same way from 255.
void Mix(std::uint8_t* px, const std::int64_t shade[3], std::int64_t k, std::int32_t offset,
         bool forceZero, std::uint8_t* coverage) {
    k = forceZero ? 0 : std::clamp<std::int64_t>(k + offset, 0, 100);
    for (int ch = 0; ch < 3; ++ch) {
        const std::int64_t s = std::clamp<std::int64_t>(shade[ch], 0, 255);
        px[ch] = static_cast<std::uint8_t>((s * (100 - k) + k * px[ch]) / 100);
    }
    if (coverage) *coverage = static_cast<std::uint8_t>((255 * (100 - k) + k * *coverage) / 100);
}

// The plain styles: white on the top and left sides, black on the bottom and right sides.
template <class Weight>
void ShadeWhiteBlack(DibImage& pic, std::int64_t w, std::int32_t offset, bool forceZero,
                     std::uint8_t* coverage, Weight&& weight) {
    static constexpr std::int64_t kWhite[3] = {255, 255, 255};
    static constexpr std::int64_t kBlack[3] = {0, 0, 0};
    ForEachBandPixel(pic, w, coverage, [&](std::uint8_t* px, const BandPixel& p, std::uint8_t* c) {
        Mix(px, p.LightSide() ? kWhite : kBlack, weight(p), offset, forceZero, c);
    });
}

void ColourFrame(DibImage& Picture, std::int32_t w, TColor color, std::int32_t offset,
                 bool forceZero, std::uint8_t* coverage);

void EdgeStrongFrame(DibImage& Picture, std::int32_t w, std::int32_t offset, bool forceZero,
                     std::uint8_t* coverage) {
    if (w <= 0) return;
    const std::int64_t bw = w;
    ShadeWhiteBlack(Picture, bw, offset, forceZero, coverage,
                    [bw](const BandPixel& p) { return (p.d * 100) / bw; });
}

void InnerStrongFrame(DibImage& Picture, std::int32_t w, std::int32_t offset, bool forceZero,
                      std::uint8_t* coverage) {
    if (w <= 0) return;
    const std::int64_t bw = w;
    ShadeWhiteBlack(Picture, bw, offset, forceZero, coverage,
                    [bw](const BandPixel& p) { return ((bw - p.d) * 100) / bw; });
}

// No division here: a band width of 0 still shades the outermost pixel ring.
void EvenFrame(DibImage& Picture, std::int32_t w, std::int32_t ownWeight, std::int32_t offset,
               bool forceZero, std::uint8_t* coverage) {
    const std::int64_t k = ownWeight;
    ShadeWhiteBlack(Picture, w, offset, forceZero, coverage, [k](const BandPixel&) { return k; });
}

}  // namespace

std::int32_t FrameBandWidth(const LetteringSettings& settings, std::int32_t W, std::int32_t H) {
    const long double percent = settings.RBreitEd;
    return std::min(TruncSaturated(static_cast<long double>(W) * percent / 200.0L),
                    TruncSaturated(static_cast<long double>(H) * percent / 200.0L));
}

void RenderBorder(DibImage& Picture, const LetteringSettings& settings, std::uint8_t* coverage) {
    if (!UsablePicture(Picture)) return;
    const std::int32_t w = FrameBandWidth(settings, DibWidth(Picture), DibHeight(Picture));
    switch (settings.FrameStyle) {
        case kColourFrame:
            ColourFrame(Picture, w, settings.RColorShape, 0, false, coverage);
            break;
        case kEdgeStrongFrame:
            EdgeStrongFrame(Picture, w, 0, false, coverage);
            break;
        case kInnerStrongFrame:
            InnerStrongFrame(Picture, w, 0, false, coverage);
            break;
        case kEvenFrame:
            EvenFrame(Picture, w, 100 - TruncSaturated(settings.RHochEd), 0, false, coverage);
            break;
        default:
            break;
    }
}

// Styles 1 to 3 divide by the band width; a band of 0 pixels draws nothing in them.

void Buttonize(DibImage& Picture, std::int32_t w, TColor color, std::int32_t offset,
               bool forceZero) {
    ColourFrame(Picture, w, color, offset, forceZero, nullptr);
}

namespace {

void ColourFrame(DibImage& Picture, std::int32_t w, TColor color, std::int32_t offset,
                 bool forceZero, std::uint8_t* coverage) {
    if (w <= 0 || !UsablePicture(Picture)) return;
    const std::int64_t bw = w;
    const std::int64_t c[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
    const std::int64_t W = DibWidth(Picture);
    const std::int64_t H = DibHeight(Picture);
    const std::int64_t h = std::min(W, H - 1) / 2;
    // From c - c div 2 at the edge to c at the inner border, and from 0 to c - c div 2. Every
    // distance a band pixel has is at most w: the shades are worked out once per distance.
    const auto lightOf = [&](int ch, std::int64_t d) {
        return c[ch] - ((bw - d) * c[ch]) / (2 * bw);
    };
    const auto darkOf = [&](int ch, std::int64_t d) {
        return c[ch] - ((2 * bw - d) * c[ch]) / (2 * bw);
    };
    std::vector<std::int64_t> lightTable(3 * std::size_t(bw + 1)), darkTable(lightTable.size());
    for (std::int64_t d = 0; d <= bw; ++d)
        for (int ch = 0; ch < 3; ++ch) {
            lightTable[3 * std::size_t(d) + ch] = lightOf(ch, d);
            darkTable[3 * std::size_t(d) + ch] = darkOf(ch, d);
        }
    const auto light = [&](int ch, std::int64_t d) {
        return d >= 0 && d <= bw ? lightTable[3 * std::size_t(d) + ch] : lightOf(ch, d);
    };
    const auto dark = [&](int ch, std::int64_t d) {
        return d >= 0 && d <= bw ? darkTable[3 * std::size_t(d) + ch] : darkOf(ch, d);
    };
    ForEachBandPixel(Picture, bw, coverage,
                     [&](std::uint8_t* px, const BandPixel& p, std::uint8_t* c) {
                         std::int64_t shade[3];
                         std::int64_t k;
                         const bool cornerDiagonal =
                             p.u == p.a && ((p.x > h && p.y < h) || (p.y > h && p.x < h));
                         if (cornerDiagonal) {
                             // Where a light side meets a dark one, the diagonal takes the mean of
                             // both.
                             if (p.dL <= bw) {
                                 for (int ch = 0; ch < 3; ++ch)
                                     shade[ch] = (light(ch, p.dL) + dark(ch, p.dB)) >> 1;
                                 k = (p.dL * 100) / bw;
                             } else {
                                 for (int ch = 0; ch < 3; ++ch)
                                     shade[ch] = (dark(ch, p.dR) + light(ch, p.dT)) >> 1;
                                 k = (p.dR * 100) / bw;
                             }
                         } else {
                             for (int ch = 0; ch < 3; ++ch)
                                 shade[ch] = p.LightSide() ? light(ch, p.d) : dark(ch, p.d);
                             k = (p.d * 100) / bw;
                         }
                         Mix(px, shade, k, offset, forceZero, c);
                     });
}

}  // namespace

void Buttonize1(DibImage& Picture, std::int32_t w, std::int32_t offset, bool forceZero) {
    EdgeStrongFrame(Picture, w, offset, forceZero, nullptr);
}

void Buttonize2(DibImage& Picture, std::int32_t w, std::int32_t offset, bool forceZero) {
    InnerStrongFrame(Picture, w, offset, forceZero, nullptr);
}

void Buttonize3(DibImage& Picture, std::int32_t w, std::int32_t ownWeight, std::int32_t offset,
                bool forceZero) {
    EvenFrame(Picture, w, ownWeight, offset, forceZero, nullptr);
}

}  // namespace gw
