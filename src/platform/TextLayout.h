#pragma once
// Multi-line text: measuring and drawing a block of lines, and the fonts of the system.
//
// Text is UTF-8. A line ends at CR, at LF, or at CR LF (one break). There is no word wrap. The
// lines of a block are aligned against each other within the width of the widest line. Glyphs are
// drawn without antialiasing, so a block drawn in black on white holds only those two colours.
// The ampersand rule: "&x" draws x underlined, "&&" draws one "&", a lone "&" at the end is
// dropped; DT_NOPREFIX turns the rule off.
//
// Geometry: each line is shaped once in font units; a length in font units becomes pixels as
// Round(length x pixels per unit), half to even, on exact integers. Glyph origins are the rounded
// pen positions (never sums of rounded advances), a line's width is its rounded pen end, so the
// width never shrinks as the em grows and drawing puts every glyph where measuring counted it.
// Ascent and descent are the face's OS/2 win metrics (hhea where those are missing) rounded
// the same way; for a positive (cell) height the descent is the cell less the rounded ascent.
// Synthetic bold widens every advance by an em / 24; synthetic italic shears by 1/5.
// A character the font lacks is drawn from the best installed font that has it, at the same em;
// its run is shaped in that font and counted in the chosen font's units like every other run. The
// runs of a line stand in the order of the Unicode bidirectional algorithm. Drawing is
// clipped to the target bitmap, not to the rect, so italic overhangs stay whole.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Font.h"
#include "platform/Geometry.h"

namespace gw {

constexpr std::uint32_t DT_LEFT = 0x0000;
constexpr std::uint32_t DT_CENTER = 0x0001;
constexpr std::uint32_t DT_RIGHT = 0x0002;
constexpr std::uint32_t DT_NOCLIP = 0x0100;
constexpr std::uint32_t DT_CALCRECT = 0x0400;
constexpr std::uint32_t DT_NOPREFIX = 0x0800;

// With DT_CALCRECT: measures the block and sets rect.right = rect.left + width of the widest line
// and rect.bottom = rect.top + lines x line height; draws nothing (target may be null).
// Otherwise: draws the block into rect in `color`, the lines aligned by the DT_LEFT / DT_CENTER /
// DT_RIGHT flag within rect's width, the first line's top at rect.top. Pixels outside the target
// are dropped. Returns the height of the block.
std::int32_t DrawTextBlock(Bitmap* target, const LogFont& font, TColor color, std::string_view text,
                           TRect& rect, std::uint32_t format);

// A block measured and laid out once, at rect.left, rect.top, with DT_CALCRECT's rectangle, its
// glyph images rendered once and held. Drawing it needs the font engine only for glyphs too big
// to keep, so bands of one block can be drawn on several threads side by side, each into a
// target of its own.
class PreparedTextBlock {
  public:
    PreparedTextBlock(const LogFont& font, std::string_view text, std::int32_t left,
                      std::int32_t top, std::uint32_t format);
    ~PreparedTextBlock();
    PreparedTextBlock(const PreparedTextBlock&) = delete;
    PreparedTextBlock& operator=(const PreparedTextBlock&) = delete;

    // The pixels DrawTextBlock gives for the block moved up by `up` rows: the block measured with
    // DT_CALCRECT at (left, top - up), then drawn into that rectangle.
    void Draw(Bitmap& target, TColor color, std::int64_t up) const;

  private:
    struct Items;
    std::unique_ptr<const Items> items_;
};

FontMetrics GetFontMetrics(const LogFont& font);

// The characters of the block that no installed font has (drawn as the font's empty box), each
// once, in the order of the text.
std::vector<char32_t> MissingCharacters(const LogFont& font, std::string_view text,
                                        std::uint32_t format = 0);

// The font list: every family name of every installed face, in full, each once, in the order of
// FontNameLess. These are the names a lettering can be given and matched by.
std::vector<std::string> EnumFontFamilies();
// The one order of font names: ASCII letters without regard to case, then bytes.
bool FontNameLess(std::string_view a, std::string_view b);
// A font name as a list shows it: at most 32 characters, never cut inside a UTF-8 sequence.
std::string ShownFontName(std::string_view name);

// Adds a fontconfig rule file to the configuration used for every later font match. False when
// the file cannot be read or parsed.
bool LoadFontConfigFile(const std::string& path);

// How the font list spells the font's family: the name itself when it is one of
// EnumFontFamilies(), else the first name there equal to it but for the case of ASCII letters;
// empty when there is none. A font whose match was kept on disk is answered from there, without
// reading the font configuration.
std::string ListedFontSpelling(const LogFont& font);

// The family of the face drawn for a font whose name is none of EnumFontFamilies(); empty when the
// name is installed or no font is installed at all. Answered as ListedFontSpelling is.
std::string FontStandIn(const LogFont& font);

// Drops the font configuration and every match made under it; the next use of a font builds it
// again from fontconfig's set-up (FONTCONFIG_FILE where it is set) and the program's rule file.
// Tests switch to font set-ups of their own with it.
void ResetFontConfiguration();

// The file and face index a font resolves to (for tests and diagnostics): the path, followed by
// ":index" for any face but the first of its file; empty when no font is installed.
std::string ResolvedFontFile(const LogFont& font);

// The part of resolving a font that another thread can do meanwhile: while one thread resolves
// the font (ResolvedFontFile), the calling thread checks whether the disk's matches still
// describe the installed fonts, and the face is opened side by side with that.
void PrepareFontMatches();

}  // namespace gw
