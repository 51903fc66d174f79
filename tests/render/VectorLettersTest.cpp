// The letters' outlines, filled, against the letters the raster render draws.
#include "render/VectorLetters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "document/EnvelopePresets.h"
#include "document/PictureSize.h"
#include "platform/TextLayout.h"
#include "platform/TextOutlines.h"
#include "render/Pipeline.h"

namespace gw {
namespace {

// The share of the pixels either picture sets that both set.
double Overlap(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::int64_t both = 0, either = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        both += a[i] && b[i];
        either += a[i] || b[i];
    }
    return either > 0 ? double(both) / double(either) : 1.0;
}

// Contours given as corner points, filled by the nonzero rule at pixel centres.
TEST(FillLetters, NonzeroRuleAtPixelCentres) {
    const VectorContour square = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
    const VectorContour counter = {{2, 2}, {2, 4}, {4, 4}, {4, 2}};
    const VectorContour overlap = {{3, 3}, {7, 3}, {7, 6}, {3, 6}};
    const VectorContour sliver = {{0.2, 0}, {0.4, 0}, {0.4, 8}, {0.2, 8}};
    const struct {
        std::vector<VectorContour> contours;
        std::int32_t filled;  // pixels set in an 8 x 8 picture
    } cases[] = {
        {{}, 0},
        {{square}, 16},
        {{square, counter}, 12},           // a counter running the other way
        {{square, overlap}, 16 + 12 - 4},  // two outer contours add up
        {{sliver}, 0},                     // between the centres of a column
        {{{{-4, -4}, {20, -4}, {20, 20}, {-4, 20}}}, 64},
    };
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> filled = FillLetters({c.contours}, 8, 8);
        EXPECT_EQ(std::count(filled.begin(), filled.end(), 1), c.filled);
    }
    EXPECT_EQ(FillLetters({{square, counter}}, 8, 8)[3 * 8 + 3], 0);
}

// The outlines of a text block, flattened finely, fill the pixels the block is drawn with.
TEST(TextBlockOutlines, FillTheDrawnPixels) {
    const struct {
        bool bold, italic;
        const char* text;
        std::uint32_t format;
    } cases[] = {
        {false, false, "Wagen &fahren\rim Hof", DT_LEFT},
        {true, false, "Gebr. &Zarbo", DT_CENTER},
        {true, true, "Schräg & fett\rzwei Zeilen", DT_RIGHT},
        {false, true, "Kursiv", DT_LEFT},
    };
    for (const auto& c : cases) {
        LogFont font;
        font.name = "DejaVu Sans";
        font.height = -57;
        font.bold = c.bold;
        font.italic = c.italic;
        TRect rect{5, 7, 5, 7};
        DrawTextBlock(nullptr, font, clBlack, c.text, rect, DT_CALCRECT | c.format);
        rect.right += 30;
        const std::int32_t W = rect.right + 20, H = rect.bottom + 10;
        Bitmap drawn(W, H, PixelFormat::Rgb24, clWhite);
        DrawTextBlock(&drawn, font, clBlack, c.text, rect, c.format);
        std::vector<std::uint8_t> pixels(std::size_t(W) * std::size_t(H));
        for (std::int32_t y = 0; y < H; ++y)
            for (std::int32_t x = 0; x < W; ++x)
                pixels[std::size_t(y) * std::size_t(W) + std::size_t(x)] = drawn.Row(y)[3 * x] == 0;
        VectorLetters letters;
        for (const OutlineContour& contour : TextBlockOutlines(font, c.text, rect, c.format)) {
            VectorContour points{{contour.start.x, contour.start.y}};
            OutlinePoint from = contour.start;
            for (std::size_t i = 0; i + 2 < contour.pieces.size(); i += 3) {
                const OutlinePoint a = contour.pieces[i], b = contour.pieces[i + 1],
                                   d = contour.pieces[i + 2];
                for (int n = 1; n <= 32; ++n) {
                    const double t = n / 32.0, u = 1 - t;
                    points.push_back({u * u * u * from.x + 3 * u * u * t * a.x +
                                          3 * u * t * t * b.x + t * t * t * d.x,
                                      u * u * u * from.y + 3 * u * u * t * a.y +
                                          3 * u * t * t * b.y + t * t * t * d.y});
                }
                from = d;
            }
            letters.contours.push_back(std::move(points));
        }
        // Only where an edge passes through pixel centres (a stem's edge at a half pixel,
        // which rounding puts on either side) may the two differ; a glyph a pixel off would
        // lose a tenth.
        EXPECT_GE(Overlap(FillLetters(letters, W, H), pixels), 0.98) << c.text;
    }
}

TEST(VectorLetters, NoVisibleLettersGiveNoContours) {
    Lettering lettering;
    InitStartState(lettering);
    lettering.settings.Memo1 = {"  ", ""};
    VectorLetters letters;
    letters.contours.push_back({{0, 0}, {1, 0}, {1, 1}});
    std::string error;
    EXPECT_TRUE(LetterOutlines(lettering, letters, error));
    EXPECT_TRUE(letters.contours.empty());
    EXPECT_TRUE(error.empty());
}

struct Case {
    int envelope;
    DeformMode deform;
    std::int32_t scale;
    double least;  // the intersection over union the outlines reach at least
    std::vector<std::string> lines = {"ZEF-LOR", "GbR"};
    bool italic = false;
};

// Dark letters on white, nothing else drawn; the font's own bold face.
Lettering Plain(const Case& c, std::int32_t width, std::int32_t height) {
    Lettering lettering;
    InitStartState(lettering);
    LetteringSettings& s = lettering.settings;
    s.Font.name = "DejaVu Sans";
    s.Font.bold = true;
    s.Font.italic = c.italic;
    s.Memo1 = c.lines;
    s.SurfaceFrame1 = {SurfaceKind::Color, clBlack};
    s.SurfaceFrame2 = {SurfaceKind::Color, clWhite};
    s.deform = c.deform;
    s.SpiralEd = 3;
    ResizeLettering(lettering, width, height, true);
    ApplyEnvelopePreset(lettering, c.envelope);
    return lettering;
}

// Boundary lines no preset makes still give closed contours of finite points on the picture.
TEST(VectorLetters, HostileLinesStayOnThePicture) {
    const std::vector<TPoint> far = {{-900000, -5}, {900000, 7}};
    std::vector<TPoint> zigzag;
    for (std::int32_t i = 0; i < 400; ++i)
        zigzag.push_back({i % 2 ? 299 : 0, i / 2});
    const struct {
        std::vector<TPoint> upper, lower;
        bool drawn;  // whether any letter shows
    } cases[] = {
        {{{10, 10}, {290, 10}}, {{10, 10}, {290, 10}}, false},  // rays of no length
        {{{10, 10}}, {{10, 90}}, false},                        // no step at all
        {far, {{-900000, 95}, {900000, 80}}, true},             // far beyond the picture
        {zigzag, {{0, 199}, {299, 199}}, true},                 // thinned like the warp
        {{{290, 90}, {10, 10}}, {{290, 10}, {10, 90}}, true},   // crossed, running backwards
    };
    for (const auto& c : cases) {
        Lettering lettering = Plain({0, DeformMode::RandDeform, 1, 0}, 300, 200);
        for (std::size_t i = 0; i < 2; ++i) {
            TLine line;
            for (const TPoint& p : i == 0 ? c.upper : c.lower)
                line.AddPoint(p.x, p.y);
            line.BuildOutline(OutlineBound(300, 200));
            lettering.EnvelopeLines[i] = line;
        }
        VectorLetters letters;
        std::string error;
        ASSERT_TRUE(LetterOutlines(lettering, letters, error)) << error;
        EXPECT_EQ(!letters.contours.empty(), c.drawn);
        for (const VectorContour& contour : letters.contours) {
            EXPECT_GE(contour.size(), 3u);
            for (const VectorPoint& p : contour) {
                ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
                EXPECT_TRUE(p.x >= 0 && p.x <= 300 && p.y >= 0 && p.y <= 200);
            }
        }
    }
}

TEST(VectorLetters, FilledOutlinesCoverTheRasterLetters) {
    std::vector<Case> cases;
    // Where the spiral's turns squeeze the text to strokes a pixel or two thick, which of the
    // rays lies on a pixel at a stroke's edge is a matter of the pixels' stairs: the outlines
    // follow the strokes' edges on the average, not pixel by pixel.
    for (int p = 0; p < kEnvelopePresetCount; ++p) {
        const double least = p == kSpiralPreset ? 0.89 : 0.95;
        cases.push_back({p, DeformMode::NoDeform, 1, least});
        cases.push_back({p, DeformMode::SinDeform, 1, least});
        cases.push_back({p, DeformMode::RandDeform, 1, std::min(least, 0.90)});
    }
    // The scaled render, an underlined letter by the & rule, and the slanted face.
    cases.push_back({7, DeformMode::SinDeform, 2, 0.95});
    cases.push_back({12, DeformMode::NoDeform, 1, 0.95, {"Z&EF", "&&"}, true});

    double worst = 1;
    for (const Case& c : cases) {
        const std::int32_t k = c.scale;
        const Lettering lettering = Plain(c, 900 / k, 400 / k);
        RenderImages images;
        RenderTrace trace;
        MakeWhitePicture(lettering, images.Picture, k);
        RenderLettering(lettering, images, &trace, k);
        VectorLetters letters;
        std::string error;
        ASSERT_TRUE(LetterOutlines(lettering, letters, error, k)) << error;
        const std::vector<std::uint8_t> filled = FillLetters(letters, 900, 400);
        std::int64_t both = 0, either = 0;
        for (std::int32_t y = 0; y < 400; ++y) {
            for (std::int32_t x = 0; x < 900; ++x) {
                const bool raster = trace.unfiltered.Row(y)[3 * x] < 128;
                const bool vector = filled[std::size_t(y) * 900 + std::size_t(x)] != 0;
                both += raster && vector;
                either += raster || vector;
            }
        }
        ASSERT_GT(either, 0);
        const double iou = double(both) / double(either);
        worst = std::min(worst, iou);
        std::printf("envelope %2d, deformation %d, scale %d: IoU %.4f\n", c.envelope, int(c.deform),
                    k, iou);
        EXPECT_GE(iou, c.least) << "envelope " << c.envelope << ", deformation " << int(c.deform)
                                << ", scale " << k;
    }
    std::printf("worst IoU %.4f\n", worst);
}

}  // namespace
}  // namespace gw
