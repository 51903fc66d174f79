#pragma once
// The ready-made envelopes and the edge, shadow and frame presets.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "document/Lettering.h"

namespace gw {

constexpr int kEnvelopePresetCount = 27;
constexpr int kEdgePresetCount = 11;
constexpr int kShadowPresetCount = 8;
constexpr int kFramePresetCount = 5;

// The envelope preset whose lines are a spiral of SpiralEd turns.
constexpr int kSpiralPreset = 19;

// Short names of the presets, by number: the command line takes them instead of the number, and
// they tell the galleries' cells apart. Plain letters only, so they are typed anywhere.
inline constexpr std::array<std::string_view, kEnvelopePresetCount> kEnvelopePresetNames = {
    "Gerade",   "Steigend",   "Fahne",    "Fallend",      "Keil",          "Trompete", "Zickzack",
    "Welle",    "Dach",       "Taille",   "Bauch",        "Tal",           "Bogen",    "Fass",
    "Wanne",    "Regenbogen", "Kuppe",    "Schale",       "Kreis",         "Spirale",  "Kelch",
    "Verdreht", "Trichter",   "Pyramide", "Linksgedreht", "Rechtsgedreht", "Treppe"};
inline constexpr std::array<std::string_view, kEdgePresetCount> kEdgePresetNames = {
    "Keine", "Schmal", "Grell",  "Konvex",  "Konkav", "Linear",
    "Stufe", "Relief", "Gravur", "Facette", "Wulst"};
inline constexpr std::array<std::string_view, kShadowPresetCount> kShadowPresetNames = {
    "Keiner", "Hart", "Weich", "Oben", "Schein", "Dunkel", "Leuchten", "Diagonal"};
inline constexpr std::array<std::string_view, kFramePresetCount> kFramePresetNames = {
    "Keiner", "Farbig", "Knopf", "Kissen", "Platte"};

// The number of the preset called `name` (letter case ignored), or -1.
int FindPresetName(std::span<const std::string_view> names, std::string_view name);

// The points of envelope preset p (0 .. 26) for a picture of w x h: the upper line, then the
// lower line. The spiral (kSpiralPreset) makes `spiral` turns, a value below 0.6 taken as 0.6 and
// one above 10 as 10 (a value typed beyond the field would ask for millions of points). Empty lines
// for any other p.
std::array<std::vector<TPoint>, 2> EnvelopePresetLines(int p, std::int32_t w, std::int32_t h,
                                                       double spiral);

// Replaces both boundary lines by preset p (0 .. 26) for the lettering's picture size; the spiral
// reads SpiralEd. Outlines rebuilt.
void ApplyEnvelopePreset(Lettering& lettering, int p);

// Every control of the effect takes the preset's value. An index outside the
// gallery changes nothing.
void ApplyEdgePreset(LetteringSettings& settings, int i);
void ApplyShadowPreset(LetteringSettings& settings, int i);
void ApplyFramePreset(LetteringSettings& settings, int i);  // FrameStyle := i

}  // namespace gw
