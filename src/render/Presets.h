#pragma once
// The edge, shadow and frame presets, and the short names of every preset (the envelopes' own
// live with their lines in the document layer).

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "document/EnvelopePresets.h"

namespace gw {

constexpr int kEdgePresetCount = 11;
constexpr int kShadowPresetCount = 8;
constexpr int kFramePresetCount = 5;

// Short names of the presets, by number: the command line takes them instead of the number, and
// they tell the galleries' cells apart. Plain letters only, so they are typed anywhere.
inline constexpr std::array<std::string_view, kEdgePresetCount> kEdgePresetNames = {
    "Keine", "Schmal", "Grell",  "Konvex",  "Konkav", "Linear",
    "Stufe", "Relief", "Gravur", "Facette", "Wulst"};
inline constexpr std::array<std::string_view, kShadowPresetCount> kShadowPresetNames = {
    "Keiner", "Hart", "Weich", "Oben", "Schein", "Dunkel", "Leuchten", "Diagonal"};
inline constexpr std::array<std::string_view, kFramePresetCount> kFramePresetNames = {
    "Keiner", "Farbig", "Knopf", "Kissen", "Platte"};

// The number of the preset called `name` (letter case ignored), or -1.
int FindPresetName(std::span<const std::string_view> names, std::string_view name);

// Every control of the effect takes the preset's value. An index outside the
// gallery changes nothing.
void ApplyEdgePreset(LetteringSettings& settings, int i);
void ApplyShadowPreset(LetteringSettings& settings, int i);
void ApplyFramePreset(LetteringSettings& settings, int i);  // FrameStyle := i

}  // namespace gw
