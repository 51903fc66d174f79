#pragma once
// The font machinery behind the text layout: fontconfig matching, FreeType faces and glyph
// images, HarfBuzz shaping.
//
// Lengths of a face are kept in font units and turned into pixels through an exact fraction
// (Scale), so a line shaped once serves every pixel size. Every call here must be made while
// holding EngineLock(): FreeType faces, the fontconfig configuration and the caches are shared
// by all threads.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/ExactMath.h"
#include "platform/Font.h"
#include "platform/TextOutlines.h"

namespace gw::fonts {

// Pixels per font unit, num / den, den > 0.
struct Scale {
    std::int64_t num = 1;
    std::int64_t den = 1;
};

// A length in font units as pixels; RoundDiv, half to even, is the one rounding rule of all text
// geometry.
inline std::int64_t ToPixels(std::int64_t units, Scale s) {
    return RoundDiv(static_cast<__int128>(units) * s.num, s.den);
}

// The face's own lengths, in font units.
struct FaceUnits {
    std::int32_t unitsPerEm = 1000;
    std::int32_t ascent = 800;              // above the baseline (OS/2 win ascent, else hhea)
    std::int32_t descent = 200;             // below the baseline, positive
    std::int32_t underlinePosition = -100;  // centre of the underline stem, negative below
    std::int32_t underlineThickness = 50;
    std::int32_t boldStrength = 42;  // growth of the outline and advance under synthetic bold
};

class FontFace;
struct FallbackList;

// A face as a LogFont resolves to it, with the styles the face lacks made up by transforming
// its outlines. A null face (no font installed at all) measures every line zero wide.
struct FaceChoice {
    FontFace* face = nullptr;
    bool syntheticBold = false;
    bool syntheticItalic = false;
    // Where the characters the face lacks are looked for; null: nowhere.
    FallbackList* fallback = nullptr;
};

struct ShapedGlyph {
    std::uint32_t glyph = 0;
    std::int64_t penX = 0;  // pen position before the glyph, from the line start
    std::int32_t advance = 0;
    std::int32_t xOffset = 0;
    std::int32_t yOffset = 0;  // upwards
    bool underline = false;
    std::uint16_t face = 0;  // index into ShapedLine::faces
};

// A stretch of a line shaped in one face, one script and one direction.
struct ShapedRun {
    std::uint32_t start = 0;  // in bytes of the text
    std::uint32_t length = 0;
    std::uint8_t level = 0;  // bidirectional embedding level: odd runs go right to left
    std::uint16_t face = 0;
};

// One line in the units of its first face, in visual order; width is the pen position after
// the last glyph.
struct ShapedLine {
    std::vector<ShapedGlyph> glyphs;
    std::vector<FaceChoice> faces;  // the chosen face, then the fallback faces the line uses
    std::vector<ShapedRun> runs;    // in visual order
    std::vector<char32_t> missing;  // characters no installed face has, each once
    std::int64_t width = 0;
};

[[nodiscard]] std::unique_lock<std::mutex> EngineLock();

FaceChoice ChooseFace(const LogFont& font);
const FaceUnits& UnitsOf(const FaceChoice& choice);  // defaults for a null face
std::string FileOf(const FaceChoice& choice);        // "path", or "path:index" past face 0
std::string FamilyOf(const FaceChoice& choice);      // the face's most specific family name

// Pixels per font unit for a LogFont height (negative em, positive cell, 0 = 12 pixels em).
Scale ScaleFor(const FaceUnits& units, std::int32_t height);
FontMetrics MetricsFor(const FaceUnits& units, std::int32_t height);

// Shapes `text` (UTF-8) with the face: runs in the order of the Unicode bidirectional algorithm,
// characters the face lacks from the best installed face that has them, every run in the units of
// the chosen face. Glyphs whose cluster starts at one of the byte offsets in `underlined`
// (ascending) are marked for the underline.
ShapedLine Shape(const FaceChoice& choice, std::string_view text,
                 std::span<const std::uint32_t> underlined);

// The pixels per unit of a fallback face of the line, so that its em equals the chosen face's.
Scale ScaleOfFace(const ShapedLine& line, std::size_t face, Scale scale);

// Sets the pixels of the glyph's image, its origin at (originX, originY) of the target (y down,
// the origin on the baseline), to `stored` (a colour as the target stores it). Images up to the
// cache limit are rendered once per size and kept; bigger ones are rendered clipped to the target.
void DrawGlyph(Bitmap& target, const FaceChoice& choice, Scale scale, std::uint32_t glyph,
               std::int64_t originX, std::int64_t originY, TColor stored);

// A glyph's image as DrawGlyph draws it, rendered once; it is never changed once made. One bit
// a pixel, most significant bit first, rows top down. Its first column lies `left` pixels right
// of the glyph origin, its first row `top` rows above the origin's row (the first row below the
// baseline).
struct GlyphImage {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int32_t width = 0;
    std::int32_t rows = 0;
    std::int32_t pitch = 0;
    std::vector<std::uint8_t> bits;
};

// The image DrawGlyph draws for the glyph, kept in the cache as well (`bytes`: its size), or null
// for a glyph too big for the cache, which DrawGlyph renders clipped to each target. The image
// stays valid while it is held, whatever happens to the cache, so it may be drawn with BlitGlyph
// on any thread without EngineLock().
std::shared_ptr<const GlyphImage> HeldGlyph(const FaceChoice& choice, Scale scale,
                                            std::uint32_t glyph, std::size_t& bytes);

// Draws a held image as DrawGlyph would; needs no lock.
void BlitGlyph(Bitmap& target, const GlyphImage& image, std::int64_t originX, std::int64_t originY,
               TColor stored);

// The outline DrawGlyph fills for the glyph at the same origin, its contours appended to
// `contours`; none for a glyph DrawGlyph leaves out.
void GlyphOutline(const FaceChoice& choice, Scale scale, std::uint32_t glyph, std::int64_t originX,
                  std::int64_t originY, std::vector<OutlineContour>& contours);

// Writes the glyph images rendered since the last call to the disk's records of their face and
// size, each record with every image of that face and size in the cache.
void KeepNewGlyphs();

// The largest glyph image (in bytes) kept in the cache; returns the previous limit. Tests set 0
// to hold the clipped path to the cached one.
std::size_t SetGlyphCacheLimit(std::size_t bytes);

// DrawTextBlock with the face already chosen; takes EngineLock() itself. Tests force the
// synthetic styles through it.
std::int32_t DrawTextBlockWithFace(Bitmap* target, const FaceChoice& choice, const LogFont& font,
                                   TColor color, std::string_view text, TRect& rect,
                                   std::uint32_t format);

std::vector<std::string> FamilyNames();
// How FamilyNames() spells the font's family: the name itself, else the first name equal to it
// but for the case of ASCII letters; empty when there is none. A font matched from the disk's
// records is answered from its record, the configuration left unread.
std::string ListedSpelling(const LogFont& font);
bool FontNameLess(std::string_view a, std::string_view b);
bool LoadRuleFile(const std::string& path);
// Makes the key of the disk's matches (MatchCacheKey) on the calling thread, without the engine's
// lock (not to be held here): another thread opening a face from the disk meanwhile waits for it
// only when it gets there. Does nothing when the key is made or the disk's matches are not used.
void MakeMatchKey();
void ResetConfiguration();
// Whether fontconfig's configuration has been read since the last reset; a face taken from the
// disk's matches does without it.
bool ConfigurationRead();
std::uint64_t Generation();

}  // namespace gw::fonts
