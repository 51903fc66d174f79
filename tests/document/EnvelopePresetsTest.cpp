#include "document/EnvelopePresets.h"

#include <gtest/gtest.h>

#include <vector>

namespace gw {
namespace {

using Points = std::vector<TPoint>;

std::array<Points, 2> At450x200(int p, double spiral = 1.5) {
    return EnvelopePresetLines(p, 450, 200, spiral);
}

// The first and last points of a line, for the curves whose worked values give only those.
void ExpectStartsAndEnds(const Points& line, const Points& starts, const Points& ends) {
    ASSERT_GE(line.size(), starts.size() + ends.size());
    EXPECT_EQ(Points(line.begin(), line.begin() + std::ptrdiff_t(starts.size())), starts);
    EXPECT_EQ(Points(line.end() - std::ptrdiff_t(ends.size()), line.end()), ends);
}

TEST(EnvelopePresets, StraightShapesAtStartSize) {
    EXPECT_EQ(At450x200(0)[0], (Points{{22, 10}, {428, 10}}));
    EXPECT_EQ(At450x200(0)[1], (Points{{22, 190}, {428, 190}}));
    EXPECT_EQ(At450x200(2)[0], (Points{{22, 60}, {428, 10}}));
    EXPECT_EQ(At450x200(2)[1], (Points{{22, 190}, {428, 50}}));
    EXPECT_EQ(At450x200(6)[0], (Points{{22, 90}, {157, 10}, {292, 90}, {428, 10}}));
    EXPECT_EQ(At450x200(6)[1], (Points{{22, 190}, {157, 110}, {292, 190}, {428, 110}}));
    EXPECT_EQ(At450x200(20)[0], (Points{{22, 10}, {180, 100}, {270, 100}, {428, 10}}));
    EXPECT_EQ(At450x200(20)[1], (Points{{90, 190}, {180, 172}, {270, 172}, {360, 190}}));
    EXPECT_EQ(At450x200(26)[0], (Points{{22, 110}, {78, 60}, {134, 60}, {190, 10}, {247, 10}}));
    EXPECT_EQ(At450x200(26)[1], (Points{{203, 190}, {259, 140}, {315, 140}, {371, 90}, {428, 90}}));
}

TEST(EnvelopePresets, CurvesAtStartSize) {
    const auto sine = At450x200(7);
    ASSERT_EQ(sine[0].size(), 20u);
    ExpectStartsAndEnds(sine[0], {{22, 50}, {43, 62}, {64, 74}}, {{405, 37}, {427, 50}});
    ExpectStartsAndEnds(sine[1], {{22, 150}, {43, 162}}, {{427, 150}});

    const auto arch = At450x200(15);
    ASSERT_EQ(arch[0].size(), 20u);
    ExpectStartsAndEnds(arch[0], {{22, 190}, {25, 162}}, {{428, 190}});
    ExpectStartsAndEnds(arch[1], {{124, 190}}, {{326, 190}});

    const auto ring = At450x200(18);
    ASSERT_EQ(ring[0].size(), 20u);
    ExpectStartsAndEnds(ring[0], {{22, 100}, {32, 73}}, {{26, 115}});
    ExpectStartsAndEnds(ring[1], {{124, 100}}, {{126, 107}});
}

TEST(EnvelopePresets, Spiral) {
    const auto spiral = At450x200(19, 1.5);
    ASSERT_EQ(spiral[0].size(), 32u);
    ASSERT_EQ(spiral[1].size(), 32u);
    ExpectStartsAndEnds(spiral[0], {{23, 100}, {36, 74}}, {{305, 100}});
    ExpectStartsAndEnds(spiral[1], {{90, 100}, {98, 82}}, {{278, 100}});

    EXPECT_EQ(At450x200(19, 10)[0].size(), 194u);
    EXPECT_EQ(At450x200(19, 0.6)[0].size(), 15u);
    EXPECT_EQ(At450x200(19, 0.2)[0].size(), 15u);
    EXPECT_EQ(At450x200(19, -3)[0], At450x200(19, 0.6)[0]);
    // A typed value far beyond the field is held at its maximum rather than asking for millions
    // of points.
    EXPECT_EQ(At450x200(19, 1e12)[0].size(), 194u);
}

TEST(EnvelopePresets, CrossedAndVerticalShapes) {
    const auto crossed = At450x200(21);
    EXPECT_GT(crossed[0].back().y, crossed[1].back().y);

    const auto up = At450x200(24);
    EXPECT_EQ(up[0].front().x, up[0].back().x);
    EXPECT_LT(up[0].front().x, up[1].front().x);
    const auto down = At450x200(25);
    EXPECT_EQ(down[1].front().x, down[1].back().x);
    EXPECT_GT(down[0].front().x, down[1].front().x);
}

TEST(EnvelopePresets, ApplyUsesPictureSize) {
    Lettering lettering;
    InitStartState(lettering);
    lettering.width = 600;
    lettering.height = 300;
    lettering.EnvelopeLines[1].AddPoint(5, 5);
    ApplyEnvelopePreset(lettering, 0);
    EXPECT_EQ(lettering.EnvelopeLines[0].Points(), (Points{{30, 15}, {570, 15}}));
    EXPECT_EQ(lettering.EnvelopeLines[1].Points(), (Points{{30, 285}, {570, 285}}));
    EXPECT_EQ(lettering.EnvelopeLines[0].OutlineCount(), 541);

    lettering.settings.SpiralEd = 10;
    ApplyEnvelopePreset(lettering, 19);
    EXPECT_EQ(lettering.EnvelopeLines[0].PointCount(), 194);

    const TLine before = lettering.EnvelopeLines[0];
    ApplyEnvelopePreset(lettering, 27);
    ApplyEnvelopePreset(lettering, -1);
    EXPECT_EQ(lettering.EnvelopeLines[0], before);
}

}  // namespace
}  // namespace gw
