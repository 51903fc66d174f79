#pragma once
// A font as the drawing layer asks for it.

#include <cstdint>
#include <string>

#include "platform/Geometry.h"

namespace gw {

struct LogFont {
    std::string name = "MS Sans Serif";
    // Negative: the character (em) height in pixels. Positive: the cell height (ascent plus
    // descent) in pixels. Zero: a default height of 12 pixels.
    std::int32_t height = -11;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    friend bool operator==(const LogFont&, const LogFont&) = default;
};

struct FontMetrics {
    std::int32_t ascent = 0;    // pixels above the baseline
    std::int32_t descent = 0;   // pixels below the baseline
    std::int32_t height = 0;    // line height: ascent + descent
    std::int32_t emHeight = 0;  // the character height in pixels
};

}  // namespace gw
