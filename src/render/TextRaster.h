#pragma once
// RenderText: the typed text, font, surface, edge, shadow and outline deformation become the
// coloured TextImage and its coverage TextMask.

#include <cstdint>
#include <string>

#include "document/Lettering.h"
#include "raster/DibImage.h"

namespace gw {

struct RenderTrace;

// The text block: the lines joined with one CR each, a single space when that is empty.
std::string JoinedText(const LetteringSettings& settings);

// What the user is told about the lettering's text: that a stand-in is drawn for a font that is
// not installed, and which characters no installed font has. Empty when there is nothing to say.
std::string FontSubstitutionNote(const LetteringSettings& settings);
std::string MissingCharactersNote(const LetteringSettings& settings);

// The text-image size for a picture `pictureWidth` wide: the longer side is the picture width,
// the proportions those of the text block measured in the lettering font.
void TextImageSize(const LetteringSettings& settings, std::int32_t pictureWidth,
                   std::int32_t& width, std::int32_t& height);

// Replaces TextImage and TextMask (both 24 bits, the text-image size).
void RenderText(const Lettering& lettering, DibImage& TextImage, DibImage& TextMask,
                RenderTrace* trace = nullptr);

// The same images by the plain way: every step on work bitmaps with raster operations. RenderText
// takes it only when it cannot make both images; tests hold RenderText to it.
void RenderTextReference(const Lettering& lettering, DibImage& TextImage, DibImage& TextMask,
                         RenderTrace* trace = nullptr);

}  // namespace gw
