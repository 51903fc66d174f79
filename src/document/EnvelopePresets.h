#pragma once
// The ready-made envelopes: the boundary lines of each preset for a picture size, and the reset
// of the lines to the first of them, which "Neu" and a new picture size use.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "document/Lettering.h"

namespace gw {

constexpr int kEnvelopePresetCount = 27;

// The envelope preset whose lines are a spiral of SpiralEd turns.
constexpr int kSpiralPreset = 19;

// The short names of the envelope presets, by number (see the other tables in render/Presets.h).
inline constexpr std::array<std::string_view, kEnvelopePresetCount> kEnvelopePresetNames = {
    "Gerade",   "Steigend",   "Fahne",    "Fallend",      "Keil",          "Trompete", "Zickzack",
    "Welle",    "Dach",       "Taille",   "Bauch",        "Tal",           "Bogen",    "Fass",
    "Wanne",    "Regenbogen", "Kuppe",    "Schale",       "Kreis",         "Spirale",  "Kelch",
    "Verdreht", "Trichter",   "Pyramide", "Linksgedreht", "Rechtsgedreht", "Treppe"};

// The points of envelope preset p (0 .. 26) for a picture of w x h: the upper line, then the
// lower line. The spiral (kSpiralPreset) makes `spiral` turns, a value below 0.6 taken as 0.6 and
// one above 10 as 10 (a value typed beyond the field would ask for millions of points). Empty lines
// for any other p.
std::array<std::vector<TPoint>, 2> EnvelopePresetLines(int p, std::int32_t w, std::int32_t h,
                                                       double spiral);

// Replaces both boundary lines by preset p (0 .. 26) for the lettering's picture size; the spiral
// reads SpiralEd. Outlines rebuilt.
void ApplyEnvelopePreset(Lettering& lettering, int p);

// The two-point boundary lines of a picture of w x h, preset 0: (w div 20, h div 20) to
// (w - w div 20, h div 20) above, the same at h - h div 20 below; both outlines rebuilt.
void ResetBoundaryLines(Lettering& lettering);

}  // namespace gw
