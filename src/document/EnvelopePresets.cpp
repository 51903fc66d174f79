#include "document/EnvelopePresets.h"

#include <cmath>
#include <numbers>

#include "platform/ExactMath.h"

namespace gw {
namespace {

using Lines = std::array<std::vector<TPoint>, 2>;

constexpr long double kRadiansPerDegree = std::numbers::pi_v<long double> / 180;

long double SinDeg(long double degrees) {
    return std::sin(degrees * kRadiansPerDegree);
}
long double CosDeg(long double degrees) {
    return std::cos(degrees * kRadiansPerDegree);
}

// Upper and lower line from two lists of points.
Lines Straight(std::vector<TPoint> upper, std::vector<TPoint> lower) {
    return {std::move(upper), std::move(lower)};
}

// The spiral is worked in doubles: its lower line depends on k = 1 - 0.5 / t rounded the way a
// double rounds it (at t = 1.5 the second lower point is (98, 82), where an extended k gives 99).
Lines Spiral(std::int32_t w, std::int32_t h, double spiral) {
    double t = spiral;
    if (!(t >= 0.6)) t = 0.6;
    if (t > 10) t = 10;
    const std::int32_t cx = w / 2, cy = h / 2;
    const std::int32_t N = static_cast<std::int32_t>(std::trunc(19 * t)) + 3;
    const double k = 1 - 0.5 / t;
    const double P = std::pow(k, t);
    constexpr double radiansPerDegree = std::numbers::pi / 180;
    Lines lines;
    for (std::int32_t i = 0; i <= N; ++i) {
        const double q = 1 - (double(i) / N) * P;
        const double angle = t * 360 * i / N * radiansPerDegree;
        const auto ax =
            static_cast<std::int32_t>(std::trunc(std::cos(angle) * (w / (2 / q) - w / 20.0)));
        const auto ay =
            static_cast<std::int32_t>(std::trunc(std::sin(angle) * (h / (2 / q) - h / 20.0)));
        lines[0].push_back({cx - ax, cy - ay});
        lines[1].push_back({static_cast<std::int32_t>(std::trunc(w / 2.0 - k * ax)),
                            static_cast<std::int32_t>(std::trunc(h / 2.0 - k * ay))});
    }
    return lines;
}

}  // namespace

std::array<std::vector<TPoint>, 2> EnvelopePresetLines(int p, std::int32_t w, std::int32_t h,
                                                       double spiral) {
    const std::int32_t mx = w / 20, my = h / 20;
    const std::int32_t L = mx, R = w - mx, T = my, B = h - my;
    const std::int32_t cx = w / 2, cy = h / 2;
    const std::int32_t x1 = mx + (w - w / 10) / 3, x2 = mx + ((w - w / 10) * 2) / 3;

    switch (p) {
        case 0:
            return Straight({{L, T}, {R, T}}, {{L, B}, {R, B}});
        case 1:
            return Straight({{L, cy - my}, {R, T}}, {{L, B}, {R, cy + my}});
        case 2:
            return Straight({{L, cy - h / 5}, {R, T}}, {{L, B}, {R, cy - h / 4}});
        case 3:
            return Straight({{L, T}, {R, cy - my}}, {{L, cy + my}, {R, B}});
        case 4:
            return Straight({{L, T}, {R, cy - h / 10}}, {{L, B}, {R, cy + h / 10}});
        case 5:
            return Straight({{L, cy - h / 10}, {R, T}}, {{L, cy + h / 10}, {R, B}});
        case 6:
            return Straight({{L, cy - my}, {x1, T}, {x2, cy - my}, {R, T}},
                            {{L, B}, {x1, cy + my}, {x2, B}, {R, cy + my}});
        case 7: {
            Lines lines;
            for (std::int32_t i = 0; i <= 19; ++i) {
                const std::int32_t d = (360 * i) / 19;
                const std::int32_t r = TruncSaturated(SinDeg(d) * (h / 5));
                const std::int32_t x = (w - w / 10) * i / 19 + mx;
                lines[0].push_back({x, my + h / 5 + r});
                lines[1].push_back({x, B - h / 5 + r});
            }
            return lines;
        }
        case 8:
            return Straight({{L, cy - my}, {cx, T}, {R, cy - my}}, {{L, B}, {cx, cy + my}, {R, B}});
        case 9:
            return Straight({{L, T}, {cx, cy - h / 10}, {R, T}},
                            {{L, B}, {cx, cy + h / 10}, {R, B}});
        case 10:
            return Straight({{L, cy - h / 10}, {cx, T}, {R, cy - h / 10}},
                            {{L, cy + h / 10}, {cx, B}, {R, cy + h / 10}});
        case 11:
            return Straight({{L, T}, {cx, cy - my}, {R, T}}, {{L, cy + my}, {cx, B}, {R, cy + my}});
        case 12:
            return Straight({{L, cy - my}, {x1, T}, {x2, T}, {R, cy - my}},
                            {{L, B}, {x1, cy + my}, {x2, cy + my}, {R, B}});
        case 13:
            return Straight({{L, cy - h / 5}, {x1, T}, {x2, T}, {R, cy - h / 5}},
                            {{L, cy + h / 5}, {x1, B}, {x2, B}, {R, cy + h / 5}});
        case 14:
            return Straight({{L, T}, {x1, cy - my}, {x2, cy - my}, {R, T}},
                            {{L, cy + my}, {x1, B}, {x2, B}, {R, cy + my}});
        case 15: {
            Lines lines;
            for (std::int32_t i = 0; i <= 19; ++i) {
                const std::int32_t d = (180 * i) / 19;
                const std::int32_t s = TruncSaturated(CosDeg(d) * (cx - mx));
                const std::int32_t u = TruncSaturated(SinDeg(d) * (h - h / 10));
                lines[0].push_back({cx - s, h - my - u});
                lines[1].push_back({cx - s / 2, h - my - u / 2});
            }
            return lines;
        }
        case 16:
            return Straight({{L, cy - my}, {x1, T}, {x2, T}, {R, cy - my}},
                            {{L, B}, {x1, B}, {x2, B}, {R, B}});
        case 17:
            return Straight({{L, T}, {x1, T}, {x2, T}, {R, T}},
                            {{L, cy + my}, {x1, B}, {x2, B}, {R, cy + my}});
        case 18: {
            Lines lines;
            for (std::int32_t i = 0; i <= 19; ++i) {
                const std::int32_t d = (350 * i) / 19;
                const std::int32_t s = TruncSaturated(CosDeg(d) * (cx - mx));
                const std::int32_t u = TruncSaturated(SinDeg(d) * (cy - my));
                lines[0].push_back({cx - s, cy - u});
                lines[1].push_back({cx - s / 2, cy - u / 2});
            }
            return lines;
        }
        case kSpiralPreset:
            return Spiral(w, h, spiral);
        case 20:
            return Straight({{L, T}, {cx - w / 10, cy}, {cx + w / 10, cy}, {R, T}},
                            {{w / 4 - mx, B},
                             {cx - w / 10, h - h / 7},
                             {cx + w / 10, h - h / 7},
                             {mx + w - w / 4, B}});
        case 21:
            return Straight({{L, T}, {R, B}}, {{L, B}, {R, T}});
        case 22:
            return Straight({{L, T}, {R, T}}, {{cx - mx, B}, {cx + mx, B}});
        case 23:
            return Straight({{cx - mx, T}, {cx + mx, T}}, {{L, B}, {R, B}});
        case 24:
            return Straight({{w / 5, B}, {w / 5, T}}, {{w - w / 5, B}, {w - w / 5, T}});
        case 25:
            return Straight({{w - w / 5, T}, {w - w / 5, B}}, {{w / 5, T}, {w / 5, B}});
        case 26: {
            const std::int32_t x3 = cx - mx + (w - cx) / 2;
            const std::int32_t y2 = h - my - (h - cy) / 2;
            return Straight({{mx, cy + my},
                             {mx + (cx / 2) / 2, cy + my - cy / 2},
                             {mx + cx / 2, cy + my - cy / 2},
                             {mx + cx / 2 + (cx - cx / 2) / 2, my},
                             {mx + cx, my}},
                            {{cx - mx, h - my},
                             {cx - mx + ((w - cx) / 2) / 2, y2},
                             {x3, y2},
                             {x3 + ((w - mx) - x3) / 2, cy - my},
                             {w - mx, cy - my}});
        }
        default:
            return {};
    }
}

void ApplyEnvelopePreset(Lettering& lettering, int p) {
    if (p < 0 || p >= kEnvelopePresetCount) return;
    auto lines =
        EnvelopePresetLines(p, lettering.width, lettering.height, lettering.settings.SpiralEd);
    for (int k = 0; k < 2; ++k) {
        TLine& line = lettering.EnvelopeLines[k];
        line.Clear();
        for (const TPoint& point : lines[k])
            line.AddPoint(point.x, point.y);
    }
    BuildBoundaryOutlines(lettering);
}

void ResetBoundaryLines(Lettering& lettering) {
    ApplyEnvelopePreset(lettering, 0);
}

}  // namespace gw
