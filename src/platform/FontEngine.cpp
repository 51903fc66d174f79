#include "platform/FontEngine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <hb.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>

#include "platform/System.h"

namespace gw::fonts {

class FontFace {
  public:
    FontFace() = default;
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;
    ~FontFace() {
        if (hbFont) hb_font_destroy(hbFont);
        if (ft) FT_Done_Face(ft);
    }

    FT_Face ft = nullptr;
    hb_font_t* hbFont = nullptr;
    FaceUnits units;
    std::string file;
    int index = 0;
};

namespace {

// Synthetic italic shears by a fifth: x' = x + y / 5.
constexpr std::int64_t kShearDen = 5;
// Glyphs beyond this em size are not rendered: their outline coordinates leave the range the
// rasteriser is made for, and a picture of at most 9999 pixels never fits text that large.
constexpr std::int64_t kMaxRenderEm = 32000;
constexpr std::size_t kGlyphCacheBudget = std::size_t(64) << 20;

struct GlyphKey {
    const FontFace* face;
    bool bold;
    bool italic;
    std::int64_t num;
    std::int64_t den;
    std::uint32_t glyph;
    friend bool operator==(const GlyphKey&, const GlyphKey&) = default;
};

struct GlyphKeyHash {
    std::size_t operator()(const GlyphKey& k) const {
        std::size_t h = std::hash<const void*>()(k.face);
        auto mix = [&h](std::uint64_t v) {
            h ^= std::hash<std::uint64_t>()(v) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        };
        mix(std::uint64_t(k.bold) | (std::uint64_t(k.italic) << 1));
        mix(std::uint64_t(k.num));
        mix(std::uint64_t(k.den));
        mix(k.glyph);
        return h;
    }
};

// A 1-bit image, most significant bit first, rows top down. Its first column lies `left` pixels
// right of the glyph origin, its first row `top` rows above the origin's row (the first row below
// the baseline).
struct GlyphImage {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int32_t width = 0;
    std::int32_t rows = 0;
    std::int32_t pitch = 0;
    std::vector<std::uint8_t> bits;
};

struct Engine {
    std::mutex mutex;
    FT_Library library = nullptr;
    FcConfig* config = nullptr;
    bool configTried = false;
    std::set<std::string> loadedRules;
    std::map<std::pair<std::string, int>, std::unique_ptr<FontFace>> faces;
    std::map<std::tuple<std::string, bool, bool>, FaceChoice> choices;
    std::unordered_map<GlyphKey, GlyphImage, GlyphKeyHash> glyphs;
    std::size_t glyphBytes = 0;
    std::size_t glyphLimit = std::size_t(4) << 20;

    ~Engine() {
        glyphs.clear();
        faces.clear();
        if (library) FT_Done_FreeType(library);
        if (config) FcConfigDestroy(config);
    }
};

Engine& TheEngine() {
    static Engine engine;
    return engine;
}

FT_Library Library() {
    Engine& e = TheEngine();
    if (!e.library && FT_Init_FreeType(&e.library) != 0) e.library = nullptr;
    return e.library;
}

bool LoadRuleLocked(FcConfig* config, const std::string& path) {
    Engine& e = TheEngine();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    const std::string canonical = std::filesystem::weakly_canonical(path, ec).string();
    if (e.loadedRules.count(canonical)) return true;
    // fontconfig takes a file's rules only when the whole file parses.
    if (!FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(path.c_str()), FcTrue))
        return false;
    e.loadedRules.insert(canonical);
    e.choices.clear();
    return true;
}

FcConfig* Config() {
    Engine& e = TheEngine();
    if (!e.config && !e.configTried) {
        e.configTried = true;
        e.config = FcInitLoadConfigAndFonts();
        if (e.config) {
            const std::string rule = DataFolder() + "glyphwerk-fonts.conf";
            std::error_code ec;
            if (std::filesystem::exists(rule, ec)) LoadRuleLocked(e.config, rule);
        }
    }
    return e.config;
}

FaceUnits ReadUnits(FT_Face ft) {
    FaceUnits u;
    u.unitsPerEm = ft->units_per_EM > 0 ? ft->units_per_EM : 1000;
    std::int64_t ascent = 0;
    std::int64_t descent = 0;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    } else if (hhea && hhea->Ascender - hhea->Descender > 0) {
        ascent = hhea->Ascender;
        descent = -hhea->Descender;
    } else {
        ascent = ft->ascender;
        descent = -ft->descender;
    }
    ascent = std::max<std::int64_t>(ascent, 0);
    descent = std::max<std::int64_t>(descent, 0);
    if (ascent + descent <= 0) {
        ascent = u.unitsPerEm * 4 / 5;
        descent = u.unitsPerEm - ascent;
    }
    u.ascent = Clamp32(ascent);
    u.descent = Clamp32(descent);
    if (ft->underline_thickness > 0) {
        u.underlinePosition = ft->underline_position;
        u.underlineThickness = ft->underline_thickness;
    } else {
        u.underlinePosition = -u.unitsPerEm / 10;
        u.underlineThickness = std::max(1, u.unitsPerEm / 20);
    }
    u.boldStrength =
        std::max<std::int32_t>(1, static_cast<std::int32_t>(std::nearbyint(u.unitsPerEm / 24.0)));
    return u;
}

FontFace* LoadFace(const std::string& file, int index) {
    Engine& e = TheEngine();
    auto key = std::make_pair(file, index);
    auto it = e.faces.find(key);
    if (it != e.faces.end()) return it->second.get();
    FontFace* result = nullptr;
    FT_Library library = Library();
    FT_Face ft = nullptr;
    if (library && FT_New_Face(library, file.c_str(), index, &ft) == 0) {
        if (FT_IS_SCALABLE(ft)) {
            auto face = std::make_unique<FontFace>();
            face->ft = ft;
            face->file = file;
            face->index = index;
            face->units = ReadUnits(ft);
            hb_blob_t* blob = hb_blob_create_from_file(file.c_str());
            hb_face_t* hbFace = hb_face_create(blob, static_cast<unsigned>(index) & 0xFFFFu);
            hb_blob_destroy(blob);
            face->hbFont = hb_font_create(hbFace);
            hb_face_destroy(hbFace);
            // A new HarfBuzz font is scaled to the units per em: advances come out in font units.
            if ((index >> 16) > 0)
                hb_font_set_var_named_instance(face->hbFont,
                                               static_cast<unsigned>(index >> 16) - 1);
            result = face.get();
            e.faces.emplace(key, std::move(face));
        } else {
            FT_Done_Face(ft);
        }
    }
    if (!result) e.faces.emplace(key, nullptr);
    return result;
}

// Loads the glyph's outline into the face's slot and brings it to the pixel size in 26.6, with
// the synthetic styles applied. Null when the glyph has no outline.
FT_Outline* ScaledOutline(const FaceChoice& choice, Scale s, std::uint32_t glyph) {
    FT_Face ft = choice.face->ft;
    if (FT_Load_Glyph(ft, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
        return nullptr;
    if (ft->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return nullptr;
    FT_Outline* o = &ft->glyph->outline;
    const __int128 num = static_cast<__int128>(s.num) * 64;
    for (int i = 0; i < o->n_points; ++i) {
        const std::int64_t x = o->points[i].x;
        const std::int64_t y = o->points[i].y;
        if (choice.syntheticItalic) {
            o->points[i].x = RoundDiv((x * kShearDen + y) * num, s.den * kShearDen);
        } else {
            o->points[i].x = RoundDiv(x * num, s.den);
        }
        o->points[i].y = RoundDiv(y * num, s.den);
    }
    if (choice.syntheticBold) {
        const std::int64_t strength =
            ToPixels(std::int64_t(choice.face->units.boldStrength) * 64, s);
        if (strength > 0) {
            // FreeType grows the outline to the right and upwards only: the left edge and the
            // baseline stay, and the ink fills the widened advance.
            FT_Outline_EmboldenXY(o, strength, strength);
        }
    }
    return o;
}

struct PixelBox {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t width = 0;
    std::int64_t rows = 0;
};

PixelBox BoxOf(const FT_Outline* o) {
    if (o->n_points <= 0) return {};
    FT_BBox b;
    FT_Outline_Get_CBox(o, &b);
    auto floorDiv = [](std::int64_t v) { return v >= 0 ? v / 64 : -((-v + 63) / 64); };
    auto ceilDiv = [&](std::int64_t v) { return -floorDiv(-v); };
    PixelBox box;
    box.left = floorDiv(b.xMin);
    box.top = ceilDiv(b.yMax);
    box.width = ceilDiv(b.xMax) - box.left;
    box.rows = box.top - floorDiv(b.yMin);
    return box;
}

// The one rendering path: the part `region` of the outline, without antialiasing.
GlyphImage RenderRegion(FT_Outline* o, const PixelBox& region) {
    GlyphImage image;
    image.left = region.left;
    image.top = region.top;
    if (region.width <= 0 || region.rows <= 0) return image;
    image.width = static_cast<std::int32_t>(region.width);
    image.rows = static_cast<std::int32_t>(region.rows);
    image.pitch = (image.width + 7) / 8;
    image.bits.assign(std::size_t(image.pitch) * std::size_t(image.rows), 0);
    FT_Bitmap bitmap{};
    bitmap.rows = static_cast<unsigned>(image.rows);
    bitmap.width = static_cast<unsigned>(image.width);
    bitmap.pitch = image.pitch;
    bitmap.buffer = image.bits.data();
    bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
    bitmap.num_grays = 2;
    const FT_Pos dx = -region.left * 64;
    const FT_Pos dy = -(region.top - region.rows) * 64;
    FT_Outline_Translate(o, dx, dy);
    if (FT_Outline_Get_Bitmap(Library(), o, &bitmap) != 0)
        std::fill(image.bits.begin(), image.bits.end(), 0);
    FT_Outline_Translate(o, -dx, -dy);
    return image;
}

void Blit(Bitmap& target, const GlyphImage& image, std::int64_t originX, std::int64_t originY,
          TColor stored) {
    const std::uint8_t b = GetBValue(stored);
    const std::uint8_t g = GetGValue(stored);
    const std::uint8_t r = GetRValue(stored);
    const std::int64_t x0 = originX + image.left;
    const std::int64_t y0 = originY - image.top;
    const std::int64_t rowFrom = std::max<std::int64_t>(0, -y0);
    const std::int64_t rowTo = std::min<std::int64_t>(image.rows, target.Height() - y0);
    const std::int64_t colFrom = std::max<std::int64_t>(0, -x0);
    const std::int64_t colTo = std::min<std::int64_t>(image.width, target.Width() - x0);
    for (std::int64_t row = rowFrom; row < rowTo; ++row) {
        const std::uint8_t* src = image.bits.data() + row * image.pitch;
        std::uint8_t* dst = target.Row(static_cast<std::int32_t>(y0 + row));
        for (std::int64_t col = colFrom; col < colTo; ++col) {
            if (!(src[col >> 3] & (0x80 >> (col & 7)))) continue;
            std::uint8_t* p = dst + (x0 + col) * 3;
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
}

}  // namespace

std::unique_lock<std::mutex> EngineLock() {
    return std::unique_lock<std::mutex>(TheEngine().mutex);
}

FaceChoice ChooseFace(const LogFont& font) {
    Engine& e = TheEngine();
    auto key = std::make_tuple(font.name, font.bold, font.italic);
    auto it = e.choices.find(key);
    if (it != e.choices.end()) return it->second;

    FaceChoice choice;
    FcConfig* config = Config();
    FcPattern* pattern = FcPatternCreate();
    if (config && pattern) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.name.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, font.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        // The rules may ask for more than the LogFont did ("Arial Black" asks for black).
        int askedWeight = FC_WEIGHT_REGULAR;
        int askedSlant = FC_SLANT_ROMAN;
        FcPatternGetInteger(pattern, FC_WEIGHT, 0, &askedWeight);
        FcPatternGetInteger(pattern, FC_SLANT, 0, &askedSlant);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        if (match) {
            FcChar8* file = nullptr;
            int index = 0;
            int weight = FC_WEIGHT_REGULAR;
            int slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(match, FC_SLANT, 0, &slant);
            if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
                choice.face = LoadFace(reinterpret_cast<const char*>(file), index);
                choice.syntheticBold = askedWeight >= FC_WEIGHT_BOLD && weight < FC_WEIGHT_DEMIBOLD;
                choice.syntheticItalic = askedSlant != FC_SLANT_ROMAN && slant == FC_SLANT_ROMAN;
            }
            FcPatternDestroy(match);
        }
    }
    if (pattern) FcPatternDestroy(pattern);
    if (!choice.face) choice = {};
    // Names come from documents too; keep the table from growing without end.
    if (e.choices.size() >= 1024) e.choices.clear();
    e.choices.emplace(std::move(key), choice);
    return choice;
}

const FaceUnits& UnitsOf(const FaceChoice& choice) {
    static const FaceUnits fallback;
    return choice.face ? choice.face->units : fallback;
}

std::string FileOf(const FaceChoice& choice) {
    if (!choice.face) return {};
    if (choice.face->index == 0) return choice.face->file;
    return choice.face->file + ":" + std::to_string(choice.face->index);
}

Scale ScaleFor(const FaceUnits& units, std::int32_t height) {
    if (height > 0) return {height, std::int64_t(units.ascent) + units.descent};
    if (height == 0) return {12, units.unitsPerEm};
    return {-std::int64_t(height), units.unitsPerEm};
}

FontMetrics MetricsFor(const FaceUnits& units, std::int32_t height) {
    const Scale s = ScaleFor(units, height);
    FontMetrics m;
    if (height > 0) {
        // A cell height is met exactly; the ascent takes its rounded share.
        m.ascent = Clamp32(ToPixels(units.ascent, s));
        m.descent = height - m.ascent;
    } else {
        m.ascent = Clamp32(ToPixels(units.ascent, s));
        m.descent = Clamp32(ToPixels(units.descent, s));
    }
    m.height = Clamp32(std::int64_t(m.ascent) + m.descent);
    m.emHeight = Clamp32(ToPixels(units.unitsPerEm, s));
    return m;
}

ShapedLine Shape(const FaceChoice& choice, std::string_view text,
                 std::span<const std::uint32_t> underlined) {
    ShapedLine line;
    if (!choice.face || text.empty()) return line;
    const int length =
        static_cast<int>(std::min<std::size_t>(text.size(), std::numeric_limits<int>::max() / 2));
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf8(buffer, text.data(), length, 0, length);
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(choice.face->hbFont, buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    line.glyphs.reserve(count);
    std::int64_t pen = 0;
    for (unsigned i = 0; i < count; ++i) {
        ShapedGlyph g;
        g.glyph = infos[i].codepoint;
        g.penX = pen;
        g.advance = positions[i].x_advance;
        if (choice.syntheticBold && g.advance != 0) g.advance += choice.face->units.boldStrength;
        g.xOffset = positions[i].x_offset;
        g.yOffset = positions[i].y_offset;
        g.underline = std::binary_search(underlined.begin(), underlined.end(), infos[i].cluster);
        pen += g.advance;
        line.glyphs.push_back(g);
    }
    line.width = pen;
    hb_buffer_destroy(buffer);
    return line;
}

void DrawGlyph(Bitmap& target, const FaceChoice& choice, Scale scale, std::uint32_t glyph,
               std::int64_t originX, std::int64_t originY, TColor stored) {
    if (!choice.face || target.Empty()) return;
    if (ToPixels(choice.face->units.unitsPerEm, scale) > kMaxRenderEm) return;
    Engine& e = TheEngine();
    const GlyphKey key{
        choice.face, choice.syntheticBold, choice.syntheticItalic, scale.num, scale.den, glyph};
    auto it = e.glyphs.find(key);
    if (it != e.glyphs.end()) {
        Blit(target, it->second, originX, originY, stored);
        return;
    }
    FT_Outline* outline = ScaledOutline(choice, scale, glyph);
    if (!outline) return;
    const PixelBox box = BoxOf(outline);
    const std::size_t bytes = std::size_t((box.width + 7) / 8) * std::size_t(box.rows);
    if (bytes <= e.glyphLimit) {
        if (e.glyphBytes + bytes > kGlyphCacheBudget) {
            e.glyphs.clear();
            e.glyphBytes = 0;
        }
        auto inserted = e.glyphs.emplace(key, RenderRegion(outline, box)).first;
        e.glyphBytes += bytes + sizeof(GlyphImage);
        Blit(target, inserted->second, originX, originY, stored);
        return;
    }
    // Too big to keep: render only the part that lands on the target.
    PixelBox region;
    const std::int64_t colFrom = std::max<std::int64_t>(box.left, -originX);
    const std::int64_t colTo =
        std::min<std::int64_t>(box.left + box.width, target.Width() - originX);
    const std::int64_t topLimit = originY;  // glyph row y covers target row originY - y
    const std::int64_t rowTop = std::min<std::int64_t>(box.top, topLimit);
    const std::int64_t rowBottom =
        std::max<std::int64_t>(box.top - box.rows, originY - target.Height());
    if (colTo <= colFrom || rowTop <= rowBottom) return;
    region.left = colFrom;
    region.width = colTo - colFrom;
    region.top = rowTop;
    region.rows = rowTop - rowBottom;
    Blit(target, RenderRegion(outline, region), originX, originY, stored);
}

std::size_t SetGlyphCacheLimit(std::size_t bytes) {
    Engine& e = TheEngine();
    const std::size_t previous = e.glyphLimit;
    e.glyphLimit = bytes;
    e.glyphs.clear();
    e.glyphBytes = 0;
    return previous;
}

std::vector<std::string> FamilyNames() {
    std::vector<std::string> names;
    FcConfig* config = Config();
    if (!config) return names;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = (pattern && objects) ? FcFontList(config, pattern, objects) : nullptr;
    std::set<std::string> seen;
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* family = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch || !family)
            continue;
        std::string name(reinterpret_cast<const char*>(family));
        // At most 32 characters, cut before the lead byte of the 33rd.
        int characters = 0;
        for (std::size_t at = 0; at < name.size(); ++at) {
            if ((static_cast<unsigned char>(name[at]) & 0xC0) == 0x80) continue;
            if (++characters > 32) {
                name.resize(at);
                break;
            }
        }
        if (name.empty() || !seen.insert(name).second) continue;
        names.push_back(std::move(name));
    }
    if (set) FcFontSetDestroy(set);
    if (objects) FcObjectSetDestroy(objects);
    if (pattern) FcPatternDestroy(pattern);
    return names;
}

bool LoadRuleFile(const std::string& path) {
    FcConfig* config = Config();
    return config && LoadRuleLocked(config, path);
}

}  // namespace gw::fonts
