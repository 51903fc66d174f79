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

// Pixel (x, y) of a W x H picture as a band of width w sees it.
BandPixel BandPixelAt(std::int64_t x, std::int64_t y, std::int64_t W, std::int64_t H,
                      std::int64_t w) {
    const std::int64_t dT = y;
    const std::int64_t dB = H - 1 - y;
    BandPixel p{x, y, x, W - 1 - x, dT, dB, 0, std::min(dT, dB), Side::Left, 0};
    p.u = std::min(p.dL, p.dR);
    // The nearest side wins; a tie (the corner diagonal) goes to left or right. Of two opposite
    // sides the left and the top win whenever they are in reach, which only matters once the
    // band reaches the middle of the picture.
    bool leftRight;
    if (p.a > w)
        leftRight = true;
    else if (p.u > w)
        leftRight = false;
    else
        leftRight = p.u <= p.a;
    if (leftRight) {
        p.side = p.dL <= w ? Side::Left : Side::Right;
        p.d = p.dL <= w ? p.dL : p.dR;
    } else {
        p.side = p.dT <= w ? Side::Top : Side::Bottom;
        p.d = p.dT <= w ? p.dT : p.dB;
    }
    return p;
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
            const auto visit = [&](std::int64_t x) {
                rule(row + 3 * std::size_t(x), BandPixelAt(x, y, W, H, w),
                     coverage ? coverage + std::size_t(y * W + x) : nullptr);
            };
            if (std::min(y, H - 1 - y) <= w) {
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

// Mix with its shade and weight worked out: v = (share + k x v) div 100, with share = s x (100 -
// k). Share and k x v are at most 25500 each, so the sum is held in 16 bits.
struct MixTerms {
    std::uint16_t share[3] = {0, 0, 0};
    std::uint16_t k = 0;
    std::uint16_t coverShare = 0;  // 255 x (100 - k)
};

MixTerms TermsOf(const std::int64_t shade[3], std::int64_t k, std::int32_t offset, bool forceZero) {
    k = forceZero ? 0 : std::clamp<std::int64_t>(k + offset, 0, 100);
    MixTerms t;
    for (int ch = 0; ch < 3; ++ch)
        t.share[ch] =
            static_cast<std::uint16_t>(std::clamp<std::int64_t>(shade[ch], 0, 255) * (100 - k));
    t.k = static_cast<std::uint16_t>(k);
    t.coverShare = static_cast<std::uint16_t>(255 * (100 - k));
    return t;
}

// n bytes mixed, each with its own share and weight.
void MixBytes(std::uint8_t* v, const std::uint16_t* share, const std::uint16_t* k, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>(std::uint16_t(share[i] + k[i] * v[i]) / 100u);
}

// The terms of one run of pixels, laid out byte by byte: the colour channels of pixel i at
// 3 i .. 3 i + 2, its opacity at i.
struct TermRun {
    std::vector<std::uint16_t> share, k, coverShare, coverK;

    void Resize(std::size_t pixels) {
        share.resize(3 * pixels);
        k.resize(3 * pixels);
        coverShare.resize(pixels);
        coverK.resize(pixels);
    }
    void Set(std::size_t i, const MixTerms& t) {
        for (int ch = 0; ch < 3; ++ch) {
            share[3 * i + std::size_t(ch)] = t.share[ch];
            k[3 * i + std::size_t(ch)] = t.k;
        }
        coverShare[i] = t.coverShare;
        coverK[i] = t.k;
    }
    // Pixels [from, from + n) of the run over px (and the opacities at coverage).
    void Apply(std::size_t from, std::size_t n, std::uint8_t* px, std::uint8_t* coverage) const {
        MixBytes(px, share.data() + 3 * from, k.data() + 3 * from, 3 * n);
        if (coverage) MixBytes(coverage, coverShare.data() + from, coverK.data() + from, n);
    }
};

// The band shaded by a style's rule. rule(p, shade) gives the shade a band pixel is mixed with
// and the pixel's own weight k (before the offset). Every style shades a pixel by whether its
// side is a light one (left, top) and by its distance d alone, except where it says otherwise on
// the corner diagonal (u = a); so the terms are worked out once per side and distance, a row of
// the band is a few runs of pixels that take them in order (or one set for a whole run), and only
// the two pixels of a row on the diagonal go through the rule one by one.
template <class Rule>
void ShadeBand(DibImage& pic, std::int64_t w, std::int32_t offset, bool forceZero,
               std::uint8_t* coverage, bool plain, Rule&& rule) {
    const auto mixPixel = [&](std::uint8_t* px, const BandPixel& p, std::uint8_t* c) {
        std::int64_t shade[3];
        const std::int64_t k = rule(p, shade);
        Mix(px, shade, k, offset, forceZero, c);
    };
    if (plain) return ForEachBandPixel(pic, w, coverage, mixPixel);
    if (!UsablePicture(pic) || w < 0) return;
    const std::int64_t W = DibWidth(pic);
    const std::int64_t H = DibHeight(pic);
    // A band pixel's distance is at most w, and at most the longer side.
    const std::int64_t dMax = std::min(w, std::max(W, H) - 1);
    const auto termsAt = [&](bool light, std::int64_t d) {
        BandPixel p{d, d, d, d, d, d, d, d + 1, light ? Side::Left : Side::Right, d};
        std::int64_t shade[3];
        const std::int64_t k = rule(p, shade);
        return TermsOf(shade, k, offset, forceZero);
    };
    std::vector<MixTerms> lightTerms(std::size_t(dMax + 1)), darkTerms(lightTerms.size());
    for (std::int64_t d = 0; d <= dMax; ++d) {
        lightTerms[std::size_t(d)] = termsAt(true, d);
        darkTerms[std::size_t(d)] = termsAt(false, d);
    }
    // The left side's columns 0 .. leftEnd (d = x), the right side's rightStart .. W - 1
    // (d = W - 1 - x).
    const std::int64_t leftEnd = std::min(w, W - 1);
    const std::int64_t rightStart = std::max<std::int64_t>(0, W - 1 - w);
    TermRun left, right;
    left.Resize(std::size_t(leftEnd + 1));
    right.Resize(std::size_t(W - rightStart));
    for (std::int64_t x = 0; x <= leftEnd; ++x)
        left.Set(std::size_t(x), lightTerms[std::size_t(x)]);
    for (std::int64_t x = rightStart; x < W; ++x)
        right.Set(std::size_t(x - rightStart), darkTerms[std::size_t(W - 1 - x)]);

    ParallelRows(H, W * H, [&](std::int64_t rowTop, std::int64_t rowBottom) {
        // A run of one set of terms is mixed a block of 16 pixels at a time.
        constexpr std::size_t kBlock = 16;
        TermRun block;
        block.Resize(kBlock);
        for (std::int64_t y = rowTop; y < rowBottom; ++y) {
            std::uint8_t* row = pic.Row(static_cast<std::int32_t>(y));
            std::uint8_t* cover = coverage ? coverage + std::size_t(y * W) : nullptr;
            // Columns [x0, x1) of a side's run starting at column `start`.
            const auto side = [&](const TermRun& run, std::int64_t start, std::int64_t x0,
                                  std::int64_t x1) {
                if (x1 > x0)
                    run.Apply(std::size_t(x0 - start), std::size_t(x1 - x0), row + 3 * x0,
                              cover ? cover + x0 : nullptr);
            };
            const auto single = [&](std::int64_t x) {
                mixPixel(row + 3 * x, BandPixelAt(x, y, W, H, w), cover ? cover + x : nullptr);
            };
            const std::int64_t a = std::min(y, H - 1 - y);
            if (a > w) {
                // Only the side bands: the left one wins the columns both reach.
                side(left, 0, 0, leftEnd + 1);
                side(right, rightStart, std::max(rightStart, leftEnd + 1), W);
                continue;
            }
            if (a >= W - 1 - a) {
                // Side bands that meet within the top or bottom band's reach.
                for (std::int64_t x = 0; x < W; ++x)
                    single(x);
                continue;
            }
            // Nearer to the left or right edge than a: that side (the left wins up to w);
            // nearer to the top or bottom: that one, the same terms across; at a: the diagonal.
            side(left, 0, 0, a);
            single(a);
            const bool top = y <= w;
            const MixTerms& across =
                (top ? lightTerms : darkTerms)[std::size_t(top ? y : H - 1 - y)];
            for (std::size_t i = 0; i < kBlock; ++i)
                block.Set(i, across);
            for (std::int64_t x = a + 1; x < W - 1 - a;) {
                const std::int64_t n = std::min<std::int64_t>(kBlock, W - 1 - a - x);
                block.Apply(0, std::size_t(n), row + 3 * x, cover ? cover + x : nullptr);
                x += n;
            }
            single(W - 1 - a);
            side(left, 0, W - a, std::min(w, W - 1) + 1);
            side(right, rightStart, std::max(W - a, w + 1), W);
        }
    });
}

// The plain styles: white on the top and left sides, black on the bottom and right sides.
template <class Weight>
void ShadeWhiteBlack(DibImage& pic, std::int64_t w, std::int32_t offset, bool forceZero,
                     std::uint8_t* coverage, bool plain, Weight&& weight) {
    ShadeBand(pic, w, offset, forceZero, coverage, plain,
              [&](const BandPixel& p, std::int64_t shade[3]) {
                  for (int ch = 0; ch < 3; ++ch)
                      shade[ch] = p.LightSide() ? 255 : 0;
                  return weight(p);
              });
}

void ColourFrame(DibImage& Picture, std::int32_t w, TColor color, std::int32_t offset,
                 bool forceZero, std::uint8_t* coverage, bool plain);

void EdgeStrongFrame(DibImage& Picture, std::int32_t w, std::int32_t offset, bool forceZero,
                     std::uint8_t* coverage, bool plain) {
    if (w <= 0) return;
    const std::int64_t bw = w;
    ShadeWhiteBlack(Picture, bw, offset, forceZero, coverage, plain,
                    [bw](const BandPixel& p) { return (p.d * 100) / bw; });
}

void InnerStrongFrame(DibImage& Picture, std::int32_t w, std::int32_t offset, bool forceZero,
                      std::uint8_t* coverage, bool plain) {
    if (w <= 0) return;
    const std::int64_t bw = w;
    ShadeWhiteBlack(Picture, bw, offset, forceZero, coverage, plain,
                    [bw](const BandPixel& p) { return ((bw - p.d) * 100) / bw; });
}

// No division here: a band width of 0 still shades the outermost pixel ring.
void EvenFrame(DibImage& Picture, std::int32_t w, std::int32_t ownWeight, std::int32_t offset,
               bool forceZero, std::uint8_t* coverage, bool plain) {
    const std::int64_t k = ownWeight;
    ShadeWhiteBlack(Picture, w, offset, forceZero, coverage, plain,
                    [k](const BandPixel&) { return k; });
}

void Border(DibImage& Picture, const LetteringSettings& settings, std::uint8_t* coverage,
            bool plain) {
    if (!UsablePicture(Picture)) return;
    const std::int32_t w = FrameBandWidth(settings, DibWidth(Picture), DibHeight(Picture));
    switch (settings.FrameStyle) {
        case kColourFrame:
            ColourFrame(Picture, w, settings.RColorShape, 0, false, coverage, plain);
            break;
        case kEdgeStrongFrame:
            EdgeStrongFrame(Picture, w, 0, false, coverage, plain);
            break;
        case kInnerStrongFrame:
            InnerStrongFrame(Picture, w, 0, false, coverage, plain);
            break;
        case kEvenFrame:
            EvenFrame(Picture, w, 100 - TruncSaturated(settings.RHochEd), 0, false, coverage,
                      plain);
            break;
        default:
            break;
    }
}

}  // namespace

std::int32_t FrameBandWidth(const LetteringSettings& settings, std::int32_t W, std::int32_t H) {
    const long double percent = settings.RBreitEd;
    return std::min(TruncSaturated(static_cast<long double>(W) * percent / 200.0L),
                    TruncSaturated(static_cast<long double>(H) * percent / 200.0L));
}

void RenderBorder(DibImage& Picture, const LetteringSettings& settings, std::uint8_t* coverage) {
    Border(Picture, settings, coverage, false);
}

void RenderBorderPlain(DibImage& Picture, const LetteringSettings& settings,
                       std::uint8_t* coverage) {
    Border(Picture, settings, coverage, true);
}

// Styles 1 to 3 divide by the band width; a band of 0 pixels draws nothing in them.

void Buttonize(DibImage& Picture, std::int32_t w, TColor color, std::int32_t offset,
               bool forceZero) {
    ColourFrame(Picture, w, color, offset, forceZero, nullptr, false);
}

namespace {

void ColourFrame(DibImage& Picture, std::int32_t w, TColor color, std::int32_t offset,
                 bool forceZero, std::uint8_t* coverage, bool plain) {
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
    ShadeBand(Picture, bw, offset, forceZero, coverage, plain,
              [&](const BandPixel& p, std::int64_t shade[3]) -> std::int64_t {
                  const bool cornerDiagonal =
                      p.u == p.a && ((p.x > h && p.y < h) || (p.y > h && p.x < h));
                  if (cornerDiagonal) {
                      // Where a light side meets a dark one, the diagonal takes the mean of both.
                      if (p.dL <= bw) {
                          for (int ch = 0; ch < 3; ++ch)
                              shade[ch] = (light(ch, p.dL) + dark(ch, p.dB)) >> 1;
                          return (p.dL * 100) / bw;
                      }
                      for (int ch = 0; ch < 3; ++ch)
                          shade[ch] = (dark(ch, p.dR) + light(ch, p.dT)) >> 1;
                      return (p.dR * 100) / bw;
                  }
                  for (int ch = 0; ch < 3; ++ch)
                      shade[ch] = p.LightSide() ? light(ch, p.d) : dark(ch, p.d);
                  return (p.d * 100) / bw;
              });
}

}  // namespace

void Buttonize1(DibImage& Picture, std::int32_t w, std::int32_t offset, bool forceZero) {
    EdgeStrongFrame(Picture, w, offset, forceZero, nullptr, false);
}

void Buttonize2(DibImage& Picture, std::int32_t w, std::int32_t offset, bool forceZero) {
    InnerStrongFrame(Picture, w, offset, forceZero, nullptr, false);
}

void Buttonize3(DibImage& Picture, std::int32_t w, std::int32_t ownWeight, std::int32_t offset,
                bool forceZero) {
    EvenFrame(Picture, w, ownWeight, offset, forceZero, nullptr, false);
}

}  // namespace gw
