#include "texturegen/PeriodicNoise.h"

#include <cmath>
#include <numbers>

namespace gw::texgen {

namespace {

double Fade(double t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

double CornerDot(int cx, int cy, double fx, double fy, std::uint32_t seed) {
    const double angle = Hash01(cx, cy, seed) * 2 * std::numbers::pi;
    return std::cos(angle) * fx + std::sin(angle) * fy;
}

}  // namespace

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= std::uint32_t(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= std::uint32_t(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double Hash01(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return double(Hash(x, y, seed) >> 8) / double(1u << 24);
}

double Gradient(double u, double v, int periodX, int periodY, std::uint32_t seed) {
    const double x = u * periodX;
    const double y = v * periodY;
    const double fx0 = std::floor(x);
    const double fy0 = std::floor(y);
    const double fx = x - fx0;
    const double fy = y - fy0;
    const int x0 = Wrap(int(fx0), periodX);
    const int y0 = Wrap(int(fy0), periodY);
    const int x1 = Wrap(x0 + 1, periodX);
    const int y1 = Wrap(y0 + 1, periodY);
    const double n00 = CornerDot(x0, y0, fx, fy, seed);
    const double n10 = CornerDot(x1, y0, fx - 1, fy, seed);
    const double n01 = CornerDot(x0, y1, fx, fy - 1, seed);
    const double n11 = CornerDot(x1, y1, fx - 1, fy - 1, seed);
    const double sx = Fade(fx);
    const double sy = Fade(fy);
    // Unit gradients reach at most about 0.71 in the cell's centre.
    return std::numbers::sqrt2 * Lerp(Lerp(n00, n10, sx), Lerp(n01, n11, sx), sy);
}

double Fbm(double u, double v, int period, int octaves, double gain, std::uint32_t seed) {
    return FbmStretched(u, v, period, period, octaves, gain, seed);
}

double FbmStretched(double u, double v, int periodX, int periodY, int octaves, double gain,
                    std::uint32_t seed) {
    double sum = 0;
    double norm = 0;
    double amplitude = 1;
    for (int k = 0; k < octaves; ++k) {
        sum +=
            amplitude * Gradient(u, v, periodX << k, periodY << k, seed + 7919u * std::uint32_t(k));
        norm += amplitude;
        amplitude *= gain;
    }
    return sum / norm;
}

CellSample Cells(double u, double v, int period, double jitter, std::uint32_t seed) {
    const double x = u * period;
    const double y = v * period;
    const int cx = int(std::floor(x));
    const int cy = int(std::floor(y));
    CellSample best;
    best.f1 = best.f2 = 1e9;
    for (int j = -2; j <= 2; ++j) {
        for (int i = -2; i <= 2; ++i) {
            const int wx = Wrap(cx + i, period);
            const int wy = Wrap(cy + j, period);
            const double px = cx + i + 0.5 + jitter * (Hash01(wx, wy, seed) - 0.5);
            const double py = cy + j + 0.5 + jitter * (Hash01(wx, wy, seed ^ 0xA5A5A5u) - 0.5);
            const double dx = x - px;
            const double dy = y - py;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d < best.f1) {
                best.f2 = best.f1;
                best.f1 = d;
                best.dx = dx;
                best.dy = dy;
                best.id = Hash(wx, wy, seed + 1u);
            } else if (d < best.f2) {
                best.f2 = d;
            }
        }
    }
    return best;
}

}  // namespace gw::texgen
