#pragma once
// Noise on the unit torus: every function here takes texture coordinates u, v (the tile spans
// 0 ... 1 in both) and gives the same value at u and u + 1, v and v + 1, so a texture built only
// from them tiles without a seam. The lattices have whole-number periods for that reason.

#include <cstdint>

namespace gw::texgen {

// A well-mixed 32-bit hash of a lattice point; the same inputs give the same bits on every run.
std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed);
// The hash as a number in [0, 1).
double Hash01(std::int32_t x, std::int32_t y, std::uint32_t seed);

// Gradient noise on a lattice of periodX x periodY cells over the tile, roughly in [-1, 1].
// Unequal periods stretch the features along the axis with the smaller period.
double Gradient(double u, double v, int periodX, int periodY, std::uint32_t seed);

// A fractal sum of `octaves` gradient-noise layers, each of twice the previous period and `gain`
// times its amplitude, divided by the sum of the amplitudes (so again roughly in [-1, 1]).
double Fbm(double u, double v, int period, int octaves, double gain, std::uint32_t seed);
double FbmStretched(double u, double v, int periodX, int periodY, int octaves, double gain,
                    std::uint32_t seed);

// Cellular noise: one feature point in each cell of a period x period lattice, jittered by up to
// `jitter` of a cell. Distances are in cells.
struct CellSample {
    double f1 = 0;  // distance to the nearest feature point
    double f2 = 0;  // distance to the second nearest
    double dx = 0;  // from the nearest feature point to the sample
    double dy = 0;
    std::uint32_t id = 0;  // a hash of the nearest point's (wrapped) cell, for per-cell colours
};
CellSample Cells(double u, double v, int period, double jitter, std::uint32_t seed);

// The whole-number modulo that is never negative, for wrapping lattice indices.
inline int Wrap(int a, int period) {
    const int m = a % period;
    return m < 0 ? m + period : m;
}

}  // namespace gw::texgen
