#pragma once
// Colours as the rest of the world writes them: "#RRGGBB" and the CSS colour names.

#include <optional>
#include <string_view>

#include "document/LetteringSettings.h"

namespace gw {

// The colour of "#RRGGBB" (hex digits, either case) or of a CSS colour name (letter case
// ignored), as the program's colour value with red in the low byte; nullopt for anything else.
std::optional<TColor> ParseColourName(std::string_view text);

}  // namespace gw
