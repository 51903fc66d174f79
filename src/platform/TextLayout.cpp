#include "platform/TextLayout.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "platform/FontEngine.h"
#include "platform/TextOutlines.h"

namespace gw {

namespace {

using fonts::FaceChoice;
using fonts::Scale;
using fonts::ShapedLine;
using fonts::ToPixels;

// Keeps every pixel value of a block far from the limits of int32 arithmetic on rectangles.
constexpr std::int64_t kPixelLimit = std::int64_t(1) << 30;

std::int64_t ClampPixels(std::int64_t v) {
    return std::clamp(v, -kPixelLimit, kPixelLimit);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

struct PrefixedLine {
    std::string shown;
    std::vector<std::uint32_t> underlined;  // byte offsets in `shown`, ascending
};

// The ampersand rule. '&' never occurs inside a UTF-8 sequence, so the bytes can be scanned as
// they are; the offset of the character after a single '&' marks it for the underline.
PrefixedLine ApplyPrefixRule(std::string_view line) {
    PrefixedLine out;
    out.shown.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '&') {
            out.shown += line[i];
            continue;
        }
        if (i + 1 == line.size()) break;
        if (line[i + 1] == '&') {
            out.shown += '&';
            ++i;
            continue;
        }
        out.underlined.push_back(static_cast<std::uint32_t>(out.shown.size()));
    }
    return out;
}

// Shaped lines by face, synthetic bold, rule and text. Measuring the same text at every pixel
// size costs one lookup a line; entries are shared, so clearing the table never pulls a line
// from under a block that is being laid out.
class LineCache {
  public:
    std::shared_ptr<const ShapedLine> Get(const FaceChoice& choice, std::string_view line,
                                          bool prefixRule) {
        // A change of the configuration may give the same face other fallback faces.
        if (generation_ != fonts::Generation()) {
            lines_.clear();
            textBytes_ = 0;
            generation_ = fonts::Generation();
        }
        key_.assign(reinterpret_cast<const char*>(&choice.face), sizeof(choice.face));
        key_.append(reinterpret_cast<const char*>(&choice.fallback), sizeof(choice.fallback));
        key_ += choice.syntheticBold ? 'B' : 'r';
        key_ += choice.syntheticItalic ? 'I' : 'r';
        key_ += prefixRule ? '&' : '-';
        key_.append(line);
        auto it = lines_.find(key_);
        if (it != lines_.end()) return it->second;
        std::shared_ptr<const ShapedLine> shaped;
        if (prefixRule) {
            const PrefixedLine prefixed = ApplyPrefixRule(line);
            shaped = std::make_shared<const ShapedLine>(
                fonts::Shape(choice, prefixed.shown, prefixed.underlined));
        } else {
            shaped = std::make_shared<const ShapedLine>(fonts::Shape(choice, line, {}));
        }
        textBytes_ += key_.size();
        if (lines_.size() >= kMaxLines || textBytes_ > kMaxTextBytes) {
            lines_.clear();
            textBytes_ = key_.size();
        }
        lines_.emplace(key_, shaped);
        return shaped;
    }

  private:
    static constexpr std::size_t kMaxLines = 4096;
    static constexpr std::size_t kMaxTextBytes = std::size_t(8) << 20;
    std::unordered_map<std::string, std::shared_ptr<const ShapedLine>> lines_;
    std::size_t textBytes_ = 0;
    std::uint64_t generation_ = 0;
    std::string key_;
};

LineCache& Lines() {
    static LineCache cache;
    return cache;
}

struct Block {
    FaceChoice choice;
    Scale scale;
    FontMetrics metrics;
    std::vector<std::shared_ptr<const ShapedLine>> lines;
    std::vector<std::int64_t> widths;  // pixels
    std::int64_t width = 0;            // the widest line
    std::int64_t height = 0;           // lines x line height
};

Block LayOut(const FaceChoice& choice, const LogFont& font, std::string_view text,
             std::uint32_t format) {
    Block block;
    block.choice = choice;
    const fonts::FaceUnits& units = fonts::UnitsOf(choice);
    block.scale = fonts::ScaleFor(units, font.height);
    block.metrics = fonts::MetricsFor(units, font.height);
    const bool prefixRule = (format & DT_NOPREFIX) == 0;
    for (std::string_view line : SplitLines(text)) {
        block.lines.push_back(Lines().Get(choice, line, prefixRule));
        const std::int64_t width = ClampPixels(ToPixels(block.lines.back()->width, block.scale));
        block.widths.push_back(width);
        block.width = std::max(block.width, width);
    }
    block.height =
        ClampPixels(static_cast<std::int64_t>(block.lines.size()) * block.metrics.height);
    return block;
}

void FillRows(Bitmap& target, std::int64_t left, std::int64_t right, std::int64_t top,
              std::int64_t bottom, TColor stored) {
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, target.Width());
    bottom = std::min<std::int64_t>(bottom, target.Height());
    for (std::int64_t y = top; y < bottom; ++y) {
        std::uint8_t* p = target.Row(static_cast<std::int32_t>(y)) + left * 3;
        for (std::int64_t x = left; x < right; ++x, p += 3) {
            p[0] = GetBValue(stored);
            p[1] = GetGValue(stored);
            p[2] = GetRValue(stored);
        }
    }
}

// Every glyph and underline of the block laid into rect, in drawing order: glyph(face, scale,
// glyph, originX, originY) and bar(left, right, top, bottom) in target pixels. Drawing and the
// outlines both walk the block here, so the outlines lie where the pixels are.
template <class Glyph, class Bar>
void Place(const Block& block, const LogFont& font, const TRect& rect, std::uint32_t format,
           Glyph&& glyph, Bar&& bar) {
    const fonts::FaceUnits& units = fonts::UnitsOf(block.choice);
    const std::int64_t lineHeight = block.metrics.height;
    // The underline stem, from the font, never above the baseline row and never taller than a line.
    const std::int64_t thickness = std::clamp<std::int64_t>(
        ToPixels(units.underlineThickness, block.scale), 1, std::max<std::int64_t>(lineHeight, 1));
    const std::int64_t underlineTop = std::max<std::int64_t>(
        0, ToPixels(-std::int64_t(units.underlinePosition), block.scale) - thickness / 2);
    const std::int64_t rectWidth = std::int64_t(rect.right) - rect.left;

    for (std::size_t i = 0; i < block.lines.size(); ++i) {
        const ShapedLine& line = *block.lines[i];
        std::int64_t x = rect.left;
        if (format & DT_CENTER) {
            x += (rectWidth - block.widths[i]) / 2;
        } else if (format & DT_RIGHT) {
            x = std::int64_t(rect.right) - block.widths[i];
        }
        const std::int64_t top = rect.top + static_cast<std::int64_t>(i) * lineHeight;
        const std::int64_t baseline = top + block.metrics.ascent;
        for (const fonts::ShapedGlyph& g : line.glyphs) {
            // Positions are in the chosen face's units; a fallback face's outlines in its own.
            const Scale glyphScale =
                g.face == 0 ? block.scale : fonts::ScaleOfFace(line, g.face, block.scale);
            glyph(line.faces[g.face], glyphScale, g.glyph,
                  x + ToPixels(g.penX + g.xOffset, block.scale),
                  baseline - ToPixels(g.yOffset, block.scale));
            if (g.underline || font.underline) {
                bar(x + ToPixels(g.penX, block.scale),
                    x + ToPixels(g.penX + g.advance, block.scale), baseline + underlineTop,
                    baseline + underlineTop + thickness);
            }
        }
    }
}

void Draw(Bitmap& target, const Block& block, const LogFont& font, TColor color, const TRect& rect,
          std::uint32_t format) {
    const TColor stored = target.StoredColor(color);
    Place(
        block, font, rect, format,
        [&](const FaceChoice& face, Scale scale, std::uint32_t glyph, std::int64_t originX,
            std::int64_t originY) {
            fonts::DrawGlyph(target, face, scale, glyph, originX, originY, stored);
        },
        [&](std::int64_t left, std::int64_t right, std::int64_t top, std::int64_t bottom) {
            FillRows(target, left, right, top, bottom, stored);
        });
}

std::int32_t DrawBlockLocked(Bitmap* target, const FaceChoice& choice, const LogFont& font,
                             TColor color, std::string_view text, TRect& rect,
                             std::uint32_t format) {
    const Block block = LayOut(choice, font, text, format);
    if (format & DT_CALCRECT) {
        rect.right = static_cast<std::int32_t>(ClampPixels(rect.left + block.width));
        rect.bottom = static_cast<std::int32_t>(ClampPixels(rect.top + block.height));
    } else if (target && !target->Empty()) {
        Draw(*target, block, font, color, rect, format);
    }
    return static_cast<std::int32_t>(block.height);
}

}  // namespace

namespace fonts {

std::int32_t DrawTextBlockWithFace(Bitmap* target, const FaceChoice& choice, const LogFont& font,
                                   TColor color, std::string_view text, TRect& rect,
                                   std::uint32_t format) {
    auto lock = EngineLock();
    return DrawBlockLocked(target, choice, font, color, text, rect, format);
}

}  // namespace fonts

std::int32_t DrawTextBlock(Bitmap* target, const LogFont& font, TColor color, std::string_view text,
                           TRect& rect, std::uint32_t format) {
    auto lock = fonts::EngineLock();
    return DrawBlockLocked(target, fonts::ChooseFace(font), font, color, text, rect, format);
}

// Every item sets its pixels to the one colour, so the glyphs and the bars need not keep their
// order between them.
struct PreparedTextBlock::Items {
    struct Glyph {
        std::shared_ptr<const fonts::GlyphImage> image;  // null: drawn through the engine
        FaceChoice face;
        Scale scale;
        std::uint32_t glyph = 0;
        std::int64_t x = 0, y = 0;
    };
    struct Bar {
        std::int64_t left, right, top, bottom;
    };
    std::vector<Glyph> glyphs;
    std::vector<Bar> bars;
};

PreparedTextBlock::PreparedTextBlock(const LogFont& font, std::string_view text, std::int32_t left,
                                     std::int32_t top, std::uint32_t format) {
    // The images held beyond the cache's own: a block of many large glyphs draws the rest
    // through the engine, as DrawTextBlock does.
    constexpr std::size_t kMostHeldBytes = std::size_t(64) << 20;
    auto items = std::make_unique<Items>();
    auto lock = fonts::EngineLock();
    const Block block = LayOut(fonts::ChooseFace(font), font, text, format);
    const TRect rect{left, top, static_cast<std::int32_t>(ClampPixels(left + block.width)),
                     static_cast<std::int32_t>(ClampPixels(top + block.height))};
    std::unordered_set<const fonts::GlyphImage*> held;
    std::size_t heldBytes = 0;
    Place(
        block, font, rect, format,
        [&](const FaceChoice& face, Scale scale, std::uint32_t glyph, std::int64_t originX,
            std::int64_t originY) {
            std::size_t bytes = 0;
            std::shared_ptr<const fonts::GlyphImage> image =
                fonts::HeldGlyph(face, scale, glyph, bytes);
            if (image && !held.contains(image.get())) {
                if (heldBytes + bytes > kMostHeldBytes) {
                    image = nullptr;
                } else {
                    held.insert(image.get());
                    heldBytes += bytes;
                }
            }
            items->glyphs.push_back({std::move(image), face, scale, glyph, originX, originY});
        },
        [&](std::int64_t l, std::int64_t r, std::int64_t t, std::int64_t b) {
            items->bars.push_back({l, r, t, b});
        });
    fonts::KeepNewGlyphs();
    items_ = std::move(items);
}

PreparedTextBlock::~PreparedTextBlock() = default;

void PreparedTextBlock::Draw(Bitmap& target, TColor color, std::int64_t up) const {
    if (target.Empty()) return;
    const TColor stored = target.StoredColor(color);
    for (const Items::Glyph& g : items_->glyphs) {
        if (g.image) {
            fonts::BlitGlyph(target, *g.image, g.x, g.y - up, stored);
        } else {
            auto lock = fonts::EngineLock();
            fonts::DrawGlyph(target, g.face, g.scale, g.glyph, g.x, g.y - up, stored);
        }
    }
    for (const Items::Bar& bar : items_->bars)
        FillRows(target, bar.left, bar.right, bar.top - up, bar.bottom - up, stored);
}

std::vector<OutlineContour> TextBlockOutlines(const LogFont& font, std::string_view text,
                                              const TRect& rect, std::uint32_t format) {
    auto lock = fonts::EngineLock();
    const Block block = LayOut(fonts::ChooseFace(font), font, text, format);
    std::vector<OutlineContour> contours;
    Place(
        block, font, rect, format,
        [&](const FaceChoice& face, Scale scale, std::uint32_t glyph, std::int64_t originX,
            std::int64_t originY) {
            fonts::GlyphOutline(face, scale, glyph, originX, originY, contours);
        },
        [&](std::int64_t left, std::int64_t right, std::int64_t top, std::int64_t bottom) {
            if (right <= left || bottom <= top) return;
            const auto at = [](std::int64_t x, std::int64_t y) {
                return OutlinePoint{double(x), double(y)};
            };
            // Corner to corner the same way round as the glyphs' outer contours, so that where
            // a bar crosses a letter the two add up rather than cancel.
            OutlineContour bar{at(left, top), {}};
            const OutlinePoint corners[] = {at(right, top), at(right, bottom), at(left, bottom),
                                            at(left, top)};
            OutlinePoint from = bar.start;
            for (const OutlinePoint& to : corners) {
                bar.pieces.insert(bar.pieces.end(),
                                  {{from.x + (to.x - from.x) / 3, from.y + (to.y - from.y) / 3},
                                   {to.x + (from.x - to.x) / 3, to.y + (from.y - to.y) / 3},
                                   to});
                from = to;
            }
            contours.push_back(std::move(bar));
        });
    return contours;
}

FontMetrics GetFontMetrics(const LogFont& font) {
    auto lock = fonts::EngineLock();
    return fonts::MetricsFor(fonts::UnitsOf(fonts::ChooseFace(font)), font.height);
}

std::vector<char32_t> MissingCharacters(const LogFont& font, std::string_view text,
                                        std::uint32_t format) {
    auto lock = fonts::EngineLock();
    const Block block = LayOut(fonts::ChooseFace(font), font, text, format);
    std::vector<char32_t> missing;
    for (const auto& line : block.lines)
        for (char32_t c : line->missing)
            if (std::find(missing.begin(), missing.end(), c) == missing.end()) missing.push_back(c);
    return missing;
}

std::vector<std::string> EnumFontFamilies() {
    auto lock = fonts::EngineLock();
    return fonts::FamilyNames();
}

bool FontNameLess(std::string_view a, std::string_view b) {
    return fonts::FontNameLess(a, b);
}

std::string ShownFontName(std::string_view name) {
    constexpr int kShownCharacters = 32;
    int characters = 0;
    for (std::size_t at = 0; at < name.size(); ++at) {
        if ((static_cast<unsigned char>(name[at]) & 0xC0) == 0x80) continue;
        if (++characters > kShownCharacters) return std::string(name.substr(0, at));
    }
    return std::string(name);
}

bool LoadFontConfigFile(const std::string& path) {
    auto lock = fonts::EngineLock();
    return fonts::LoadRuleFile(path);
}

std::string ListedFontSpelling(const LogFont& font) {
    auto lock = fonts::EngineLock();
    return fonts::ListedSpelling(font);
}

std::string FontStandIn(const LogFont& font) {
    auto lock = fonts::EngineLock();
    if (!font.name.empty() && fonts::ListedSpelling(font) == font.name) return {};
    return fonts::FamilyOf(fonts::ChooseFace(font));
}

void ResetFontConfiguration() {
    auto lock = fonts::EngineLock();
    fonts::ResetConfiguration();
}

std::string ResolvedFontFile(const LogFont& font) {
    auto lock = fonts::EngineLock();
    return fonts::FileOf(fonts::ChooseFace(font));
}

void PrepareFontMatches() {
    fonts::MakeMatchKey();
}

}  // namespace gw
