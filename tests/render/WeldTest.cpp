// The weld of the cut files: overlapping contours become one outline, holes stay.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "render/Weld.h"

namespace gw {
namespace {

VectorContour Square(double x, double y, double side, bool clockwise = true) {
    VectorContour c{{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
    if (!clockwise) std::swap(c[1], c[3]);
    return c;
}

// The area the contours enclose, each counted with its direction (holes run the other way).
double SignedArea(const VectorLetters& letters) {
    double area = 0;
    for (const VectorContour& c : letters.contours)
        for (std::size_t i = 0; i < c.size(); ++i) {
            const VectorPoint& a = c[i];
            const VectorPoint& b = c[(i + 1) % c.size()];
            area += (a.x * b.y - b.x * a.y) / 2;
        }
    return area;
}

TEST(Weld, OverlapsBecomeOneOutlineAndHolesStay) {
    struct Case {
        std::string name;
        VectorLetters letters;
        std::size_t contours;
        double area;  // enclosed, holes taken away
    };
    const Case cases[] = {
        {"nothing", {}, 0, 0},
        {"overlapping", {{Square(0, 0, 10), Square(5, 5, 10)}}, 1, 175},
        {"apart", {{Square(0, 0, 10), Square(20, 0, 10)}}, 2, 200},
        {"a counter", {{Square(0, 0, 10), Square(3, 3, 4, false)}}, 2, 84},
        {"the same twice", {{Square(0, 0, 10), Square(0, 0, 10)}}, 1, 100},
        {"points to a thousandth", {{Square(0.0004, 0.25, 1.5)}}, 1, 2.25},
        {"too short to enclose", {{VectorContour{{0, 0}, {5, 5}}}}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VectorLetters welded;
        std::string error;
        ASSERT_TRUE(WeldContours(c.letters, welded, error)) << error;
        EXPECT_EQ(welded.contours.size(), c.contours);
        EXPECT_NEAR(std::abs(SignedArea(welded)), c.area, 1e-6);
    }
    VectorLetters far{{Square(1e13, 0, 1)}}, welded;
    std::string error;
    EXPECT_FALSE(WeldContours(far, welded, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace gw
