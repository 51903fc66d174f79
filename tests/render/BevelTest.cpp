#include "render/Bevel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "platform/ParallelRows.h"
#include "raster/DibService.h"
#include "render/RenderTestSupport.h"

namespace gw {
namespace {

using test::At;
using test::Bgr;
using test::Filled;

void Put(DibImage& dib, std::int32_t x, std::int32_t y, Bgr c) {
    std::uint8_t* p = dib.Row(y) + 3 * x;
    p[0] = c[0];
    p[1] = c[1];
    p[2] = c[2];
}

// A letter picture: the rectangle [x0, x1) x [y0, y1) in `color` on black, and its mask.
struct Letters {
    DibImage image;
    DibImage mask;
};

Letters Rect(std::int32_t w, std::int32_t h, std::int32_t x0, std::int32_t y0, std::int32_t x1,
             std::int32_t y1, Bgr color) {
    Letters l{Filled(w, h, {0, 0, 0}), Filled(w, h, {255, 255, 255})};
    for (std::int32_t y = y0; y < y1; ++y)
        for (std::int32_t x = x0; x < x1; ++x) {
            Put(l.image, x, y, color);
            Put(l.mask, x, y, {0, 0, 0});
        }
    return l;
}

// The single pass RenderText runs without "3 Lichtstrahlen", with the settings changed by `edit`.
template <class Edit>
EdgePassParams OnePass(Edit edit) {
    Lettering lettering;
    LetteringSettings& s = lettering.settings;
    s.KQualCheck = false;
    s.KWinkEd = 0;
    s.KBreiteEd = 100;
    s.KLichtEd = 100;
    edit(s);
    const std::vector<EdgePassParams> passes = EdgePasses(lettering);
    EXPECT_EQ(passes.size(), 1u);
    return passes.at(0);
}

// Red channel of column x, rows y0 .. y1 - 1.
std::vector<int> Column(const DibImage& dib, std::int32_t x, std::int32_t y0, std::int32_t y1) {
    std::vector<int> v;
    for (std::int32_t y = y0; y < y1; ++y)
        v.push_back(At(dib, x, y)[2]);
    return v;
}

const DibImage kNoTexture;

// Band width ----------------------------------------------------------------------------------

// With a fixed width the band is Trunc(15 x KBreiteEd / 200) pixels at either end of a run.
TEST(BevelWidth, FixedWidthBands) {
    struct Case {
        double breite;
        int n;
    };
    for (const Case c : {Case{13, 0}, Case{14, 1}, Case{100, 7}}) {
        Letters l = Rect(40, 60, 5, 20, 35, 40, {100, 100, 100});
        EdgePass(l.image, l.mask, kNoTexture, OnePass([&](LetteringSettings& s) {
                     s.KBreiteEd = c.breite;
                     s.KFixedWCheck = true;
                     s.Profil1Box = s.Profil2Box = 1;
                 }));
        const std::vector<int> col = Column(l.image, 20, 20, 40);
        for (int i = 0; i < 20; ++i) {
            if (i < c.n)
                EXPECT_GT(col[i], 100) << "breite " << c.breite << " row " << i;
            else if (i >= 20 - c.n)
                EXPECT_LT(col[i], 100) << "breite " << c.breite << " row " << i;
            else
                EXPECT_EQ(col[i], 100) << "breite " << c.breite << " row " << i;
        }
    }
}

// KBreiteEd 60 passes 0.29999999999999998889...; 10 times that truncates to 2 in extended
// arithmetic (rounded to a double first it would be 3).
TEST(BevelWidth, ProportionalNearTieOfARunOfTen) {
    const EdgePassParams p = OnePass([](LetteringSettings& s) {
        s.KBreiteEd = 60;
        s.Profil1Box = s.Profil2Box = 1;
    });
    EXPECT_EQ(p.widthFactor, 0.3);
    Letters l = Rect(30, 40, 5, 15, 25, 25, {100, 100, 100});
    EdgePass(l.image, l.mask, kNoTexture, p);
    const std::vector<int> col = Column(l.image, 15, 15, 25);
    EXPECT_GT(col[0], 100);
    EXPECT_GT(col[1], 100);
    for (int i = 2; i < 8; ++i)
        EXPECT_EQ(col[i], 100) << i;
    EXPECT_LT(col[8], 100);
    EXPECT_LT(col[9], 100);
}

TEST(BevelWidth, RunOfOnePixelStaysUnshaded) {
    Letters l = Rect(30, 30, 3, 15, 27, 16, {100, 100, 100});
    EdgePass(l.image, l.mask, kNoTexture,
             OnePass([](LetteringSettings& s) { s.Profil1Box = s.Profil2Box = 1; }));
    for (int x = 3; x < 27; ++x)
        EXPECT_EQ(At(l.image, x, 15), (Bgr{100, 100, 100})) << x;
}

// Light direction --------------------------------------------------------------------------------

TEST(BevelLight, AngleZeroLightsTheTopOfAHorizontalStroke) {
    Letters l = Rect(30, 40, 5, 10, 25, 20, {100, 100, 100});
    EdgePass(l.image, l.mask, kNoTexture,
             OnePass([](LetteringSettings& s) { s.Profil1Box = s.Profil2Box = 1; }));
    for (int y = 10; y < 15; ++y)
        EXPECT_GT(At(l.image, 15, y)[2], 100) << y;
    for (int y = 15; y < 20; ++y)
        EXPECT_LT(At(l.image, 15, y)[2], 100) << y;
}

TEST(BevelLight, InversLightsTheBottom) {
    Letters l = Rect(30, 40, 5, 10, 25, 20, {100, 100, 100});
    EdgePass(l.image, l.mask, kNoTexture, OnePass([](LetteringSettings& s) {
                 s.Profil1Box = s.Profil2Box = 1;
                 s.Invers1Check = true;
             }));
    for (int y = 10; y < 15; ++y)
        EXPECT_LT(At(l.image, 15, y)[2], 100) << y;
    for (int y = 15; y < 20; ++y)
        EXPECT_GT(At(l.image, 15, y)[2], 100) << y;
}

// The rays run along (-sin, cos): at -90 degrees to the right, so the light comes from the left.
TEST(BevelLight, MinusNinetyLightsTheLeftOfAVerticalStroke) {
    Letters l = Rect(40, 30, 10, 5, 20, 25, {100, 100, 100});
    EdgePass(l.image, l.mask, kNoTexture, OnePass([](LetteringSettings& s) {
                 s.KWinkEd = -90;
                 s.Profil1Box = s.Profil2Box = 1;
             }));
    EXPECT_GT(At(l.image, 10, 15)[2], 100);
    EXPECT_GT(At(l.image, 14, 15)[2], 100);
    EXPECT_LT(At(l.image, 15, 15)[2], 100);
    EXPECT_LT(At(l.image, 19, 15)[2], 100);
}

// Every visited pixel of a two-row stroke lies in a fixed-width band, so with "Flach" and the
// background on it turns white. The gap rays reach the pixels between diagonal rays.
TEST(BevelLight, DiagonalRaysReachEveryPixel) {
    for (double angle : {-45.0, -30.0, 20.0, 135.0}) {
        Letters l = Rect(50, 30, 10, 14, 40, 16, {200, 0, 0});
        EdgePass(l.image, l.mask, kNoTexture, OnePass([&](LetteringSettings& s) {
                     s.KWinkEd = angle;
                     s.KFixedWCheck = true;
                     s.Profil1Box = s.Profil2Box = 0;
                     s.BkGnd1 = s.BkGnd2 = true;
                 }));
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 50; ++x) {
                const bool letter = x >= 10 && x < 40 && y >= 14 && y < 16;
                const Bgr want = letter ? Bgr{255, 255, 255} : Bgr{0, 0, 0};
                EXPECT_EQ(At(l.image, x, y), want) << "angle " << angle << " at " << x << "," << y;
            }
    }
}

// Runs cut off by the image edge --------------------------------------------------------------

// At angle 0 the rays leave the image at the bottom: a stroke on the bottom edge is never closed,
// its pixels keep the pair (1, 0).
TEST(BevelRuns, StrokeOnTheExitEdgeKeepsOneZeroPairs) {
    Letters proportional = Rect(30, 30, 5, 20, 25, 30, {100, 100, 100});
    EdgePass(proportional.image, proportional.mask, kNoTexture,
             OnePass([](LetteringSettings& s) { s.Profil1Box = s.Profil2Box = 1; }));
    for (int y = 20; y < 30; ++y)
        EXPECT_EQ(At(proportional.image, 15, y)[2], 100) << y;

    // A fixed width treats each of them as the first pixel of a lit band: outer half, V = 0.
    Letters fixed = Rect(30, 30, 5, 20, 25, 30, {100, 100, 100});
    EdgePass(fixed.image, fixed.mask, kNoTexture, OnePass([](LetteringSettings& s) {
                 s.KFixedWCheck = true;
                 s.Profil1Box = 1;
                 s.Profil2Box = 0;
                 s.BkGnd1 = s.BkGnd2 = true;
                 s.SurfaceFrame2.color = RGB(100, 100, 100);
             }));
    for (int y = 20; y < 30; ++y)
        EXPECT_EQ(At(fixed.image, 15, y)[2], 219) << y;
}

// Where the rays enter the image a run is closed as usual.
TEST(BevelRuns, StrokeOnTheEntryEdgeIsShaded) {
    Letters l = Rect(30, 30, 5, 0, 25, 10, {100, 100, 100});
    EdgePass(l.image, l.mask, kNoTexture,
             OnePass([](LetteringSettings& s) { s.Profil1Box = s.Profil2Box = 1; }));
    EXPECT_GT(At(l.image, 15, 0)[2], 100);
    EXPECT_LT(At(l.image, 15, 9)[2], 100);
}

// Profiles ------------------------------------------------------------------------------------
// With the background on in both halves every visit starts again from the background colour, so
// the values do not depend on how often a pixel is met.

// A run of 10 (N = 5) in column 15 at angle 0, background grey `bg` in both halves.
std::vector<int> BandOnBackground(std::int32_t p1, std::int32_t p2, std::uint8_t bg) {
    Letters l = Rect(30, 40, 5, 15, 25, 25, {0, 0, 200});
    EdgePass(l.image, l.mask, kNoTexture, OnePass([&](LetteringSettings& s) {
                 s.Profil1Box = p1;
                 s.Profil2Box = p2;
                 s.BkGnd1 = s.BkGnd2 = true;
                 s.SurfaceFrame2.color = RGB(bg, bg, bg);
             }));
    return Column(l.image, 15, 15, 25);
}

TEST(BevelProfile, LinearGivesTheWholeBandOneBrightness) {
    EXPECT_EQ(BandOnBackground(1, 1, 100),
              (std::vector<int>{219, 219, 219, 219, 219, 23, 23, 23, 23, 23}));
}

TEST(BevelProfile, KonvexFallsFromTheOuterEdge) {
    EXPECT_EQ(BandOnBackground(2, 2, 100),
              (std::vector<int>{255, 224, 193, 162, 131, 80, 60, 40, 20, 0}));
}

// The outer half rises to about 255, the inner half starts again near 0.
TEST(BevelProfile, KonkavJumpsAtTheMiddleOfTheBand) {
    EXPECT_EQ(BandOnBackground(3, 3, 100),
              (std::vector<int>{162, 193, 224, 131, 162, 60, 80, 20, 40, 60}));
}

TEST(BevelProfile, FlachKeepsTheColours) {
    Letters l = Rect(30, 40, 5, 15, 25, 25, {10, 120, 230});
    EdgePass(l.image, l.mask, kNoTexture,
             OnePass([](LetteringSettings& s) { s.Profil1Box = s.Profil2Box = 0; }));
    for (int y = 15; y < 25; ++y)
        EXPECT_EQ(At(l.image, 15, y), (Bgr{10, 120, 230})) << y;
}

// "Flach" with "Hintergund" on the outer half and a white background: white outer bands.
TEST(BevelProfile, FlachWithWhiteBackgroundGivesWhiteOuterBands) {
    Letters l = Rect(30, 40, 5, 15, 25, 25, {0, 0, 200});
    EdgePass(l.image, l.mask, kNoTexture, OnePass([](LetteringSettings& s) {
                 s.Profil1Box = s.Profil2Box = 0;
                 s.BkGnd1 = true;
                 s.SurfaceFrame2.color = clWhite;
             }));
    EXPECT_EQ(Column(l.image, 15, 15, 25),
              (std::vector<int>{255, 255, 255, 200, 200, 200, 200, 255, 255, 255}));
}

// L = 127.5 in a band of 2: channel values land on .5 and round to the even neighbour.
TEST(BevelProfile, RoundsHalfToEven) {
    Letters l = Rect(30, 40, 5, 15, 25, 19, {0, 0, 0});
    EdgePass(l.image, l.mask, kNoTexture, OnePass([](LetteringSettings& s) {
                 s.Profil1Box = s.Profil2Box = 2;
                 s.BkGnd1 = s.BkGnd2 = true;
                 s.SurfaceFrame2.color = RGB(3, 2, 5);  // blue 5, green 2, red 3
             }));
    EXPECT_EQ(At(l.image, 15, 16), (Bgr{130, 128, 129}));  // 130.0, 128.5, 129.0
    EXPECT_EQ(At(l.image, 15, 17), (Bgr{2, 1, 2}));        // 2.5, 1.0, 1.5
}

// Without the background the shading accumulates: at angle 0 each column is met by three rays
// (the gap rays of a straight start line repeat it), so a black band goes 196, 241, 252.
TEST(BevelProfile, VisitsAccumulateOnTheLettersOwnColour) {
    Letters l = Rect(30, 40, 5, 15, 25, 25, {0, 0, 0});
    EdgePass(l.image, l.mask, kNoTexture,
             OnePass([](LetteringSettings& s) { s.Profil1Box = s.Profil2Box = 1; }));
    EXPECT_EQ(At(l.image, 15, 15), (Bgr{252, 252, 252}));
    EXPECT_EQ(At(l.image, 15, 24), (Bgr{0, 0, 0}));
}

TEST(BevelProfile, StrongLightClampsToWhiteAndBlack) {
    Letters l = Rect(30, 40, 5, 15, 25, 25, {100, 100, 100});
    EdgePass(l.image, l.mask, kNoTexture, OnePass([](LetteringSettings& s) {
                 s.KLichtEd = 200;
                 s.Profil1Box = s.Profil2Box = 1;
             }));
    EXPECT_EQ(At(l.image, 15, 15), (Bgr{255, 255, 255}));
    EXPECT_EQ(At(l.image, 15, 24), (Bgr{0, 0, 0}));
}

// A light strength typed below zero makes L negative; the bytes stay in range.
TEST(BevelProfile, NegativeLightStrengthStaysInByteRange) {
    Letters l = Rect(30, 40, 5, 15, 25, 25, {100, 100, 100});
    EdgePass(l.image, l.mask, kNoTexture, OnePass([](LetteringSettings& s) {
                 s.KLichtEd = -100;
                 s.Profil1Box = s.Profil2Box = 1;
                 s.BkGnd1 = s.BkGnd2 = true;
                 s.SurfaceFrame2.color = RGB(100, 100, 100);
             }));
    EXPECT_EQ(At(l.image, 15, 15)[2], 0);    // 100 x (1 + 196/255) - 196 < 0
    EXPECT_EQ(At(l.image, 15, 24)[2], 177);  // 176.86
}

// Tone arithmetic ------------------------------------------------------------------------------

// The double form gives the extended rule's byte for every source byte, lit and shaded, at every
// light a profile makes for bands up to 48 wide under the passes of several light strengths (the
// half-way values of L = 127.5 among them), and at lights beyond the double form's reach.
TEST(BevelTone, FastFormMatchesTheExtendedRuleEverywhere) {
    std::vector<long double> lights = {0.0L,
                                       127.5L,
                                       255.0L,
                                       -1e7L,
                                       1e300L,
                                       -1e300L,
                                       std::numeric_limits<long double>::infinity(),
                                       std::numeric_limits<long double>::quiet_NaN()};
    std::set<double> divisors;  // of the single pass and the three
    for (const double strength : {37.0, 100.0, 300.0, -50.0})
        for (const bool three : {false, true}) {
            Lettering lettering;
            lettering.settings.KLichtEd = strength;
            lettering.settings.KQualCheck = three;
            for (const EdgePassParams& pass : EdgePasses(lettering))
                divisors.insert(pass.divisor);
        }
    for (const long double f : divisors) {
        lights.push_back(std::min(196.0L / f, 255.0L));
        for (std::int64_t n = 1; n <= 48; ++n)
            for (std::int64_t t = -n / 2; t <= n + n / 2; ++t)
                lights.push_back(std::min(
                    static_cast<long double>(t * 255) / static_cast<long double>(n) / f, 255.0L));
    }
    for (const long double light : lights) {
        const EdgeTone tone(light);
        for (int s = 0; s < 256; ++s)
            for (const bool lit : {false, true})
                ASSERT_EQ(tone.Apply(std::uint8_t(s), lit), tone.Exact(std::uint8_t(s), lit))
                    << double(light) << " " << s << " " << lit;
    }
}

// The fast pass against its plain twin ---------------------------------------------------------

// Rings of many colours (rays cross them twice, at every length), shaded by the fast pass and by
// the plain one: the same bytes for rays along the axes and the diagonals (whose calls on one line
// are shaded together) and across them, inverted, at fixed width, from a background of one colour
// or a texture, at light strengths whose tones meet halves (on black letters at every band's
// outer edge), on one thread and on three.
TEST(BevelTwins, RingsShadeAsThePlainPass) {
    struct Case {
        double angle, width, strength;
        int profile1, profile2;
        bool invers, fixed, background1, background2, texture;
    };
    const Case cases[] = {
        {0, 100, 100, 2, 2, false, false, false, false, false},
        {-90, 60, 300, 3, 2, true, false, false, true, false},
        {-45, 100, 100, 1, 3, false, false, true, false, false},
        {45, 37, 50, 2, 1, true, true, false, false, false},
        {135, 100, 255, 3, 3, false, false, false, false, false},
        {180, 80, 500, 2, 0, false, true, true, true, true},
        {-30, 100, 100, 2, 2, false, false, false, true, true},
        {17, 45, 170, 1, 2, true, false, false, false, false},
    };
    DibImage texture = Filled(5, 4, {0, 0, 0});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            Put(texture, x, y, {std::uint8_t(40 * x), std::uint8_t(60 * y), std::uint8_t(x * y)});
    Letters rings = Rect(97, 61, 0, 0, 0, 0, {0, 0, 0});
    DibImage black = MakeDIBCopy(rings.image);
    std::vector<std::uint8_t> shape(97 * 61, 255);
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 97; ++x) {
            const int d = (x - 48) * (x - 48) + 2 * (y - 30) * (y - 30);
            if (d % 700 > 250 || d > 2400) continue;
            shape[std::size_t(y) * 97 + std::size_t(x)] = 0;
            Put(rings.image, x, y,
                {std::uint8_t(x * 7 + y), std::uint8_t(x * y), std::uint8_t(255 - y)});
        }
    for (const Case& c : cases) {
        Lettering lettering;
        LetteringSettings& s = lettering.settings;
        s.KQualCheck = true;
        s.KWinkEd = c.angle;
        s.KBreiteEd = c.width;
        s.KLichtEd = c.strength;
        s.Profil1Box = c.profile1;
        s.Profil2Box = c.profile2;
        s.Invers1Check = c.invers;
        s.KFixedWCheck = c.fixed;
        s.BkGnd1 = c.background1;
        s.BkGnd2 = c.background2;
        s.SurfaceFrame2 = {c.texture ? SurfaceKind::OwnTexture : SurfaceKind::Color,
                           RGB(3, 130, 250)};
        for (const DibImage* letters : {&rings.image, &black}) {
            DibImage plain = MakeDIBCopy(*letters);
            for (const EdgePassParams& pass : EdgePasses(lettering))
                EdgePassOnShapePlain(plain, shape.data(), texture, pass);
            for (const int threads : {1, 3}) {
                const ParallelThreadsScope scope(threads);
                DibImage fast = MakeDIBCopy(*letters);
                for (const EdgePassParams& pass : EdgePasses(lettering))
                    EdgePassOnShape(fast, shape.data(), texture, pass);
                EXPECT_TRUE(test::SameBytes(fast, plain)) << "angle " << c.angle << ", " << threads
                                                          << (letters == &black ? ", black" : "");
            }
        }
    }
}

// Background texture ---------------------------------------------------------------------------

// Every letter pixel of a fixed-width two-row stroke takes the background source.
DibImage TexturedStroke(const DibImage& texture) {
    Letters l = Rect(20, 12, 2, 5, 18, 7, {0, 0, 0});
    EdgePass(l.image, l.mask, texture, OnePass([](LetteringSettings& s) {
                 s.KFixedWCheck = true;
                 s.Profil1Box = s.Profil2Box = 0;
                 s.BkGnd1 = s.BkGnd2 = true;
                 s.SurfaceFrame2.kind = SurfaceKind::OwnTexture;
             }));
    return std::move(l.image);
}

// The texture repeats every tw - 1 columns and th - 1 rows from its top; its last column and row
// are never used.
TEST(BevelTexture, TiledWithPeriodOneLessThanItsSize) {
    DibImage tex = Filled(3, 3, {0, 0, 0});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            Put(tex, x, y, {std::uint8_t(10 * x), std::uint8_t(10 * y), 99});
    const DibImage out = TexturedStroke(tex);
    for (int y = 5; y < 7; ++y)
        for (int x = 2; x < 18; ++x)
            EXPECT_EQ(At(out, x, y),
                      (Bgr{std::uint8_t(10 * (x % 2)), std::uint8_t(10 * (y % 2)), 99}))
                << x << "," << y;
}

TEST(BevelTexture, OnePixelWideTextureUsesItsSingleColumn) {
    DibImage tex = Filled(1, 3, {0, 0, 0});
    Put(tex, 0, 0, {1, 2, 3});
    Put(tex, 0, 1, {4, 5, 6});
    Put(tex, 0, 2, {7, 8, 9});
    const DibImage out = TexturedStroke(tex);
    for (int x = 2; x < 18; ++x) {
        EXPECT_EQ(At(out, x, 5), (Bgr{4, 5, 6})) << x;  // row 5 mod 2
        EXPECT_EQ(At(out, x, 6), (Bgr{1, 2, 3})) << x;
    }
}

TEST(BevelTexture, PaletteTextureGoesThroughItsColourTable) {
    BitmapInfo palette;
    palette.bmiColors[7] = RgbQuad{11, 22, 33, 0};
    palette.bmiColors[9] = RgbQuad{44, 55, 66, 0};
    DibImage tex;
    newdib(tex, 3, 3, 8, &palette, 256);
    tex.Row(0)[0] = tex.Row(0)[1] = 7;
    tex.Row(1)[0] = tex.Row(1)[1] = 9;
    const DibImage out = TexturedStroke(tex);
    EXPECT_EQ(At(out, 4, 6), (Bgr{11, 22, 33}));
    EXPECT_EQ(At(out, 4, 5), (Bgr{44, 55, 66}));
}

// The passes RenderText runs
// ------------------------------------------------------------------------

TEST(BevelPasses, ThreeRaysWithTheirFactors) {
    Lettering lettering;
    LetteringSettings& s = lettering.settings;
    s.KQualCheck = true;
    s.KWinkEd = -45;
    s.KLichtEd = 100;
    const std::vector<EdgePassParams> passes = EdgePasses(lettering);
    ASSERT_EQ(passes.size(), 3u);
    EXPECT_EQ(passes[0].theta, -90.0);
    EXPECT_EQ(passes[1].theta, 0.0);
    EXPECT_EQ(passes[2].theta, -45.0);
    EXPECT_EQ(passes[0].divisor, 4.2857142857142857);
    EXPECT_EQ(passes[1].divisor, 4.2857142857142857);
    EXPECT_EQ(passes[2].divisor, 3.0);

    s.KLichtEd = 200;
    EXPECT_EQ(EdgePasses(lettering)[0].divisor, 2.1428571428571428);
    EXPECT_EQ(EdgePasses(lettering)[2].divisor, 1.5);
}

TEST(BevelPasses, OneRayWithoutQuality) {
    Lettering lettering;
    LetteringSettings& s = lettering.settings;
    s.KQualCheck = false;
    s.KWinkEd = 30;
    s.KLichtEd = 100;
    const std::vector<EdgePassParams> passes = EdgePasses(lettering);
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(passes[0].theta, 30.0);
    EXPECT_EQ(passes[0].divisor, 1.0);
}

TEST(BevelPasses, CarriesTheSettings) {
    Lettering lettering;
    LetteringSettings& s = lettering.settings;
    s.KBreiteEd = 37;
    s.Invers1Check = true;
    s.KFixedWCheck = true;
    s.Profil1Box = 3;
    s.Profil2Box = 1;
    s.BkGnd1 = false;
    s.BkGnd2 = true;
    s.SurfaceFrame2 = {SurfaceKind::BuiltinTexture, 0x00112233};
    const EdgePassParams p = EdgePasses(lettering).at(0);
    EXPECT_EQ(p.widthFactor, 0.185);
    EXPECT_TRUE(p.invers);
    EXPECT_TRUE(p.fixedWidth);
    EXPECT_EQ(p.profile1, 3);
    EXPECT_EQ(p.profile2, 1);
    EXPECT_FALSE(p.background1);
    EXPECT_TRUE(p.background2);
    EXPECT_TRUE(p.backgroundIsTexture);
    EXPECT_EQ(p.backgroundRed, 0x33);
    EXPECT_EQ(p.backgroundGreen, 0x22);
    EXPECT_EQ(p.backgroundBlue, 0x11);
    s.SurfaceFrame2.kind = SurfaceKind::Color;
    EXPECT_FALSE(EdgePasses(lettering).at(0).backgroundIsTexture);
}

// Unusable input -------------------------------------------------------------------------------

TEST(BevelInput, EmptyImagesAreLeftAlone) {
    DibImage empty;
    Letters l = Rect(10, 10, 2, 2, 8, 8, {100, 100, 100});
    EdgePass(empty, l.mask, kNoTexture, EdgePassParams{});
    EdgePass(l.image, empty, kNoTexture, EdgePassParams{});
    EXPECT_EQ(At(l.image, 5, 2), (Bgr{100, 100, 100}));
}

// Images one pixel wide or high give runs of one pixel only.
TEST(BevelInput, OnePixelImages) {
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{1, 9}, std::pair{9, 1}}) {
        Letters l = Rect(w, h, 0, 0, w, h, {100, 100, 100});
        for (const EdgePassParams& p : EdgePasses(Lettering{}))
            EdgePass(l.image, l.mask, kNoTexture, p);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(At(l.image, x, y), (Bgr{100, 100, 100})) << w << "x" << h;
    }
}

// A mask smaller than the image has no letters where it does not reach; the texture flag with an
// empty texture falls back to the background colour.
TEST(BevelInput, SmallMaskAndMissingTexture) {
    Letters l = Rect(30, 30, 5, 5, 25, 25, {100, 100, 100});
    DibImage small = Filled(30, 15, {255, 255, 255});
    for (int y = 0; y < 15; ++y)
        for (int x = 5; x < 25; ++x)
            Put(small, x, y, At(l.mask, x, y));
    EdgePass(l.image, small, kNoTexture, OnePass([](LetteringSettings& s) {
                 s.KFixedWCheck = true;
                 s.Profil1Box = s.Profil2Box = 0;
                 s.BkGnd1 = s.BkGnd2 = true;
                 s.SurfaceFrame2 = {SurfaceKind::OwnTexture, RGB(7, 8, 9)};
             }));
    EXPECT_EQ(At(l.image, 15, 5), (Bgr{9, 8, 7}));
    EXPECT_EQ(At(l.image, 15, 20), (Bgr{100, 100, 100}));
}

}  // namespace
}  // namespace gw
