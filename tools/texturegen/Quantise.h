#pragma once
// Turning a texture computed in full colour into an 8-bit palette image without a seam and
// without banding.

#include <cstdint>
#include <vector>

namespace gw::texgen {

// A colour with channels 0 ... 255, kept in floating point until it is quantised.
struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

// A picture of width x height colours, rows from the top.
struct ColorImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
    Rgb& at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    const Rgb& at(int x, int y) const {
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

struct PaletteColor {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const PaletteColor&, const PaletteColor&) = default;
};

// A palette of at most maxColors entries for the image: median cut, then a few rounds of
// k-means to pull the entries to the centres of the colours they stand for. The entries are sorted
// by brightness. An image with no more distinct (rounded) colours than maxColors gets exactly
// those colours.
std::vector<PaletteColor> MakePalette(const ColorImage& image, int maxColors);

// The palette index of every pixel, rows from the top. Before each pixel's nearest entry is
// looked up, an 8 x 8 ordered-dither threshold times `spread` is added to all three channels;
// the threshold repeats every 8 pixels, so on sides divisible by 8 the dither pattern runs across
// the tile's edges unbroken. `spread` 0 maps every pixel to its nearest entry.
std::vector<std::uint8_t> MapToPalette(const ColorImage& image,
                                       const std::vector<PaletteColor>& palette, double spread);

// The typical distance between neighbouring palette entries: the median of every entry's distance
// to its nearest other entry. Dithering by about this much hides the steps between them.
double PaletteSpacing(const std::vector<PaletteColor>& palette);

}  // namespace gw::texgen
