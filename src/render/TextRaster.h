#pragma once
// RenderText: the typed text, font, surface, edge, shadow and outline deformation become the
// coloured TextImage and its coverage TextMask.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "document/Lettering.h"
#include "platform/TextOutlines.h"
#include "raster/DibImage.h"
#include "render/RenderOptions.h"

namespace gw {

struct RenderTrace;

// AusrichtBox, the alignment of the text lines.
enum TextAlignment : std::int32_t {
    kAlignLeft = 0,    // "Linksbündig"
    kAlignCentre = 1,  // "Zentriert"
    kAlignRight = 2,   // "Rechtsbündig"
};

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

// What both ways of RenderText share, and the letters' outlines with them: the block, its image
// size, the room for the shadow and the fitted font.
struct TextPlan {
    std::uint32_t align = 0;  // DT_LEFT, DT_CENTER or DT_RIGHT
    std::string text;
    std::int32_t width = 0, height = 0;
    std::int32_t Ox = 0, Oy = 0;  // where the letters' block is anchored
    std::int32_t sx = 0, sy = 0;  // where the shadow's block is anchored
    LogFont fitted;
    std::int32_t scale = 1;
};

// The plan of RenderText for the lettering at `scale` (see RenderText).
TextPlan PlanText(const Lettering& lettering, std::int32_t scale);

// The contours of the letters RenderText draws by the plan, in text-image pixels, before the
// outline deformation; parts beyond the text image are kept.
std::vector<OutlineContour> TextLetterOutlines(const TextPlan& plan);

// The last blend of RenderText, one row: a coverage byte is 0 to 4 (how many of the four
// softened corners the shadow covers) or 255 for a letter. Its pixel's three mask bytes become
// mask[k + 5 ch] and the three text-image bytes are XORed with image[k + 5 ch], for coverage k
// and channel ch; a letter's mask bytes become 0 and its image bytes stay.
struct ShadowBlendTable {
    std::uint8_t mask[16] = {};
    std::uint8_t image[16] = {};
};
void BlendShadowRow(const std::uint8_t* coverage, std::size_t count, const ShadowBlendTable& table,
                    std::uint8_t* mask, std::uint8_t* image);
// The same one pixel at a time, on processors without byte shuffles.
void BlendShadowRowPlain(const std::uint8_t* coverage, std::size_t count,
                         const ShadowBlendTable& table, std::uint8_t* mask, std::uint8_t* image);
// The table of the lettering's shadow: its opacity and its colour (with `coverage`, the colour
// whole, for a render that carries opacity) by coverage.
ShadowBlendTable ShadowBlendTableFor(const LetteringSettings& s, bool coverage);
// The last blend of the text images: the shadow's coverage plane (one byte a pixel, W x H, in the
// first bytes of TextMask's memory) made into TextMask in place and laid into TextImage.
void BlendShadowPlane(const ShadowBlendTable& table, DibImage& TextImage, DibImage& TextMask);

// Replaces TextImage and TextMask (both 24 bits, the text-image size). At a scale k above 1 the
// lettering is one made by ScaledLettering (Pipeline.h): the text image is k times the 1x one,
// the fixed bevel width k times as wide, the outline deformation the 1x one stretched.
void RenderText(const Lettering& lettering, DibImage& TextImage, DibImage& TextMask,
                RenderTrace* trace = nullptr, std::int32_t scale = 1,
                const RenderOptions& options = {});

// The same images by the plain way: every step on work bitmaps with raster operations, the shadow
// softened on its bitmaps. RenderText takes it when it cannot make both images, and when the
// options choose the plain stages, which its own surface fill and bevel then take as well; tests
// hold RenderText to it. Only this way draws RenderOptions::withoutLetters.
void RenderTextReference(const Lettering& lettering, DibImage& TextImage, DibImage& TextMask,
                         RenderTrace* trace = nullptr, std::int32_t scale = 1,
                         const RenderOptions& options = {});

}  // namespace gw
