// Documents made to cost: boundary lines far outside the picture or zigzagging over it. The work
// of a render follows the picture; the program's own lines stay exactly as they are.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "document/EnvelopePresets.h"
#include "document/PictureSize.h"
#include "raster/Lines.h"
#include "render/Envelope.h"

namespace gw {
namespace {

TLine LineOf(const std::vector<TPoint>& points, std::size_t bound = kMaxOutlinePixels) {
    TLine line;
    for (const TPoint& p : points)
        line.AddPoint(p.x, p.y);
    line.BuildOutline(bound);
    return line;
}

// A pseudo-random line of n points within +-reach of (cx, cy).
std::vector<TPoint> Scattered(int n, std::int32_t reach, std::uint32_t seed) {
    std::vector<TPoint> points;
    for (int i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const auto x = std::int32_t(seed % std::uint32_t(2 * reach + 1)) - reach;
        seed = seed * 1664525u + 1013904223u;
        const auto y = std::int32_t(seed % std::uint32_t(2 * reach + 1)) - reach;
        points.push_back({x, y});
    }
    return points;
}

// A bounded outline is the full one resampled: its first and last pixel, and in between pixels
// of the full outline evenly apart, found without walking it.
TEST(BoundedOutline, IsTheFullOutlineResampledEvenly) {
    struct Case {
        std::vector<TPoint> points;
        std::size_t bound;
    };
    const Case cases[] = {
        {{{0, 0}, {5, 2}}, 100},                             // within: exact
        {{{0, 0}, {5, 2}}, 6},                               // exactly at the bound
        {{{0, 0}, {5, 2}}, 4},                               // shallow, forward
        {{{5, 2}, {0, 0}}, 3},                               // walked backwards
        {{{0, 0}, {2, 5}, {9, -3}, {9, -3}}, 7},             // steep, diagonal, a repeated point
        {{{-7, 40}, {3, -30}, {-50, -31}}, 33},              // mixed directions
        {Scattered(100, 20000, 7), OutlineBound(450, 200)},  // the hostile line
        {Scattered(40, 3000, 11), 977},                      // a bound no multiple of anything
    };
    for (const Case& c : cases) {
        const std::vector<TPoint> full = LineOf(c.points).Outline();
        ASSERT_EQ(std::int64_t(full.size()), OutlineLength(c.points));
        const TLine bounded = LineOf(c.points, c.bound);
        if (full.size() <= c.bound) {
            EXPECT_EQ(bounded.Outline(), full);
            continue;
        }
        ASSERT_EQ(bounded.Outline().size(), c.bound);
        const auto n = std::int64_t(c.bound);
        for (std::int64_t j = 0; j < n; ++j)
            ASSERT_EQ(bounded.Outline()[std::size_t(j)],
                      full[std::size_t(ResampledIndex(j, std::int64_t(full.size()), n))])
                << c.points.size() << " points, sample " << j;
        EXPECT_EQ(bounded.Outline().front(), full.front());
        EXPECT_EQ(bounded.Outline().back(), full.back());
        // A stored outline that is too long is resampled to the same pixels.
        TLine stored;
        stored.Assign(c.points, full);
        EXPECT_EQ(stored.Bounded(c.bound).Outline(), bounded.Outline());
    }
}

// Points at the ends of the 32-bit range make segments of billions of pixels: the outline is the
// bound, not the limit of the polyline, and costs no more than its pixels.
TEST(BoundedOutline, AbsurdSegmentsAreResampledNotWalked) {
    const std::int32_t hi = 2147483647, lo = -2147483647 - 1;
    const std::vector<TPoint> points = {{0, 0}, {100, 0}, {lo, 5}, {hi, hi}, {0, 9}};
    const TLine line = LineOf(points, OutlineBound(450, 200));
    ASSERT_EQ(std::size_t(line.OutlineCount()), OutlineBound(450, 200));
    EXPECT_EQ(line.Outline().front(), (TPoint{0, 0}));
    EXPECT_EQ(line.Outline().back(), (TPoint{0, 9}));
}

// Every line the program makes stays within the bounds exactly as it is: the presets with the
// spiral at its most turns, at the picture sizes the size dialog allows, and those lines resized.
// So a document of its own renders byte for byte as before.
TEST(BoundedOutline, TheProgramsOwnLinesStayWithinTheBounds) {
    const std::pair<std::int32_t, std::int32_t> sizes[] = {
        {10, 10}, {450, 200}, {200, 450}, {9999, 10}, {10, 9999}, {9999, 9999}, {1234, 5678}};
    for (const auto& [w, h] : sizes) {
        for (int p = 0; p < kEnvelopePresetCount; ++p) {
            Lettering lettering;
            lettering.width = w;
            lettering.height = h;
            lettering.settings.SpiralEd = 10;
            ApplyEnvelopePreset(lettering, p);
            for (const TLine& line : lettering.EnvelopeLines)
                ASSERT_EQ(line.OutlineCount(), OutlineLength(line.Points()))
                    << "preset " << p << " at " << w << "x" << h;
            EXPECT_LE(WarpPixelBound(lettering.EnvelopeLines[0], lettering.EnvelopeLines[1], w, h),
                      WarpBlendBudget(w, h))
                << "preset " << p << " at " << w << "x" << h;
            // A scribble of many points across the picture eight times there and back.
            TLine scribble;
            for (std::int32_t i = 0; i < 4000; ++i)
                scribble.AddPoint((i / 250) % 2 == 0 ? (i % 250) * (w - 1) / 249
                                                     : (249 - i % 250) * (w - 1) / 249,
                                  i * (h - 1) / 3999);
            scribble.BuildOutline(OutlineBound(w, h));
            ASSERT_EQ(scribble.OutlineCount(), OutlineLength(scribble.Points())) << w << "x" << h;
            // Made at one size and stretched to the most lopsided other.
            ResizeLettering(lettering, w == 10 ? 9999 : 10, h, true);
            for (const TLine& line : lettering.EnvelopeLines)
                ASSERT_EQ(line.OutlineCount(), OutlineLength(line.Points())) << "preset " << p;
        }
    }
}

// Whatever writes the points of a hostile document, the outline it keeps is within the bound of
// its picture, and the warp's blends within their budget.
TEST(BoundedOutline, HostileDocumentsAreBoundedByEveryWriter) {
    struct Case {
        const char* what;
        std::int32_t w, h;
        std::vector<TPoint> upper;
        std::int32_t newW, newH;
    };
    std::vector<TPoint> zigzag;
    for (int k = 0; k < 400; ++k)
        zigzag.push_back({k % 2 == 0 ? 0 : 9998, k * 25});
    const Case cases[] = {
        {"upper line within +-100000, widened by a pixel", 450, 200, Scattered(100, 100000, 3), 451,
         200},
        {"the same fitted to a thumbnail", 450, 200, Scattered(100, 100000, 5), 256, 113},
        {"a zigzag over the whole picture", 9999, 9999, zigzag, 9999, 9999},
        {"points at the ends of the range",
         450,
         200,
         {{-2147483647, 0}, {2147483647, 199}},
         900,
         400},
    };
    for (const Case& c : cases) {
        Lettering lettering;
        lettering.width = c.w;
        lettering.height = c.h;
        ResetBoundaryLines(lettering);
        TLine& upper = lettering.EnvelopeLines[0];
        upper.Clear();
        for (const TPoint& p : c.upper)
            upper.AddPoint(p.x, p.y);
        ResizeLettering(lettering, c.newW, c.newH, true);
        const std::size_t bound = OutlineBound(lettering.width, lettering.height);
        EXPECT_LE(std::size_t(upper.OutlineCount()), bound) << c.what;
        EXPECT_EQ(upper.Outline().front(), upper.Points().front()) << c.what;
        EXPECT_EQ(upper.Outline().back(), upper.Points().back()) << c.what;
    }
}

}  // namespace
}  // namespace gw

#include "document/LetteringFile.h"
#include "raster/DibService.h"

namespace gw {
namespace {

// An embedded texture keeps to the limits of a texture file; the size a document will have is
// known before it is written.
TEST(EmbeddedTextures, KeepToTheTextureLimitsAndCountTowardsTheFileSize) {
    struct Case {
        std::int32_t w, h, bits;
        bool opens;
    };
    const Case cases[] = {
        {9999, 1, 24, true},   {1, 9999, 8, true},   {10000, 1, 24, false},
        {1, 10000, 24, false}, {16384, 2, 8, false},
    };
    for (const Case& c : cases) {
        Lettering lettering;
        InitStartState(lettering);
        newdib(lettering.TextTexture, c.w, c.h, c.bits, nullptr, 0);
        ASSERT_TRUE(lettering.TextTexture.Bits);
        const std::vector<std::uint8_t> bytes = LetteringFileBytes(lettering);
        EXPECT_EQ(LetteringFileSize(lettering), bytes.size());
        Lettering opened;
        EXPECT_EQ(ReadLetteringBytes(opened, bytes, "t.zgw").ok, c.opens) << c.w << "x" << c.h;
    }
}

}  // namespace
}  // namespace gw

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "document/BuiltinTextures.h"
#include "platform/System.h"

namespace gw {
namespace {

std::string Bmp(std::int32_t w, std::int32_t h, std::uint16_t bits) {
    std::string b(54, '\0');
    const auto put = [&b](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + std::size_t(i)] = char(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, 54 + 4, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, std::uint32_t(w), 4);
    put(22, std::uint32_t(h), 4);
    put(26, 1, 2);
    put(28, bits, 2);
    return b + std::string(4, '\0');
}

// A texture that cannot be had is refused with its reason.
TEST(TextureRefusals, NameTheirReason) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"breit.bmp", Bmp(10000, 1, 24), "Das Bild ist zu groß"},
        {"hoch.bmp", Bmp(1, 16385, 24), "Das Bild ist zu groß"},
        {"tief.bmp", Bmp(1, 1, 16), "16 Bit Farbtiefe"},
        {"text.png", "Hallo, ich bin kein Bild.", "kein GIF-, PNG-, JPEG- oder BMP-Bild"},
        {"kurz.png", "\x89PNG\r\n\x1a\n", "beschädigt"},
    };
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("gw-refusals-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (const Case& c : cases) {
        const std::string path = (dir / c.name).string();
        std::ofstream(path, std::ios::binary) << c.bytes;
        std::string said;
        const MessageBoxHandler before = SetMessageBoxHandler(
            [&said](std::string_view text, std::string_view, MsgIcon, MsgButtons) {
                said = text;
                return MsgResult::Ok;
            });
        Lettering lettering;
        EXPECT_FALSE(LoadOwnTexture(lettering, path, true)) << c.name;
        SetMessageBoxHandler(before);
        EXPECT_NE(said.find(c.reason), std::string::npos) << c.name << ": " << said;
        EXPECT_EQ(said.rfind("Konnte das Bild nicht laden. (" + path + ") ", 0), 0u) << said;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace gw
