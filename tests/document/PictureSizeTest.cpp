#include "document/PictureSize.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

using Points = std::vector<TPoint>;

TEST(SideRatio, FollowsTheReferenceSize) {
    EXPECT_EQ(HeightForWidth(900, 450, 200), 400);
    EXPECT_EQ(WidthForHeight(100, 450, 200), 225);
    EXPECT_EQ(HeightForWidth(451, 450, 200), 200);  // 200.44
    EXPECT_EQ(HeightForWidth(450, 450, 200), 200);
}

TEST(SideRatio, RoundsHalfToEven) {
    EXPECT_EQ(HeightForWidth(25, 100, 50), 12);  // 12.5
    EXPECT_EQ(HeightForWidth(27, 100, 50), 14);  // 13.5
    EXPECT_EQ(SizeFieldValue(10.5L), 10);
    EXPECT_EQ(SizeFieldValue(11.5L), 12);
}

TEST(SideRatio, HeldAtTheLimits) {
    EXPECT_EQ(HeightForWidth(20, 450, 200), 10);      // 8.9
    EXPECT_EQ(WidthForHeight(9000, 450, 200), 9999);  // 20250
    EXPECT_EQ(HeightForWidth(30000, 450, 200), 9999);
    EXPECT_EQ(SizeFieldValue(-5), 10);
    EXPECT_EQ(SizeFieldValue(9999.4L), 9999);
}

Lettering StartLettering() {
    Lettering lettering;
    InitStartState(lettering);
    return lettering;
}

TEST(Resize, DoublingScalesTheBoundaryLines) {
    Lettering lettering = StartLettering();
    ResizeLettering(lettering, 900, 400, true);
    EXPECT_EQ(lettering.width, 900);
    EXPECT_EQ(lettering.height, 400);
    EXPECT_EQ(lettering.EnvelopeLines[0].Points(), (Points{{44, 20}, {856, 20}}));
    EXPECT_EQ(lettering.EnvelopeLines[1].Points(), (Points{{44, 380}, {856, 380}}));
    EXPECT_EQ(lettering.EnvelopeLines[0].OutlineCount(), 813);
}

TEST(Resize, FactorsTruncate) {
    Lettering lettering = StartLettering();
    ResizeLettering(lettering, 451, 200, true);
    EXPECT_EQ(lettering.EnvelopeLines[0].GetPoint(0), (TPoint{22, 10}));
    EXPECT_EQ(lettering.EnvelopeLines[0].GetPoint(1), (TPoint{428, 10}));  // 428.95

    lettering = StartLettering();
    lettering.EnvelopeLines[0].SetPoint(0, -22, -10);
    ResizeLettering(lettering, 675, 300, true);
    EXPECT_EQ(lettering.EnvelopeLines[0].GetPoint(0), (TPoint{-33, -15}));
}

TEST(Resize, WithoutScalingLinesStay) {
    Lettering lettering = StartLettering();
    const TLine upper = lettering.EnvelopeLines[0];
    ResizeLettering(lettering, 100, 50, false);
    EXPECT_EQ(lettering.width, 100);
    EXPECT_EQ(lettering.EnvelopeLines[0], upper);
}

TEST(Resize, SizeHeldInItsRange) {
    Lettering lettering = StartLettering();
    ResizeLettering(lettering, 3, 20000, true);
    EXPECT_EQ(lettering.width, 10);
    EXPECT_EQ(lettering.height, 9999);
}

TEST(Resize, FarPointsStayAtTheLimit) {
    Lettering lettering = StartLettering();
    lettering.EnvelopeLines[0].Clear();
    lettering.EnvelopeLines[0].AddPoint(2'000'000'000, 5);
    lettering.width = 10;
    ResizeLettering(lettering, 9999, 200, true);
    EXPECT_EQ(lettering.EnvelopeLines[0].GetPoint(0).x, 2147483647);
}

}  // namespace
}  // namespace gw
