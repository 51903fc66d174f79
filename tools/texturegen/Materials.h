#pragma once
// The materials of the built-in textures: how each is computed and how it is stored.

#include <string>
#include <vector>

#include "texturegen/Quantise.h"

namespace gw::texgen {

struct Material {
    std::string file;   // the name in data/; the name order is the order of the table
    int side = 128;     // width and height in pixels, a multiple of 8 (the dither period)
    int colors = 256;   // most palette entries
    double dither = 1;  // ordered-dither strength in palette spacings; 0 for busy materials
    int samples = 2;    // samples per pixel along each axis, against jagged fine detail
    Rgb (*shade)(double u, double v) = nullptr;  // the colour at a point of the unit tile
};

// Every built-in texture, in name order: the first suits letters, the last is a calm background.
const std::vector<Material>& Materials();

// The material computed at every pixel (the mean of samples x samples points inside it).
ColorImage RenderMaterial(const Material& material);

}  // namespace gw::texgen
