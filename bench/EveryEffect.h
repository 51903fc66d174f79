#pragma once
// The effects the measurements switch on together: edge preset 3 ("3 Lichtstrahlen"), shadow
// preset 2, frame style 1, the sine deformation and envelope 7.

#include "document/Lettering.h"
#include "render/Presets.h"

namespace gw {

inline void ApplyEveryEffect(Lettering& lettering) {
    LetteringSettings& s = lettering.settings;
    ApplyEdgePreset(s, 3);
    ApplyShadowPreset(s, 2);
    ApplyFramePreset(s, 1);
    s.deform = DeformMode::SinDeform;
    ApplyEnvelopePreset(lettering, 7);
}

}  // namespace gw
