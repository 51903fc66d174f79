#include "texturegen/Materials.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

#include "texturegen/PeriodicNoise.h"

namespace gw::texgen {

namespace {

constexpr double kPi = std::numbers::pi;

double Clamp01(double t) {
    return std::clamp(t, 0.0, 1.0);
}

double Smoothstep(double a, double b, double t) {
    const double s = Clamp01((t - a) / (b - a));
    return s * s * (3 - 2 * s);
}

double Fract(double t) {
    return t - std::floor(t);
}

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(const Rgb& a, double f) {
    return {a.r * f, a.g * f, a.b * f};
}

Rgb Add(const Rgb& a, const Rgb& b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

struct Stop {
    double t;
    Rgb color;
};

// A hand-made colour gradient: the stops in rising order of t, smooth between them.
Rgb Ramp(std::initializer_list<Stop> stops, double t) {
    const Stop* s = stops.begin();
    if (t <= s->t) return s->color;
    for (const Stop* next = s + 1; next != stops.end(); ++s, ++next) {
        if (t <= next->t) return Mix(s->color, next->color, Smoothstep(s->t, next->t, t));
    }
    return s->color;
}

// Hammered gold: soft reflections of a gently dented surface broken into small facets.
Rgb Gold(double u, double v) {
    const double wx = Fbm(u, v, 3, 4, 0.5, 11);
    const double wy = Fbm(u, v, 3, 4, 0.5, 12);
    const double h = Fbm(u + 0.25 * wx, v + 0.25 * wy, 3, 4, 0.5, 13);
    const double reflection = 0.5 + 0.5 * std::sin(11 * h + 1.5);
    // Each dent turns a little toward the light or away from it.
    const CellSample dent = Cells(u, v, 11, 0.9, 14);
    const double facet = (0.6 * dent.dx + 0.8 * dent.dy) / std::max(dent.f2, 0.4);
    const double t = Clamp01(0.3 + 0.62 * std::pow(reflection, 0.8) - 0.13 * facet +
                             0.04 * Fbm(u, v, 32, 2, 0.5, 15));
    return Ramp({{0.0, {92, 52, 8}},
                 {0.25, {150, 96, 22}},
                 {0.5, {204, 150, 42}},
                 {0.7, {238, 192, 78}},
                 {0.86, {252, 230, 140}},
                 {1.0, {255, 250, 218}}},
                t);
}

// The distance of f to the nearest whole number: lines where a field crosses whole values.
double LineDistance(double f) {
    return std::fabs(f - std::nearbyint(f));
}

// White marble: grey clouding, long dark veins that run diagonally with soft halos, and a net of
// faint thin ones.
Rgb Marble(double u, double v) {
    const double wx = Fbm(u, v, 2, 5, 0.5, 21);
    const double wy = Fbm(u, v, 2, 5, 0.5, 22);
    const double turb = Fbm(u + 0.3 * wx, v + 0.3 * wy, 2, 6, 0.55, 23);
    const double turb2 = Fbm(u - 0.3 * wy, v + 0.3 * wx, 2, 6, 0.55, 24);
    // Whole-number slopes keep the veins' field periodic over the tile.
    const double d1 = LineDistance(2 * (u + v) + 1.6 * turb);
    const double d2 = LineDistance(3 * (u - v) + 1.4 * turb2);
    const double strength = Smoothstep(-0.35, 0.35, Fbm(u, v, 3, 3, 0.5, 26));
    const double vein = strength * std::exp(-std::pow(d1 / 0.02, 2));
    const double halo = std::exp(-std::pow(d1 / 0.09, 2));
    const double second = (1 - strength) * std::exp(-std::pow(d2 / 0.012, 2));
    const double net = std::pow(1 - std::fabs(Fbm(u, v, 3, 5, 0.5, 27)), 60);
    const double cloud = Fbm(u, v, 3, 5, 0.5, 25);
    Rgb c = Mix({244, 241, 236}, {214, 212, 210}, Clamp01(0.5 + 0.8 * cloud));
    c = Mix(c, {190, 189, 190}, 0.45 * halo);
    c = Mix(c, {165, 165, 168}, 0.5 * net);
    c = Mix(c, {120, 121, 126}, 0.7 * second);
    return Mix(c, {82, 84, 90}, 0.9 * vein);
}

// A sawn board: growth rings of uneven width and darkness that sway along the grain, fine fibres
// and pores.
Rgb Wood(double u, double v) {
    constexpr int kRings = 11;
    const double sway = FbmStretched(u, v, 1, 2, 4, 0.5, 31);
    const double rings = v * kRings + 2.2 * sway + 0.12 * Fbm(u, v, 4, 3, 0.5, 32);
    const int ring = Wrap(int(std::floor(rings)), kRings);
    const double r = Fract(rings);
    const double darkness = 0.6 + 0.4 * Hash01(ring, 0, 35);
    const double late = darkness * Smoothstep(0.62, 0.93, r) * (1 - Smoothstep(0.95, 1.0, r));
    const double fibre = FbmStretched(u, v, 2, 96, 3, 0.6, 33);
    const double pore = Smoothstep(0.55, 0.8, FbmStretched(u, v, 16, 160, 1, 0.5, 34));
    const double patch = Fbm(u, v, 2, 3, 0.5, 36);
    const double t = Clamp01(0.2 + 0.65 * late + 0.14 * fibre + 0.15 * pore + 0.18 * patch);
    return Ramp({{0.0, {228, 182, 122}},
                 {0.35, {206, 150, 90}},
                 {0.7, {160, 100, 52}},
                 {1.0, {104, 60, 30}}},
                t);
}

// Granite: a mosaic of pinkish feldspar, grey glassy quartz and black mica grains, each of them
// clouded inside, sprinkled with fine dark specks.
Rgb Granite(double u, double v) {
    const double wx = Fbm(u, v, 8, 2, 0.5, 41);
    const double wy = Fbm(u, v, 8, 2, 0.5, 42);
    const CellSample grain = Cells(u + 0.02 * wx, v + 0.02 * wy, 26, 0.95, 43);
    const double pick = double(grain.id >> 8) / double(1u << 24);
    const double tone = double(grain.id & 0xFF) / 255.0;
    const double inner = Fbm(u, v, 32, 2, 0.5, 44);
    Rgb c;
    if (pick < 0.44) {
        c = Scale(Mix({204, 164, 150}, {172, 150, 144}, tone), 1 + 0.25 * inner);
    } else if (pick < 0.8) {
        c = Scale({196, 197, 198}, 0.78 + 0.25 * tone + 0.35 * inner);
    } else if (pick < 0.92) {
        c = Scale({50, 46, 48}, 1 + 0.6 * inner);
    } else {
        c = {236, 232, 226};
    }
    const CellSample speck = Cells(u, v, 48, 1, 45);
    if ((speck.id & 3) == 0) c = Mix(c, {34, 30, 32}, 0.9 * Smoothstep(0.3, 0.15, speck.f1));
    return Scale(c, 0.88 + 0.12 * Smoothstep(0.0, 0.1, grain.f2 - grain.f1));
}

// Brushed steel: fine lengthwise scratches of many lengths over a faint, broad sheen.
Rgb Steel(double u, double v) {
    const double sheen = FbmStretched(u, v, 1, 2, 3, 0.5, 51);
    const double streak = FbmStretched(u, v, 4, 256, 2, 0.6, 52);
    const double scratch = FbmStretched(u, v, 2, 512, 1, 0.5, 53);
    const double grain = FbmStretched(u, v, 16, 256, 1, 0.5, 54);
    const double t = Clamp01(0.58 + 0.5 * sheen + 0.24 * streak + 0.14 * scratch + 0.08 * grain);
    return Ramp({{0.0, {92, 98, 106}}, {0.5, {160, 166, 173}}, {1.0, {224, 228, 233}}}, t);
}

// Water seen from above: bright caustic lines over blue that deepens in patches.
Rgb Water(double u, double v) {
    const double wx = Fbm(u, v, 2, 3, 0.5, 61);
    const double wy = Fbm(u, v, 2, 3, 0.5, 62);
    const CellSample a = Cells(u + 0.08 * wx, v + 0.08 * wy, 6, 1, 63);
    const CellSample b = Cells(u - 0.06 * wy, v + 0.06 * wx, 9, 1, 64);
    const double ca = std::pow(1 - Smoothstep(0.0, 0.3, a.f2 - a.f1), 2);
    const double cb = std::pow(1 - Smoothstep(0.0, 0.25, b.f2 - b.f1), 2);
    const double depth = Fbm(u, v, 2, 4, 0.5, 65);
    Rgb c = Ramp({{0.0, {10, 62, 110}}, {0.5, {22, 110, 160}}, {1.0, {40, 150, 185}}},
                 Clamp01(0.5 + depth));
    return Mix(c, {200, 245, 255}, Clamp01(0.55 * ca + 0.4 * cb));
}

// Cork: pressed granules of many browns with dark pores between them.
Rgb Cork(double u, double v) {
    const CellSample grain = Cells(u, v, 20, 1, 71);
    const double tone = double(grain.id >> 8) / double(1u << 24);
    double t = 0.25 + 0.55 * tone + 0.2 * Fbm(u, v, 16, 2, 0.5, 72);
    t *= 0.75 + 0.25 * Smoothstep(0.0, 0.15, grain.f2 - grain.f1);
    const CellSample pore = Cells(u, v, 14, 1, 73);
    if ((pore.id & 7) < 3) t *= 0.35 + 0.65 * Smoothstep(0.08, 0.22, pore.f1);
    return Ramp({{0.0, {70, 42, 22}},
                 {0.35, {140, 94, 54}},
                 {0.7, {196, 150, 100}},
                 {1.0, {228, 192, 142}}},
                Clamp01(t));
}

// A wall of red bricks in stretcher bond with light mortar.
Rgb Bricks(double u, double v) {
    constexpr int kRows = 12;
    constexpr int kColumns = 4;
    constexpr double kSide = 256;
    const double jx = 0.004 * Fbm(u, v, 16, 2, 0.5, 81);
    const double jy = 0.004 * Fbm(u, v, 16, 2, 0.5, 82);
    const double y = (v + jy) * kRows;
    const int row = int(std::floor(y));
    const double x = (u + jx) * kColumns + (Wrap(row, kRows) % 2 ? 0.5 : 0.0);
    const int column = int(std::floor(x));
    const double fx = x - column;
    const double fy = y - row;
    // Distance to the brick's edge in pixels.
    const double ex = std::min(fx, 1 - fx) * kSide / kColumns;
    const double ey = std::min(fy, 1 - fy) * kSide / kRows;
    const double edge = std::min(ex, ey);
    const double grit = Fbm(u, v, 64, 2, 0.5, 83);
    if (edge < 1.6 + 0.6 * grit) {
        return Scale({196, 190, 178}, 0.9 + 0.12 * grit);
    }
    const int wr = Wrap(row, kRows);
    const int wc = Wrap(column, kColumns);
    const double kind = Hash01(wc, wr, 84);
    Rgb c = Ramp({{0.0, {120, 46, 30}}, {0.5, {160, 68, 42}}, {1.0, {180, 96, 60}}}, kind);
    c = Scale(c, 0.88 + 0.12 * Fbm(u, v, 8, 4, 0.6, 85 + std::uint32_t(wr * 7 + wc)));
    const CellSample spot = Cells(u, v, 40, 1, 86);
    if ((spot.id & 7) == 0) c = Mix(c, {70, 30, 22}, 0.6 * Smoothstep(0.3, 0.1, spot.f1));
    // Light from the top left: the upper and left rims brighter, the lower and right ones darker.
    const double rim = 1 - Smoothstep(1.5, 4.5, edge);
    const double side = (ey <= ex ? (fy < 0.5 ? 1 : -1) : (fx < 0.5 ? 0.6 : -0.6));
    return Scale(c, 1 + 0.18 * rim * side);
}

// Pebbled leather: small rounded grains parted by thin soft creases, with a few longer wrinkles.
Rgb Leather(double u, double v) {
    const double wx = Fbm(u, v, 4, 2, 0.5, 91);
    const double wy = Fbm(u, v, 4, 2, 0.5, 92);
    const CellSample c = Cells(u + 0.02 * wx, v + 0.02 * wy, 22, 1, 93);
    const double crease = Smoothstep(0.0, 0.22, c.f2 - c.f1);
    // The grain's dome, lit from the top left.
    const double light = -(c.dx + c.dy) / std::max(c.f2, 0.3);
    const double wrinkle =
        std::pow(1 - std::fabs(Fbm(u + 0.1 * wy, v + 0.1 * wx, 3, 3, 0.5, 95)), 18);
    const double tone = Fbm(u, v, 4, 3, 0.5, 94);
    const double t = Clamp01(0.3 + 0.3 * crease + 0.1 * light * crease + 0.16 * tone -
                             0.25 * wrinkle + 0.04 * Fbm(u, v, 32, 1, 0.5, 96));
    return Ramp(
        {{0.0, {46, 22, 10}}, {0.4, {100, 52, 25}}, {0.75, {146, 82, 42}}, {1.0, {180, 114, 64}}},
        t);
}

// Denim: indigo warp threads floating over three weft threads (a 3/1 twill), the pale weft
// peeping out between them, a little worn in patches. The warp lies denser than the weft, which
// makes the twill lines steep.
Rgb Fabric(double u, double v) {
    constexpr int kWarps = 48;
    constexpr int kWefts = 32;
    const double x = u * kWarps;
    const double y = v * kWefts;
    const int ix = Wrap(int(std::floor(x)), kWarps);
    const int iy = Wrap(int(std::floor(y)), kWefts);
    const double fx = x - std::floor(x);
    const double fy = y - std::floor(y);
    const int step = Wrap(ix + iy, 4);
    const double wear = Smoothstep(-0.2, 0.6, Fbm(u, v, 3, 4, 0.5, 101));
    const double round = std::sin(kPi * fx);
    const Rgb indigo = Mix({30, 46, 92}, {88, 112, 156}, 0.4 * wear);
    const double slub = 0.85 + 0.3 * Hash01(ix, 0, 102) +
                        0.15 * FbmStretched(u, v, kWarps, 4, 2, 0.5, 103 + std::uint32_t(ix));
    if (step != 0) {
        // Along its float of three rows the warp thread rises and dives under again.
        const double along = ((step - 1) + fy) / 3;
        const double lift = std::sqrt(std::sin(kPi * along));
        return Scale(indigo, (0.5 + 0.3 * round + 0.2 * lift) * slub);
    }
    // The weft shows only in the middle of the gap; the neighbouring warps bulge over its sides.
    const double open = Smoothstep(0.0, 0.35, fx) * Smoothstep(1.0, 0.65, fx);
    const double weftRound = std::sin(kPi * fy);
    const double weftSlub = 0.9 + 0.2 * Hash01(0, iy, 104);
    const Rgb weft = Scale({150, 158, 178}, (0.6 + 0.4 * weftRound) * weftSlub);
    return Mix(Scale(indigo, 0.45 * slub), weft, open);
}

// A night sky: faint violet and blue nebulae and stars of many brightnesses.
Rgb Stars(double u, double v) {
    const double wx = Fbm(u, v, 2, 4, 0.5, 111);
    const double wy = Fbm(u, v, 2, 4, 0.5, 112);
    const double neb = Fbm(u + 0.3 * wx, v + 0.3 * wy, 2, 6, 0.55, 113);
    const double neb2 = Fbm(u - 0.2 * wy, v + 0.2 * wx, 3, 5, 0.5, 114);
    Rgb c = {6, 7, 22};
    c = Mix(c, {58, 28, 92}, Smoothstep(-0.05, 0.35, neb) * 0.6);
    c = Mix(c, {22, 58, 108}, Smoothstep(0.0, 0.35, neb2) * 0.45);

    // Stars: one candidate in each cell of three lattices, most of them dim.
    constexpr double kPixel = 1.0 / 256;
    const struct {
        int period;
        double exponent;
        double sigma;
        std::uint32_t seed;
    } layers[] = {{40, 9, 0.55, 115}, {14, 5, 0.7, 116}, {5, 3, 1.1, 117}};
    for (const auto& layer : layers) {
        const double x = u * layer.period;
        const double y = v * layer.period;
        const int cx = int(std::floor(x));
        const int cy = int(std::floor(y));
        for (int j = -1; j <= 1; ++j) {
            for (int i = -1; i <= 1; ++i) {
                const int wx2 = Wrap(cx + i, layer.period);
                const int wy2 = Wrap(cy + j, layer.period);
                const double px = cx + i + 0.1 + 0.8 * Hash01(wx2, wy2, layer.seed);
                const double py = cy + j + 0.1 + 0.8 * Hash01(wx2, wy2, layer.seed + 1000);
                const double dx = (x - px) / layer.period / kPixel;
                const double dy = (y - py) / layer.period / kPixel;
                const double d2 = dx * dx + dy * dy;
                if (d2 > 64) continue;
                const double bright = std::pow(Hash01(wx2, wy2, layer.seed + 2000), layer.exponent);
                const double tint = Hash01(wx2, wy2, layer.seed + 3000);
                const Rgb hue = tint < 0.3   ? Rgb{170, 200, 255}
                                : tint < 0.8 ? Rgb{255, 255, 255}
                                             : Rgb{255, 220, 170};
                const double sigma = layer.sigma * (0.7 + 0.6 * bright);
                const double core = std::exp(-d2 / (2 * sigma * sigma));
                const double glow = 0.15 * bright * std::exp(-d2 / (2 * 9 * sigma * sigma));
                c = Add(c, Scale(hue, 1.2 * bright * core + glow));
            }
        }
    }
    return {std::min(c.r, 255.0), std::min(c.g, 255.0), std::min(c.b, 255.0)};
}

// Malachite: green bands that follow a warped, agate-like pattern.
Rgb Malachite(double u, double v) {
    const double wx = Fbm(u, v, 2, 4, 0.5, 121);
    const double wy = Fbm(u, v, 2, 4, 0.5, 122);
    const double f = Fbm(u + 0.3 * wx, v + 0.3 * wy, 2, 4, 0.45, 123);
    const double band = 0.5 + 0.5 * std::cos(2 * kPi * f * 9);
    const double fine = 0.5 + 0.5 * std::cos(2 * kPi * f * 41);
    const double t =
        Clamp01(0.1 + 0.65 * std::pow(band, 1.5) + 0.15 * fine + 0.1 * Fbm(u, v, 32, 2, 0.5, 124));
    return Ramp(
        {{0.0, {6, 46, 32}}, {0.35, {16, 92, 60}}, {0.7, {40, 150, 98}}, {1.0, {110, 210, 160}}},
        t);
}

// A summer sky with soft heaps of white cloud, lit from above and greyer underneath.
Rgb Clouds(double u, double v) {
    const double n = Fbm(u, v, 3, 6, 0.5, 137);
    const double cover = Smoothstep(-0.02, 0.3, n);
    // The broad shape of the heap: where more of it lies above, the light is shaded off.
    const double body = Fbm(u, v, 3, 2, 0.5, 137);
    const double above = Fbm(u, v - 0.03, 3, 2, 0.5, 137);
    const double shadow = Smoothstep(-0.02, 0.12, above - body) * Smoothstep(0.05, 0.35, n);
    const Rgb sky =
        Mix({64, 124, 204}, {118, 172, 232}, Clamp01(0.5 + 0.8 * Fbm(u, v, 2, 2, 0.5, 134)));
    const Rgb cloud = Mix({253, 253, 254}, {186, 198, 218}, 0.7 * shadow);
    return Mix(sky, cloud, cover);
}

// Hand-made paper: a warm white with soft clouding, faint fibres and a few specks.
Rgb Paper(double u, double v) {
    const double cloud = Fbm(u, v, 4, 5, 0.55, 141);
    double fibre = 0;
    // Fibres along four directions; the sheared coordinates keep the period of the tile.
    fibre += std::pow(1 - std::fabs(FbmStretched(u + v, u - v, 6, 48, 2, 0.5, 142)), 12);
    fibre += std::pow(1 - std::fabs(FbmStretched(u - v, u + v, 6, 48, 2, 0.5, 143)), 12);
    fibre += std::pow(1 - std::fabs(FbmStretched(u, v, 8, 64, 2, 0.5, 144)), 14);
    fibre += std::pow(1 - std::fabs(FbmStretched(v, u, 8, 64, 2, 0.5, 145)), 14);
    Rgb c = {244, 239, 226};
    c = Scale(c, 1 - 0.035 * cloud - 0.03 * fibre);
    const CellSample speck = Cells(u, v, 24, 1, 147);
    if ((speck.id & 31) == 0) c = Mix(c, {150, 130, 105}, 0.5 * Smoothstep(0.12, 0.04, speck.f1));
    return c;
}

}  // namespace

const std::vector<Material>& Materials() {
    static const std::vector<Material> materials{
        {"tex01-gold.gif", 256, 128, 1.0, 2, Gold},
        {"tex02-marmor.gif", 256, 128, 1.0, 2, Marble},
        {"tex03-holz.gif", 256, 128, 1.0, 2, Wood},
        {"tex04-granit.gif", 128, 128, 0.0, 2, Granite},
        {"tex05-stahl.gif", 256, 48, 1.0, 2, Steel},
        {"tex06-wasser.gif", 256, 128, 1.0, 2, Water},
        {"tex07-kork.gif", 128, 128, 0.0, 2, Cork},
        {"tex08-ziegel.gif", 256, 128, 0.0, 3, Bricks},
        {"tex09-leder.gif", 128, 128, 0.5, 2, Leather},
        {"tex10-stoff.gif", 192, 128, 0.0, 3, Fabric},
        {"tex11-sterne.gif", 256, 160, 1.0, 3, Stars},
        {"tex12-malachit.gif", 256, 128, 1.0, 2, Malachite},
        {"tex13-wolken.gif", 256, 128, 1.0, 2, Clouds},
        {"tex14-papier.gif", 256, 32, 1.0, 2, Paper},
    };
    return materials;
}

ColorImage RenderMaterial(const Material& material) {
    ColorImage image;
    image.width = image.height = material.side;
    image.pixels.resize(std::size_t(material.side) * std::size_t(material.side));
    const int n = std::max(1, material.samples);
    for (int y = 0; y < material.side; ++y) {
        for (int x = 0; x < material.side; ++x) {
            Rgb sum;
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    const double u = (x + (i + 0.5) / n) / material.side;
                    const double v = (y + (j + 0.5) / n) / material.side;
                    sum = Add(sum, material.shade(u, v));
                }
            }
            image.at(x, y) = Scale(sum, 1.0 / (n * n));
        }
    }
    return image;
}

}  // namespace gw::texgen
