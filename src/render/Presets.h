#pragma once
// The ready-made envelopes and the edge, shadow and frame presets.

#include <cstdint>

#include "document/Lettering.h"

namespace gw {

constexpr int kEnvelopePresetCount = 27;
constexpr int kEdgePresetCount = 11;
constexpr int kShadowPresetCount = 8;
constexpr int kFramePresetCount = 5;

// Replaces both boundary lines by preset p (0 .. 26) for the lettering's picture size; the spiral
// (19) reads SpiralEd. Outlines rebuilt; the working lines are left alone.
void ApplyEnvelopePreset(Lettering& lettering, int p);

// The preset's controls: the common values first, then the row's changes.
void ApplyEdgePreset(LetteringSettings& settings, int i);
void ApplyShadowPreset(LetteringSettings& settings, int i);
void ApplyFramePreset(LetteringSettings& settings, int i);  // FrameStyle := i

}  // namespace gw
