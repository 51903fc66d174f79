#include "texturegen/Quantise.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace gw::texgen {

namespace {

// The eye tells green steps apart best and red ones least; the weights follow that roughly.
constexpr double kWeightR = 2;
constexpr double kWeightG = 4;
constexpr double kWeightB = 3;

std::uint8_t ToByte(double c) {
    return std::uint8_t(std::clamp(std::nearbyint(c), 0.0, 255.0));
}

std::uint32_t Pack(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

int Channel(std::uint32_t packed, int c) {
    return int((packed >> (16 - 8 * c)) & 0xFF);
}

constexpr std::array<double, 3> kWeights{kWeightR, kWeightG, kWeightB};

double Distance2(double r, double g, double b, const PaletteColor& p) {
    const double dr = r - p.r;
    const double dg = g - p.g;
    const double db = b - p.b;
    return kWeightR * dr * dr + kWeightG * dg * dg + kWeightB * db * db;
}

int Nearest(double r, double g, double b, const std::vector<PaletteColor>& palette) {
    int best = 0;
    double bestDistance = Distance2(r, g, b, palette[0]);
    for (std::size_t i = 1; i < palette.size(); ++i) {
        const double d = Distance2(r, g, b, palette[i]);
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return best;
}

double Brightness(const PaletteColor& p) {
    return 0.299 * p.r + 0.587 * p.g + 0.114 * p.b;
}

void SortByBrightness(std::vector<PaletteColor>& palette) {
    std::sort(palette.begin(), palette.end(), [](const PaletteColor& a, const PaletteColor& b) {
        const double ba = Brightness(a);
        const double bb = Brightness(b);
        if (ba != bb) return ba < bb;
        return Pack(a.r, a.g, a.b) < Pack(b.r, b.g, b.b);
    });
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
}

// A box of the median cut: a run of the (sorted) colour list.
struct Box {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The weighted spread of the box along channel c: count x variance, so a box of many pixels with
// a wide spread is cut before a few outliers are.
double Spread(const std::vector<std::uint32_t>& colors, const Box& box, int c) {
    double sum = 0;
    double sum2 = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        const double v = Channel(colors[i], c);
        sum += v;
        sum2 += v * v;
    }
    const double n = double(box.end - box.begin);
    return kWeights[std::size_t(c)] * (sum2 - sum * sum / n);
}

}  // namespace

std::vector<PaletteColor> MakePalette(const ColorImage& image, int maxColors) {
    std::vector<std::uint32_t> colors;
    colors.reserve(image.pixels.size());
    for (const Rgb& p : image.pixels)
        colors.push_back(Pack(ToByte(p.r), ToByte(p.g), ToByte(p.b)));
    if (colors.empty() || maxColors < 1) return {};

    std::vector<std::uint32_t> distinct = colors;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    std::vector<PaletteColor> palette;
    if (distinct.size() <= std::size_t(maxColors)) {
        for (std::uint32_t c : distinct)
            palette.push_back({std::uint8_t(Channel(c, 0)), std::uint8_t(Channel(c, 1)),
                               std::uint8_t(Channel(c, 2))});
        SortByBrightness(palette);
        return palette;
    }

    std::vector<Box> boxes{{0, colors.size()}};
    while (boxes.size() < std::size_t(maxColors)) {
        std::size_t chosen = boxes.size();
        int channel = 0;
        double widest = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            for (int c = 0; c < 3; ++c) {
                const double s = Spread(colors, boxes[i], c);
                if (s > widest) {
                    widest = s;
                    chosen = i;
                    channel = c;
                }
            }
        }
        if (chosen == boxes.size()) break;  // every box holds a single colour
        Box& box = boxes[chosen];
        auto first = colors.begin() + std::ptrdiff_t(box.begin);
        auto last = colors.begin() + std::ptrdiff_t(box.end);
        std::sort(first, last, [channel](std::uint32_t a, std::uint32_t b) {
            const int ca = Channel(a, channel);
            const int cb = Channel(b, channel);
            return ca != cb ? ca < cb : a < b;
        });
        // Cut at the median, moved to where the channel value changes so that equal values stay
        // in one box; a spread above zero guarantees such a place.
        auto valueAt = [&](std::size_t i) { return Channel(colors[i], channel); };
        std::size_t mid = box.begin + (box.end - box.begin) / 2;
        std::size_t up = mid;
        while (up < box.end && valueAt(up) == valueAt(up - 1))
            ++up;
        std::size_t down = mid;
        while (down > box.begin && valueAt(down) == valueAt(down - 1))
            --down;
        const bool upFound = up < box.end;
        const bool downFound = down > box.begin;
        mid = upFound && (!downFound || up - mid <= mid - down) ? up : down;
        const Box upper{mid, box.end};
        box.end = mid;
        boxes.push_back(upper);
    }

    struct Centre {
        double r = 0, g = 0, b = 0, n = 0;
    };
    std::vector<Centre> centres(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t k = boxes[i].begin; k < boxes[i].end; ++k) {
            centres[i].r += Channel(colors[k], 0);
            centres[i].g += Channel(colors[k], 1);
            centres[i].b += Channel(colors[k], 2);
            centres[i].n += 1;
        }
        palette.push_back({ToByte(centres[i].r / centres[i].n), ToByte(centres[i].g / centres[i].n),
                           ToByte(centres[i].b / centres[i].n)});
    }

    // A few rounds of k-means over the distinct colours with their counts.
    std::sort(colors.begin(), colors.end());
    std::vector<std::pair<std::uint32_t, double>> counted;
    for (std::uint32_t c : colors) {
        if (!counted.empty() && counted.back().first == c) {
            counted.back().second += 1;
        } else {
            counted.emplace_back(c, 1);
        }
    }
    for (int round = 0; round < 6; ++round) {
        std::fill(centres.begin(), centres.end(), Centre{});
        for (const auto& [c, n] : counted) {
            const double r = Channel(c, 0), g = Channel(c, 1), b = Channel(c, 2);
            Centre& centre = centres[std::size_t(Nearest(r, g, b, palette))];
            centre.r += r * n;
            centre.g += g * n;
            centre.b += b * n;
            centre.n += n;
        }
        for (std::size_t i = 0; i < palette.size(); ++i) {
            if (centres[i].n == 0) continue;
            palette[i] = {ToByte(centres[i].r / centres[i].n), ToByte(centres[i].g / centres[i].n),
                          ToByte(centres[i].b / centres[i].n)};
        }
    }
    SortByBrightness(palette);
    return palette;
}

std::vector<std::uint8_t> MapToPalette(const ColorImage& image,
                                       const std::vector<PaletteColor>& palette, double spread) {
    static constexpr int kBayer[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
        {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
        {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
    std::vector<std::uint8_t> indices(image.pixels.size(), 0);
    if (palette.empty()) return indices;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double offset = spread * ((kBayer[y % 8][x % 8] + 0.5) / 64.0 - 0.5);
            const Rgb& p = image.at(x, y);
            indices[std::size_t(y) * std::size_t(image.width) + std::size_t(x)] =
                std::uint8_t(Nearest(p.r + offset, p.g + offset, p.b + offset, palette));
        }
    }
    return indices;
}

double PaletteSpacing(const std::vector<PaletteColor>& palette) {
    if (palette.size() < 2) return 0;
    std::vector<double> nearest;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        double best = 1e18;
        for (std::size_t j = 0; j < palette.size(); ++j) {
            if (i == j) continue;
            const double dr = double(palette[i].r) - palette[j].r;
            const double dg = double(palette[i].g) - palette[j].g;
            const double db = double(palette[i].b) - palette[j].b;
            best = std::min(best, dr * dr + dg * dg + db * db);
        }
        nearest.push_back(std::sqrt(best));
    }
    std::sort(nearest.begin(), nearest.end());
    return nearest[nearest.size() / 2];
}

}  // namespace gw::texgen
