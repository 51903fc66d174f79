#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "texturegen/Materials.h"
#include "texturegen/PeriodicNoise.h"
#include "texturegen/Quantise.h"

namespace gw::texgen {
namespace {

// --- Periodic noise --------------------------------------------------------------------------

TEST(PeriodicNoise, HashIsStableAcrossRuns) {
    // The committed textures are made again from these bits; a changed hash changes every file.
    EXPECT_EQ(Hash(0, 0, 0), Hash(0, 0, 0));
    EXPECT_NE(Hash(1, 0, 0), Hash(0, 1, 0));
    EXPECT_NE(Hash(0, 0, 1), Hash(0, 0, 2));
    EXPECT_EQ(Hash(3, -7, 42), 0x9ECDED5Eu);
}

TEST(PeriodicNoise, WrapsNegativeIndices) {
    EXPECT_EQ(Wrap(-1, 5), 4);
    EXPECT_EQ(Wrap(-5, 5), 0);
    EXPECT_EQ(Wrap(7, 5), 2);
}

TEST(PeriodicNoise, EveryKindRepeatsAcrossTheTile) {
    for (double u : {0.0, 0.013, 0.37, 0.999}) {
        for (double v : {0.0, 0.5, 0.871}) {
            EXPECT_NEAR(Gradient(u, v, 3, 5, 1), Gradient(u + 1, v, 3, 5, 1), 1e-9);
            EXPECT_NEAR(Gradient(u, v, 3, 5, 1), Gradient(u, v - 1, 3, 5, 1), 1e-9);
            EXPECT_NEAR(Fbm(u, v, 2, 5, 0.5, 9), Fbm(u - 1, v + 1, 2, 5, 0.5, 9), 1e-9);
            EXPECT_NEAR(FbmStretched(u, v, 1, 64, 3, 0.5, 4),
                        FbmStretched(u + 1, v + 1, 1, 64, 3, 0.5, 4), 1e-9);
            const CellSample a = Cells(u, v, 7, 1, 3);
            const CellSample b = Cells(u + 1, v - 1, 7, 1, 3);
            EXPECT_NEAR(a.f1, b.f1, 1e-9);
            EXPECT_NEAR(a.f2, b.f2, 1e-9);
            EXPECT_EQ(a.id, b.id);
        }
    }
}

TEST(PeriodicNoise, CellsAreContinuousAcrossTheEdge) {
    // The nearest feature point just left of u = 0 is found in the last column of cells.
    const CellSample inside = Cells(0.0005, 0.3, 9, 1, 5);
    const CellSample outside = Cells(0.9995, 0.3, 9, 1, 5);
    EXPECT_NEAR(inside.f1, outside.f1, 0.01);
}

TEST(PeriodicNoise, GradientStaysNearItsRange) {
    double lowest = 0;
    double highest = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const double n = Gradient(x / 64.0, y / 64.0, 4, 4, 8);
            lowest = std::min(lowest, n);
            highest = std::max(highest, n);
        }
    }
    EXPECT_GE(lowest, -1.0);
    EXPECT_LE(highest, 1.0);
    EXPECT_LT(lowest, -0.3);
    EXPECT_GT(highest, 0.3);
}

// --- Quantising ------------------------------------------------------------------------------

ColorImage Filled(int side, Rgb color) {
    ColorImage image;
    image.width = image.height = side;
    image.pixels.assign(std::size_t(side) * std::size_t(side), color);
    return image;
}

TEST(Quantise, FewColoursAreKeptExactly) {
    ColorImage image = Filled(16, {10, 20, 30});
    image.at(3, 4) = {200, 100, 0};
    image.at(5, 5) = {0, 0, 255};
    const std::vector<PaletteColor> palette = MakePalette(image, 256);
    ASSERT_EQ(palette.size(), 3u);
    // Sorted by brightness (18.2, 29.1, 118.5), so even a pure blue comes before the orange.
    EXPECT_EQ(palette[0], (PaletteColor{10, 20, 30}));
    EXPECT_EQ(palette[1], (PaletteColor{0, 0, 255}));
    EXPECT_EQ(palette[2], (PaletteColor{200, 100, 0}));
    const std::vector<std::uint8_t> indices = MapToPalette(image, palette, 0);
    EXPECT_EQ(indices[4 * 16 + 3], 2);
    EXPECT_EQ(indices[5 * 16 + 5], 1);
    EXPECT_EQ(indices[0], 0);
}

TEST(Quantise, ManyColoursAreCutToTheLimit) {
    ColorImage image;
    image.width = image.height = 64;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.pixels.push_back({x * 4.0, y * 4.0, (x + y) * 2.0});
    const std::vector<PaletteColor> palette = MakePalette(image, 32);
    EXPECT_LE(palette.size(), 32u);
    EXPECT_GE(palette.size(), 28u);
    // Every pixel finds an entry close by: the cut spread the entries over all the colours. 32
    // entries over this plane of colours leave patches of about 11 x 11 pixels, whose corners lie
    // up to about 66 (in r + g + b) from their centre.
    double worst = 0;
    double total = 0;
    for (const Rgb& p : image.pixels) {
        double best = 1e9;
        for (const PaletteColor& c : palette)
            best =
                std::min(best, std::fabs(p.r - c.r) + std::fabs(p.g - c.g) + std::fabs(p.b - c.b));
        worst = std::max(worst, best);
        total += best;
    }
    EXPECT_LT(worst, 70);
    EXPECT_LT(total / double(image.pixels.size()), 34);
}

TEST(Quantise, DitherMixesNeighboursAndRepeatsEveryEightPixels) {
    const std::vector<PaletteColor> palette{{96, 96, 96}, {104, 104, 104}};
    EXPECT_DOUBLE_EQ(PaletteSpacing(palette), std::sqrt(3.0) * 8);
    const ColorImage image = Filled(16, {101, 101, 101});
    const std::vector<std::uint8_t> indices = MapToPalette(image, palette, 8);
    int upper = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const std::uint8_t i = indices[std::size_t(y * 16 + x)];
            upper += i;
            EXPECT_EQ(i, indices[std::size_t(((y + 8) % 16) * 16 + (x + 8) % 16)]);
        }
    }
    // 101 lies 5/8 of the way from 96 to 104: 5 of every 8 pixels take the upper entry.
    EXPECT_EQ(upper, 160);
    // Without dither every pixel takes the nearer entry.
    const std::vector<std::uint8_t> plain = MapToPalette(image, palette, 0);
    EXPECT_TRUE(std::all_of(plain.begin(), plain.end(), [](std::uint8_t i) { return i == 1; }));
}

// --- Materials -------------------------------------------------------------------------------

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

TEST(Materials, NamesSizesAndOrder) {
    const std::vector<Material>& materials = Materials();
    ASSERT_GE(materials.size(), 12u);
    for (std::size_t i = 0; i < materials.size(); ++i) {
        const Material& m = materials[i];
        EXPECT_TRUE(Lower(m.file).starts_with("tex") && Lower(m.file).ends_with(".gif")) << m.file;
        EXPECT_GE(m.side, 64) << m.file;
        EXPECT_LE(m.side, 256) << m.file;
        EXPECT_EQ(m.side % 8, 0) << m.file;
        EXPECT_LE(m.colors, 256) << m.file;
        if (i > 0) {
            EXPECT_LT(Lower(materials[i - 1].file), Lower(m.file));
        }
    }
}

// Mean colour difference between columns x and x + 1 (wrapping), or rows when `rows`.
double Step(const ColorImage& image, int x, bool rows) {
    double sum = 0;
    const int n = rows ? image.width : image.height;
    for (int i = 0; i < n; ++i) {
        const Rgb& a = rows ? image.at(i, x) : image.at(x, i);
        const Rgb& b =
            rows ? image.at(i, (x + 1) % image.height) : image.at((x + 1) % image.width, i);
        sum += std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
    }
    return sum / n;
}

TEST(Materials, NoSeamWhereTheTileRepeats) {
    for (Material m : Materials()) {
        m.samples = 1;
        const ColorImage image = RenderMaterial(m);
        for (bool rows : {false, true}) {
            std::vector<double> steps;
            for (int x = 0; x + 1 < m.side; ++x)
                steps.push_back(Step(image, x, rows));
            std::sort(steps.begin(), steps.end());
            const double seam = Step(image, m.side - 1, rows);
            EXPECT_LE(seam, 1.25 * steps[steps.size() * 95 / 100] + 0.5)
                << m.file << (rows ? " rows" : " columns");
        }
    }
}

}  // namespace
}  // namespace gw::texgen
