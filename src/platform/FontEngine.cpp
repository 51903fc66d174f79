#include "platform/FontEngine.h"

#include <fontconfig/fontconfig.h>
#include <fribidi.h>
#include <ft2build.h>
#include <hb.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
// Needs fontconfig and FreeType first.
#include <fontconfig/fcfreetype.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <set>
#include <unordered_map>

#include "platform/FontMatchCache.h"
#include "platform/System.h"
#include "platform/TextRecords.h"

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

    // Read on first need (Opened()); a face from the disk's matches starts without them.
    FT_Face ft = nullptr;
    hb_font_t* hbFont = nullptr;
    bool openTried = false;
    // The keys of the face's records on disk, by synthetic bold + 2 x synthetic italic.
    std::optional<std::string> recordKeys[4];
    FaceUnits units;
    std::string file;
    int index = 0;
    // The face's own style as fontconfig classifies it, before any rule rewrote a match.
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    std::string family;  // the most specific English family name ("Lato Black", not "Lato")
};

// fontconfig's list of faces for one LogFont, best first, made when the first character its face
// lacks is met; and the face found for each such character.
struct FallbackList {
    FallbackList() = default;
    FallbackList(const FallbackList&) = delete;
    FallbackList& operator=(const FallbackList&) = delete;
    ~FallbackList() {
        if (sorted) FcFontSetDestroy(sorted);
        if (pattern) FcPatternDestroy(pattern);
    }

    FcPattern* pattern = nullptr;  // as asked, after the configuration's substitutions
    // A face taken from the disk's matches asks fontconfig only for its first missing character.
    LogFont asked;
    bool patternTried = false;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    FcFontSet* sorted = nullptr;
    bool sortTried = false;
    std::unordered_map<char32_t, FaceChoice> found;
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

// The images of one face and size.
struct ImageSet {
    const FontFace* face;
    bool bold;
    bool italic;
    std::int64_t num;
    std::int64_t den;
    friend auto operator<=>(const ImageSet&, const ImageSet&) = default;
};

}  // namespace

namespace {

struct Engine {
    std::mutex mutex;
    FT_Library library = nullptr;
    FcConfig* config = nullptr;
    bool configTried = false;
    std::set<std::string> loadedRules;
    // Matches on disk hold for the program's own rules only; a rule file of a test's or user's
    // own turns them off until the configuration is reset.
    bool ownRulesOnly = true;
    std::optional<std::string> diskFolder;
    // The disk's state before and after fontconfig read it: a match is kept only when the two
    // agree, so a font installed meanwhile never hides behind an old match.
    std::optional<std::string> keyBefore;
    std::optional<std::string> keyAfter;
    // keyBefore is being made by MakeMatchKey on another thread, outside the lock; whoever needs
    // it waits for keyMade.
    bool keyInMaking = false;
    std::condition_variable_any keyMade;
    std::map<std::pair<std::string, int>, std::unique_ptr<FontFace>> faces;
    struct Chosen {
        FaceChoice choice;
        std::unique_ptr<FallbackList> fallback;
        // The font list's spelling of the family, where it came with the match.
        std::optional<std::string> listedSpelling;
    };
    std::map<std::tuple<std::string, bool, bool>, Chosen> choices;
    // Shared, so that a block holding its images keeps them when the cache lets them go.
    std::unordered_map<GlyphKey, std::shared_ptr<const GlyphImage>, GlyphKeyHash> glyphs;
    std::size_t glyphBytes = 0;
    std::size_t glyphLimit = std::size_t(4) << 20;
    // The faces and sizes whose images on disk have been read, and those with images rendered
    // since, by the key of their face's records.
    std::set<ImageSet> imagesRead;
    std::map<ImageSet, std::string> imagesNew;
    // Counts the changes of the configuration: whatever was matched under an older one is stale.
    std::uint64_t generation = 0;
    std::optional<std::vector<std::string>> families;
    std::uint64_t familiesGeneration = 0;

    ~Engine() {
        choices.clear();
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

std::string OwnRuleFile() {
    return DataFolder() + "glyphwerk-fonts.conf";
}

// `initial`: the program's own rules, loaded with the configuration itself; the faces already
// chosen from the disk's matches stay, as they were matched under these very rules.
bool LoadRuleLocked(FcConfig* config, const std::string& path, bool initial = false) {
    Engine& e = TheEngine();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    const std::string canonical = std::filesystem::weakly_canonical(path, ec).string();
    if (e.loadedRules.count(canonical)) return true;
    // fontconfig takes a file's rules only when the whole file parses.
    if (!FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(path.c_str()), FcTrue))
        return false;
    e.loadedRules.insert(canonical);
    if (initial) return true;
    if (canonical != std::filesystem::weakly_canonical(OwnRuleFile(), ec).string())
        e.ownRulesOnly = false;
    e.choices.clear();
    ++e.generation;
    return true;
}

const std::string& DiskFolder() {
    Engine& e = TheEngine();
    if (!e.diskFolder) e.diskFolder = MatchCacheFolder();
    return *e.diskFolder;
}

// The key of the disk's state before fontconfig reads it, made here unless another thread is
// making it (then its key, once made). Called under the engine's lock, which a wait lets go.
const std::string& KeyBefore() {
    Engine& e = TheEngine();
    e.keyMade.wait(e.mutex, [&e] { return !e.keyInMaking; });
    if (!e.keyBefore) e.keyBefore = MatchCacheKey();
    return *e.keyBefore;
}

FcConfig* Config() {
    Engine& e = TheEngine();
    if (!e.config && !e.configTried) {
        const bool keyed = !DiskFolder().empty();
        if (keyed) KeyBefore();
        // Read meanwhile by another thread, while this one waited for the key.
        if (e.config || e.configTried) return e.config;
        e.configTried = true;
        e.config = FcInitLoadConfigAndFonts();
        if (e.config) {
            const std::string rule = OwnRuleFile();
            std::error_code ec;
            if (std::filesystem::exists(rule, ec)) LoadRuleLocked(e.config, rule, true);
        }
        if (keyed) e.keyAfter = MatchCacheKey();
    }
    return e.config;
}

// The pattern fontconfig matches for a LogFont, after the configuration's substitutions.
FcPattern* AskedPattern(FcConfig* config, const LogFont& font) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return nullptr;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.name.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, font.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

// The styles a face must make up: a rule (fontconfig's own synthetic rules, say) may have
// rewritten the match's slant and weight to what was asked while asking the renderer for a shear
// or emboldening, so the face's own style decides, and such requests are honoured as well.
void SetSyntheticStyles(FaceChoice& choice, const CachedMatch& match) {
    if (!choice.face) return;
    choice.syntheticBold = match.askedWeight >= FC_WEIGHT_BOLD &&
                           (choice.face->weight < FC_WEIGHT_DEMIBOLD || match.embolden);
    choice.syntheticItalic = match.askedSlant != FC_SLANT_ROMAN &&
                             (choice.face->slant == FC_SLANT_ROMAN || match.matrix[1] != 0);
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

// Reads the face's file: FreeType's face and HarfBuzz's font over the same bytes. False when the
// file is no scalable face.
bool OpenFile(FontFace& face) {
    FT_Library library = Library();
    FT_Face ft = nullptr;
    if (!library || FT_New_Face(library, face.file.c_str(), face.index, &ft) != 0) return false;
    if (!FT_IS_SCALABLE(ft)) {
        FT_Done_Face(ft);
        return false;
    }
    face.ft = ft;
    // HarfBuzz reads the bytes FreeType has in memory (the file mapped) rather than mapping the
    // file once more; the face outlives the font that reads them.
    const FT_Stream stream = ft->stream;
    const bool inMemory = stream && stream->base && stream->size > 0 &&
                          stream->size <= std::numeric_limits<unsigned>::max();
    hb_blob_t* blob = inMemory ? hb_blob_create(reinterpret_cast<const char*>(stream->base),
                                                static_cast<unsigned>(stream->size),
                                                HB_MEMORY_MODE_READONLY, nullptr, nullptr)
                               : hb_blob_create_from_file(face.file.c_str());
    hb_face_t* hbFace = hb_face_create(blob, static_cast<unsigned>(face.index) & 0xFFFFu);
    hb_blob_destroy(blob);
    face.hbFont = hb_font_create(hbFace);
    hb_face_destroy(hbFace);
    // A new HarfBuzz font is scaled to the units per em: advances come out in font units.
    if ((face.index >> 16) > 0)
        hb_font_set_var_named_instance(face.hbFont, static_cast<unsigned>(face.index >> 16) - 1);
    return true;
}

// The face's file read, on first need for a face taken from the disk's matches; false when it
// cannot be (the file changed since it was checked), and the face then draws nothing.
bool Opened(FontFace* face) {
    if (face->ft) return true;
    if (face->openTried) return false;
    face->openTried = true;
    return OpenFile(*face);
}

// `known`: a match from the disk, which carries the face's own style as fontconfig classified it
// and its lengths when the match was made; the file is then read only when it is drawn.
// Otherwise the face is read and fontconfig classifies it now.
FontFace* LoadFace(const std::string& file, int index, const CachedMatch* known = nullptr) {
    Engine& e = TheEngine();
    auto key = std::make_pair(file, index);
    auto it = e.faces.find(key);
    if (it != e.faces.end()) return it->second.get();
    auto face = std::make_unique<FontFace>();
    face->file = file;
    face->index = index;
    if (known) {
        face->units = known->units;
        face->weight = known->faceWeight;
        face->slant = known->faceSlant;
        face->family = known->faceFamily;
    } else if (Opened(face.get())) {
        face->units = ReadUnits(face->ft);
        if (FcPattern* own =
                FcFreeTypeQueryFace(face->ft, reinterpret_cast<const FcChar8*>(file.c_str()),
                                    static_cast<unsigned>(index), nullptr)) {
            FcPatternGetInteger(own, FC_WEIGHT, 0, &face->weight);
            FcPatternGetInteger(own, FC_SLANT, 0, &face->slant);
            FcChar8* family = nullptr;
            FcChar8* lang = nullptr;
            for (int n = 0; FcPatternGetString(own, FC_FAMILY, n, &family) == FcResultMatch; ++n) {
                const bool english =
                    FcPatternGetString(own, FC_FAMILYLANG, n, &lang) != FcResultMatch || !lang ||
                    std::string_view(reinterpret_cast<const char*>(lang)) == "en";
                if (family && (english || face->family.empty()))
                    face->family = reinterpret_cast<const char*>(family);
            }
            FcPatternDestroy(own);
        }
    } else {
        face = nullptr;
    }
    FontFace* result = face.get();
    e.faces.emplace(key, std::move(face));
    return result;
}

// Loads the glyph's outline into the face's slot and brings it to the pixel size in 26.6, with
// the synthetic styles applied. Null when the glyph has no outline.
FT_Outline* ScaledOutline(const FaceChoice& choice, Scale s, std::uint32_t glyph) {
    if (!Opened(choice.face)) return nullptr;
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
        // The row in runs of ink: bytes without ink, or all ink, are passed over whole, and a
        // run's pixels are written together.
        const auto ink = [src](std::int64_t col) {
            return (src[col >> 3] & (0x80u >> (col & 7))) != 0;
        };
        const auto whole = [&](std::int64_t col, std::uint8_t byte) {
            return (col & 7) == 0 && col + 8 <= colTo && src[col >> 3] == byte;
        };
        for (std::int64_t col = colFrom; col < colTo;) {
            while (col < colTo && !ink(col))
                col += whole(col, 0x00) ? 8 : 1;
            const std::int64_t start = col;
            while (col < colTo && ink(col))
                col += whole(col, 0xFF) ? 8 : 1;
            std::uint8_t* p = dst + (x0 + start) * 3;
            if (b == g && g == r) {
                std::memset(p, b, std::size_t(col - start) * 3);
                continue;
            }
            for (std::int64_t n = start; n < col; ++n, p += 3) {
                p[0] = b;
                p[1] = g;
                p[2] = r;
            }
        }
    }
}

}  // namespace

std::unique_lock<std::mutex> EngineLock() {
    return std::unique_lock<std::mutex>(TheEngine().mutex);
}

namespace {

// The choice kept for the key: this one, or the one another thread kept while this one waited
// for the disk's key (its fallback list is the one to use).
FaceChoice Remember(std::tuple<std::string, bool, bool> key, FaceChoice choice,
                    std::unique_ptr<FallbackList> fallback,
                    std::optional<std::string> listedSpelling) {
    Engine& e = TheEngine();
    // Names come from documents too; keep the table from growing without end.
    if (e.choices.size() >= 1024) {
        e.choices.clear();
        ++e.generation;
    }
    return e.choices
        .emplace(std::move(key),
                 Engine::Chosen{choice, std::move(fallback), std::move(listedSpelling)})
        .first->second.choice;
}

// How `names` (in the order of FontNameLess) spell `name`: the name itself, else the first
// equal to it but for the case of ASCII letters; empty when none is.
std::string SpellingIn(const std::vector<std::string>& names, const std::string& name) {
    if (std::find(names.begin(), names.end(), name) != names.end()) return name;
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (const std::string& listed : names)
        if (std::ranges::equal(listed, name, {}, lower, lower)) return listed;
    return {};
}

// The face the disk's match names, while the configuration is not read yet; none when the
// match is missing, out of date or its face cannot be opened.
FaceChoice ChooseFromDisk(const LogFont& font, std::unique_ptr<FallbackList>& fallback,
                          std::optional<std::string>& listedSpelling) {
    Engine& e = TheEngine();
    if (e.config || e.configTried || !e.ownRulesOnly || DiskFolder().empty()) return {};
    // The face is opened before the key is looked at, which another thread may still be making
    // meanwhile; a face whose record turns out to be out of date stays unused. Its style is the
    // file's own whatever the set-up, and the file is the one the record describes.
    std::string recordKey;
    const std::optional<CachedMatch> match =
        ReadCachedRecord(DiskFolder(), font.name, font.bold, font.italic, recordKey);
    FaceChoice choice;
    if (match) choice.face = LoadFace(match->file, match->index, &*match);
    const std::string& key = KeyBefore();
    // The wait for the key lets the lock go: the configuration may have been read meanwhile.
    if (!match || !choice.face || key.empty() || recordKey != key || e.config || e.configTried ||
        !e.ownRulesOnly)
        return {};
    SetSyntheticStyles(choice, *match);
    fallback = std::make_unique<FallbackList>();
    fallback->asked = font;
    fallback->weight = match->askedWeight;
    fallback->slant = match->askedSlant;
    choice.fallback = fallback.get();
    listedSpelling = match->listedSpelling;
    return choice;
}

// Keeps the match with the font list's answer for its family, which the record holds under the
// same key: the list is only listed when a record is written.
std::optional<std::string> KeepOnDisk(const LogFont& font, CachedMatch& match) {
    Engine& e = TheEngine();
    if (!e.ownRulesOnly || DiskFolder().empty() || !e.keyBefore || !e.keyAfter ||
        *e.keyBefore != *e.keyAfter)
        return std::nullopt;
    match.listedSpelling = SpellingIn(FamilyNames(), font.name);
    WriteCachedMatch(DiskFolder(), *e.keyAfter, font.name, font.bold, font.italic, match);
    return match.listedSpelling;
}

}  // namespace

FaceChoice ChooseFace(const LogFont& font) {
    Engine& e = TheEngine();
    auto key = std::make_tuple(font.name, font.bold, font.italic);
    auto it = e.choices.find(key);
    if (it != e.choices.end()) return it->second.choice;

    std::unique_ptr<FallbackList> fallback;
    std::optional<std::string> listedSpelling;
    if (const FaceChoice cached = ChooseFromDisk(font, fallback, listedSpelling); cached.face)
        return Remember(std::move(key), cached, std::move(fallback), std::move(listedSpelling));
    FaceChoice choice;
    fallback = std::make_unique<FallbackList>();
    fallback->patternTried = true;
    FcConfig* config = Config();
    FcPattern* pattern = config ? AskedPattern(config, font) : nullptr;
    if (pattern) {
        // The rules may ask for more than the LogFont did ("Arial Black" asks for black).
        CachedMatch found;
        int askedWeight = FC_WEIGHT_REGULAR;
        int askedSlant = FC_SLANT_ROMAN;
        FcPatternGetInteger(pattern, FC_WEIGHT, 0, &askedWeight);
        FcPatternGetInteger(pattern, FC_SLANT, 0, &askedSlant);
        found.askedWeight = askedWeight;
        found.askedSlant = askedSlant;
        fallback->weight = askedWeight;
        fallback->slant = askedSlant;
        fallback->pattern = FcPatternDuplicate(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        if (match) {
            FcChar8* file = nullptr;
            FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
            FcMatrix* matrix = nullptr;
            if (FcPatternGetMatrix(match, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix)
                found.matrix = {matrix->xx, matrix->xy, matrix->yx, matrix->yy};
            FcBool embolden = FcFalse;
            FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
            found.embolden = embolden == FcTrue;
            if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
                found.file = reinterpret_cast<const char*>(file);
                choice.face = LoadFace(found.file, found.index);
                SetSyntheticStyles(choice, found);
                if (choice.face) {
                    found.faceWeight = choice.face->weight;
                    found.faceSlant = choice.face->slant;
                    found.faceFamily = choice.face->family;
                    found.units = choice.face->units;
                    listedSpelling = KeepOnDisk(font, found);
                }
            }
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    if (!choice.face) choice = {};
    if (choice.face && fallback->pattern) choice.fallback = fallback.get();
    return Remember(std::move(key), choice, std::move(fallback), std::move(listedSpelling));
}

std::string ListedSpelling(const LogFont& font) {
    Engine& e = TheEngine();
    ChooseFace(font);
    const auto it = e.choices.find(std::make_tuple(font.name, font.bold, font.italic));
    if (it != e.choices.end() && it->second.listedSpelling) return *it->second.listedSpelling;
    return SpellingIn(FamilyNames(), font.name);
}

const FaceUnits& UnitsOf(const FaceChoice& choice) {
    static const FaceUnits fallback;
    return choice.face ? choice.face->units : fallback;
}

std::string FamilyOf(const FaceChoice& choice) {
    return choice.face ? choice.face->family : std::string();
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

namespace {

bool HasGlyph(FontFace* face, char32_t c) {
    hb_codepoint_t glyph = 0;
    return Opened(face) && hb_font_get_nominal_glyph(face->hbFont, c, &glyph) && glyph != 0;
}

// The best face of fontconfig's sorted list for the LogFont that has the character; null when
// no installed face has it.
FaceChoice FallbackFor(const FaceChoice& choice, char32_t c) {
    FallbackList* list = choice.fallback;
    if (!list) return {};
    auto known = list->found.find(c);
    if (known != list->found.end()) return known->second;
    if (!list->sortTried) {
        list->sortTried = true;
        FcConfig* config = Config();
        if (config && !list->patternTried) list->pattern = AskedPattern(config, list->asked);
        list->patternTried = true;
        FcResult result = FcResultNoMatch;
        // Trimmed: a face that covers nothing the better ones miss is never the first to have
        // a character.
        if (config && list->pattern)
            list->sorted = FcFontSort(config, list->pattern, FcTrue, nullptr, &result);
    }
    FaceChoice found;
    for (int i = 0; list->sorted && i < list->sorted->nfont; ++i) {
        FcPattern* candidate = list->sorted->fonts[i];
        FcCharSet* charset = nullptr;
        if (FcPatternGetCharSet(candidate, FC_CHARSET, 0, &charset) != FcResultMatch || !charset ||
            !FcCharSetHasChar(charset, c))
            continue;
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(candidate, FC_FILE, 0, &file) != FcResultMatch || !file) continue;
        FcPatternGetInteger(candidate, FC_INDEX, 0, &index);
        FontFace* face = LoadFace(reinterpret_cast<const char*>(file), index);
        if (!face || face == choice.face || !HasGlyph(face, c)) continue;
        found.face = face;
        found.syntheticBold = list->weight >= FC_WEIGHT_BOLD && face->weight < FC_WEIGHT_DEMIBOLD;
        found.syntheticItalic = list->slant != FC_SLANT_ROMAN && face->slant == FC_SLANT_ROMAN;
        break;
    }
    if (list->found.size() >= 4096) list->found.clear();
    list->found.emplace(c, found);
    return found;
}

struct LineChar {
    char32_t code = 0;
    std::uint32_t at = 0;  // byte offset
    std::uint32_t size = 0;
};

// UTF-8 as HarfBuzz reads it: a byte that starts no valid sequence stands for U+FFFD alone.
std::vector<LineChar> Decode(std::string_view text) {
    std::vector<LineChar> chars;
    chars.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = p[i];
        std::uint32_t size = 1;
        char32_t code = 0xFFFD;
        auto cont = [&](std::size_t k) { return i + k < n && (p[i + k] & 0xC0) == 0x80; };
        if (b < 0x80) {
            code = b;
        } else if (b >= 0xC2 && b <= 0xDF && cont(1)) {
            code = char32_t(b & 0x1F) << 6 | (p[i + 1] & 0x3F);
            size = 2;
        } else if (b >= 0xE0 && b <= 0xEF && cont(1) && cont(2)) {
            const char32_t c =
                char32_t(b & 0x0F) << 12 | char32_t(p[i + 1] & 0x3F) << 6 | (p[i + 2] & 0x3F);
            if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
                code = c;
                size = 3;
            }
        } else if (b >= 0xF0 && b <= 0xF4 && cont(1) && cont(2) && cont(3)) {
            const char32_t c = char32_t(b & 0x07) << 18 | char32_t(p[i + 1] & 0x3F) << 12 |
                               char32_t(p[i + 2] & 0x3F) << 6 | (p[i + 3] & 0x3F);
            if (c >= 0x10000 && c <= 0x10FFFF) {
                code = c;
                size = 4;
            }
        }
        chars.push_back({code, static_cast<std::uint32_t>(i), size});
        i += size;
    }
    return chars;
}

// Characters that draw nothing of their own: they never call for another face.
bool DrawsNothing(hb_unicode_general_category_t category) {
    return category == HB_UNICODE_GENERAL_CATEGORY_CONTROL ||
           category == HB_UNICODE_GENERAL_CATEGORY_FORMAT ||
           category == HB_UNICODE_GENERAL_CATEGORY_LINE_SEPARATOR ||
           category == HB_UNICODE_GENERAL_CATEGORY_PARAGRAPH_SEPARATOR;
}

bool IsMark(hb_unicode_general_category_t category) {
    return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
}

bool IsRealScript(hb_script_t script) {
    return script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED &&
           script != HB_SCRIPT_UNKNOWN && script != HB_SCRIPT_INVALID;
}

// The resolved bidirectional level of every character after the line rules, and each one's
// place in visual order.
void BidiOrder(const std::vector<LineChar>& chars, std::vector<std::uint8_t>& levels,
               std::vector<std::uint32_t>& visual) {
    const std::size_t n = chars.size();
    levels.assign(n, 0);
    visual.resize(n);
    std::iota(visual.begin(), visual.end(), 0u);
    std::vector<FriBidiChar> text(n);
    for (std::size_t i = 0; i < n; ++i)
        text[i] = chars[i].code;
    std::vector<FriBidiCharType> types(n);
    std::vector<FriBidiBracketType> brackets(n);
    std::vector<FriBidiLevel> resolved(n, 0);
    std::vector<FriBidiStrIndex> map(n);
    std::iota(map.begin(), map.end(), 0);
    const auto length = static_cast<FriBidiStrIndex>(n);
    fribidi_get_bidi_types(text.data(), length, types.data());
    fribidi_get_bracket_types(text.data(), length, types.data(), brackets.data());
    FriBidiParType base = FRIBIDI_PAR_ON;
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), length, &base,
                                            resolved.data()) == 0)
        return;
    if (fribidi_reorder_line(0, types.data(), length, 0, base, resolved.data(), nullptr,
                             map.data()) == 0)
        return;
    for (std::size_t v = 0; v < n; ++v)
        visual[std::size_t(map[v])] = static_cast<std::uint32_t>(v);
    for (std::size_t i = 0; i < n; ++i)
        levels[i] = static_cast<std::uint8_t>(resolved[i]);
}

}  // namespace

namespace {

ShapedLine ShapeNow(const FaceChoice& choice, std::string_view text,
                    std::span<const std::uint32_t> underlined) {
    ShapedLine line;
    if (!choice.face || text.empty() || !Opened(choice.face)) return line;
    const int length =
        static_cast<int>(std::min<std::size_t>(text.size(), std::numeric_limits<int>::max() / 2));
    text = text.substr(0, std::size_t(length));
    line.faces.push_back(choice);
    const std::vector<LineChar> chars = Decode(text);
    const std::size_t n = chars.size();

    // The face of every character: the chosen one where it has the character, else the first of
    // fontconfig's list that has it. Marks stay with their base.
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    std::vector<std::uint16_t> faceOf(n, 0);
    std::vector<hb_script_t> scriptOf(n, HB_SCRIPT_COMMON);
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = chars[i].code;
        const hb_unicode_general_category_t category = hb_unicode_general_category(unicode, c);
        scriptOf[i] = hb_unicode_script(unicode, c);
        if (i > 0 && (IsMark(category) || c == 0x200D)) {
            faceOf[i] = faceOf[i - 1];
            continue;
        }
        if (DrawsNothing(category) || HasGlyph(choice.face, c)) continue;
        const FaceChoice fallback = FallbackFor(choice, c);
        if (!fallback.face) {
            if (std::find(line.missing.begin(), line.missing.end(), c) == line.missing.end())
                line.missing.push_back(c);
            continue;
        }
        std::size_t index = 0;
        while (index < line.faces.size() && line.faces[index].face != fallback.face)
            ++index;
        if (index == line.faces.size()) line.faces.push_back(fallback);
        faceOf[i] = static_cast<std::uint16_t>(std::min<std::size_t>(index, 0xFFFF));
    }
    // Characters of no script of their own take the script around them.
    hb_script_t last = HB_SCRIPT_INVALID;
    for (std::size_t i = 0; i < n; ++i) {
        if (IsRealScript(scriptOf[i])) {
            last = scriptOf[i];
        } else if (last != HB_SCRIPT_INVALID) {
            scriptOf[i] = last;
        }
    }
    last = HB_SCRIPT_INVALID;
    for (std::size_t i = n; i-- > 0;) {
        if (IsRealScript(scriptOf[i])) {
            last = scriptOf[i];
        } else if (last != HB_SCRIPT_INVALID) {
            scriptOf[i] = last;
        }
    }

    std::vector<std::uint8_t> levels;
    std::vector<std::uint32_t> visual;
    BidiOrder(chars, levels, visual);

    // Runs of one face, script and level, in logical order; each is contiguous in visual order
    // too, so the place of its first visual character orders the runs.
    struct Pending {
        ShapedRun run;
        std::size_t first = 0;
        std::size_t last = 0;
        hb_script_t script = HB_SCRIPT_INVALID;
    };
    std::vector<Pending> runs;
    for (std::size_t i = 0; i < n; ++i) {
        if (runs.empty() || runs.back().run.face != faceOf[i] ||
            runs.back().run.level != levels[i] || runs.back().script != scriptOf[i]) {
            Pending p;
            p.run.start = chars[i].at;
            p.run.level = levels[i];
            p.run.face = faceOf[i];
            p.first = i;
            p.script = scriptOf[i];
            runs.push_back(p);
        }
        runs.back().last = i;
        runs.back().run.length = chars[i].at + chars[i].size - runs.back().run.start;
    }
    auto visualStart = [&](const Pending& p) { return std::min(visual[p.first], visual[p.last]); };
    std::stable_sort(runs.begin(), runs.end(), [&](const Pending& a, const Pending& b) {
        return visualStart(a) < visualStart(b);
    });

    const std::int32_t unitsPerEm = choice.face->units.unitsPerEm;
    hb_buffer_t* buffer = hb_buffer_create();
    std::int64_t pen = 0;
    for (const Pending& p : runs) {
        line.runs.push_back(p.run);
        const FaceChoice& runFace = line.faces[p.run.face];
        hb_font_t* font = runFace.face->hbFont;
        const std::int32_t ownUnits = runFace.face->units.unitsPerEm;
        hb_buffer_clear_contents(buffer);
        // The whole line is the context, so letters join across the ends of a run.
        hb_buffer_add_utf8(buffer, text.data(), length, p.run.start,
                           static_cast<int>(p.run.length));
        hb_buffer_set_direction(buffer, (p.run.level & 1) ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        if (IsRealScript(p.script)) hb_buffer_set_script(buffer, p.script);
        hb_buffer_guess_segment_properties(buffer);
        // A fallback face is shaped in the chosen face's units: one em is one em in both.
        if (ownUnits != unitsPerEm) hb_font_set_scale(font, unitsPerEm, unitsPerEm);
        hb_shape(font, buffer, nullptr, 0);
        if (ownUnits != unitsPerEm) hb_font_set_scale(font, ownUnits, ownUnits);
        std::int32_t boldGrowth = 0;
        if (runFace.syntheticBold) {
            boldGrowth =
                p.run.face == 0
                    ? runFace.face->units.boldStrength
                    : static_cast<std::int32_t>(RoundDiv(
                          std::int64_t(runFace.face->units.boldStrength) * unitsPerEm, ownUnits));
        }
        unsigned count = 0;
        const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
        const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
        for (unsigned i = 0; i < count; ++i) {
            ShapedGlyph g;
            g.glyph = infos[i].codepoint;
            g.penX = pen;
            g.advance = positions[i].x_advance;
            if (g.advance != 0) g.advance += boldGrowth;
            g.xOffset = positions[i].x_offset;
            g.yOffset = positions[i].y_offset;
            g.underline =
                std::binary_search(underlined.begin(), underlined.end(), infos[i].cluster);
            g.face = p.run.face;
            pen += g.advance;
            line.glyphs.push_back(g);
        }
    }
    line.width = pen;
    hb_buffer_destroy(buffer);
    return line;
}

// The key of the face's records on disk as the choice draws it; empty when nothing is kept.
const std::string& RecordKey(const FaceChoice& choice) {
    static const std::string none;
    if (!choice.face || DiskFolder().empty()) return none;
    std::optional<std::string>& key =
        choice.face->recordKeys[int(choice.syntheticBold) + 2 * int(choice.syntheticItalic)];
    if (!key)
        key = FaceRecordKey(choice.face->file, choice.face->index, choice.syntheticBold,
                            choice.syntheticItalic);
    return *key;
}

}  // namespace

ShapedLine Shape(const FaceChoice& choice, std::string_view text,
                 std::span<const std::uint32_t> underlined) {
    if (!choice.face || text.empty()) return {};
    const std::string& key = RecordKey(choice);
    if (!key.empty()) {
        if (std::optional<ShapedLine> kept = ReadShapedLine(DiskFolder(), key, text, underlined)) {
            kept->faces.push_back(choice);  // every glyph and run of a kept line is in it
            return std::move(*kept);
        }
    }
    ShapedLine line = ShapeNow(choice, text, underlined);
    if (!key.empty() && line.faces.size() == 1 && line.missing.empty())
        WriteShapedLine(DiskFolder(), key, text, underlined, line);
    return line;
}

Scale ScaleOfFace(const ShapedLine& line, std::size_t face, Scale scale) {
    if (face == 0 || face >= line.faces.size() || !line.faces[face].face || line.faces.empty() ||
        !line.faces[0].face)
        return scale;
    const std::int64_t own = line.faces[face].face->units.unitsPerEm;
    const std::int64_t chosen = line.faces[0].face->units.unitsPerEm;
    if (own == chosen) return scale;
    Scale s{scale.num * chosen, scale.den * own};
    const std::int64_t g = std::gcd(s.num, s.den);
    if (g > 1) {
        s.num /= g;
        s.den /= g;
    }
    return s;
}

namespace {

void ForgetGlyphs() {
    Engine& e = TheEngine();
    e.glyphs.clear();
    e.glyphBytes = 0;
    e.imagesRead.clear();
    e.imagesNew.clear();
}

// Puts the disk's images of the face at the size into the cache, the first time they are
// asked for; true when any came.
bool ReadKeptImages(const FaceChoice& choice, Scale scale) {
    Engine& e = TheEngine();
    const ImageSet set{choice.face, choice.syntheticBold, choice.syntheticItalic, scale.num,
                       scale.den};
    if (!e.imagesRead.insert(set).second) return false;
    const std::string& faceKey = RecordKey(choice);
    if (faceKey.empty()) return false;
    bool any = false;
    for (auto& [glyph, image] : ReadGlyphImages(DiskFolder(), faceKey, scale)) {
        // Only what the cache would have kept, so a glyph too big for it is still rendered
        // clipped to its target.
        const std::size_t bytes = image.bits.size();
        if (bytes > e.glyphLimit || e.glyphBytes + bytes > kGlyphCacheBudget) continue;
        const GlyphKey key{set.face, set.bold, set.italic, set.num, set.den, glyph};
        if (e.glyphs.emplace(key, std::make_shared<const GlyphImage>(std::move(image))).second) {
            e.glyphBytes += bytes + sizeof(GlyphImage);
            any = true;
        }
    }
    return any;
}

// The kept image of the glyph, rendered and put in the cache if need be; null when the glyph is
// too big to keep, and `outline` then holds its scaled outline. An empty image for a glyph that
// draws nothing.
std::shared_ptr<const GlyphImage> CachedGlyph(const FaceChoice& choice, Scale scale,
                                              std::uint32_t glyph, FT_Outline*& outline) {
    static const auto nothing = std::make_shared<const GlyphImage>();
    outline = nullptr;
    if (!choice.face) return nothing;
    if (ToPixels(choice.face->units.unitsPerEm, scale) > kMaxRenderEm) return nothing;
    Engine& e = TheEngine();
    const GlyphKey key{
        choice.face, choice.syntheticBold, choice.syntheticItalic, scale.num, scale.den, glyph};
    auto it = e.glyphs.find(key);
    if (it != e.glyphs.end()) return it->second;
    if (ReadKeptImages(choice, scale) && (it = e.glyphs.find(key)) != e.glyphs.end())
        return it->second;
    // A face that cannot be read now draws nothing, and that is not kept.
    if (!Opened(choice.face)) return nothing;
    outline = ScaledOutline(choice, scale, glyph);
    std::shared_ptr<const GlyphImage> image = nothing;
    if (outline) {
        const PixelBox box = BoxOf(outline);
        const std::size_t bytes = std::size_t((box.width + 7) / 8) * std::size_t(box.rows);
        if (bytes > e.glyphLimit) return nullptr;
        if (e.glyphBytes + bytes > kGlyphCacheBudget) ForgetGlyphs();
        image = std::make_shared<const GlyphImage>(RenderRegion(outline, box));
        e.glyphBytes += bytes;
    }
    // A glyph without ink is kept too, so that a run drawing from the disk's images never needs
    // the font file for a space.
    e.glyphs.emplace(key, image);
    e.glyphBytes += sizeof(GlyphImage);
    if (const std::string& faceKey = RecordKey(choice); !faceKey.empty())
        e.imagesNew.emplace(ImageSet{choice.face, choice.syntheticBold, choice.syntheticItalic,
                                     scale.num, scale.den},
                            faceKey);
    return image;
}

}  // namespace

std::shared_ptr<const GlyphImage> HeldGlyph(const FaceChoice& choice, Scale scale,
                                            std::uint32_t glyph, std::size_t& bytes) {
    FT_Outline* outline = nullptr;
    std::shared_ptr<const GlyphImage> image = CachedGlyph(choice, scale, glyph, outline);
    bytes = image ? image->bits.size() : 0;
    return image;
}

void BlitGlyph(Bitmap& target, const GlyphImage& image, std::int64_t originX, std::int64_t originY,
               TColor stored) {
    Blit(target, image, originX, originY, stored);
}

void DrawGlyph(Bitmap& target, const FaceChoice& choice, Scale scale, std::uint32_t glyph,
               std::int64_t originX, std::int64_t originY, TColor stored) {
    if (target.Empty()) return;
    FT_Outline* outline = nullptr;
    const std::shared_ptr<const GlyphImage> image = CachedGlyph(choice, scale, glyph, outline);
    if (image) {
        Blit(target, *image, originX, originY, stored);
        return;
    }
    const PixelBox box = BoxOf(outline);
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

namespace {

// Collects the contours of a decomposed outline in target pixels.
struct OutlineSink {
    std::vector<OutlineContour>& contours;
    double originX;
    double originY;
    OutlinePoint last;

    // 26.6 coordinates, y up, are exact in a double.
    OutlinePoint At(const FT_Vector* v) const {
        return {originX + double(v->x) / 64, originY - double(v->y) / 64};
    }
    void Cubic(OutlinePoint c1, OutlinePoint c2, OutlinePoint to) {
        if (contours.empty()) return;
        contours.back().pieces.insert(contours.back().pieces.end(), {c1, c2, to});
        last = to;
    }
};

OutlineSink& SinkOf(void* user) {
    return *static_cast<OutlineSink*>(user);
}

int MoveTo(const FT_Vector* to, void* user) {
    OutlineSink& sink = SinkOf(user);
    sink.last = sink.At(to);
    sink.contours.push_back({sink.last, {}});
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    OutlineSink& sink = SinkOf(user);
    const OutlinePoint a = sink.last, b = sink.At(to);
    sink.Cubic({a.x + (b.x - a.x) / 3, a.y + (b.y - a.y) / 3},
               {b.x + (a.x - b.x) / 3, b.y + (a.y - b.y) / 3}, b);
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    OutlineSink& sink = SinkOf(user);
    const OutlinePoint a = sink.last, q = sink.At(control), b = sink.At(to);
    sink.Cubic({a.x + 2 * (q.x - a.x) / 3, a.y + 2 * (q.y - a.y) / 3},
               {b.x + 2 * (q.x - b.x) / 3, b.y + 2 * (q.y - b.y) / 3}, b);
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    OutlineSink& sink = SinkOf(user);
    sink.Cubic(sink.At(c1), sink.At(c2), sink.At(to));
    return 0;
}

}  // namespace

void GlyphOutline(const FaceChoice& choice, Scale scale, std::uint32_t glyph, std::int64_t originX,
                  std::int64_t originY, std::vector<OutlineContour>& contours) {
    if (!choice.face) return;
    if (ToPixels(choice.face->units.unitsPerEm, scale) > kMaxRenderEm) return;
    FT_Outline* outline = ScaledOutline(choice, scale, glyph);
    if (!outline || outline->n_points <= 0) return;
    const std::size_t first = contours.size();
    OutlineSink sink{contours, double(originX), double(originY), {}};
    FT_Outline_Funcs funcs{};
    funcs.move_to = MoveTo;
    funcs.line_to = LineTo;
    funcs.conic_to = ConicTo;
    funcs.cubic_to = CubicTo;
    if (FT_Outline_Decompose(outline, &funcs, &sink) != 0) contours.resize(first);
    // Outer contours of every font run one way round (clockwise on the page, as TrueType's
    // do), so that the underline's bar and the glyphs of other faces add to them.
    if (FT_Outline_Get_Orientation(outline) == FT_ORIENTATION_POSTSCRIPT) {
        for (std::size_t i = first; i < contours.size(); ++i) {
            std::vector<OutlinePoint>& pieces = contours[i].pieces;
            std::vector<OutlinePoint> reversed;
            reversed.reserve(pieces.size());
            for (std::size_t end = pieces.size(); end >= 3; end -= 3) {
                const OutlinePoint to = end >= 6 ? pieces[end - 4] : contours[i].start;
                reversed.insert(reversed.end(), {pieces[end - 2], pieces[end - 3], to});
            }
            pieces = std::move(reversed);
        }
    }
    // A contour of a single point fills nothing.
    contours.erase(std::remove_if(contours.begin() + std::ptrdiff_t(first), contours.end(),
                                  [](const OutlineContour& c) { return c.pieces.empty(); }),
                   contours.end());
}

std::size_t SetGlyphCacheLimit(std::size_t bytes) {
    Engine& e = TheEngine();
    const std::size_t previous = e.glyphLimit;
    e.glyphLimit = bytes;
    ForgetGlyphs();
    return previous;
}

void KeepNewGlyphs() {
    Engine& e = TheEngine();
    for (const auto& [set, faceKey] : e.imagesNew) {
        std::vector<std::pair<std::uint32_t, const GlyphImage*>> images;
        for (const auto& [key, image] : e.glyphs)
            if (key.face == set.face && key.bold == set.bold && key.italic == set.italic &&
                key.num == set.num && key.den == set.den)
                images.emplace_back(key.glyph, image.get());
        std::sort(images.begin(), images.end());
        WriteGlyphImages(DiskFolder(), faceKey, Scale{set.num, set.den}, images);
    }
    e.imagesNew.clear();
}

std::vector<std::string> FamilyNames() {
    Engine& e = TheEngine();
    FcConfig* config = Config();
    if (e.familiesGeneration == e.generation && e.families) return *e.families;
    std::vector<std::string> names;
    if (!config) return names;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = (pattern && objects) ? FcFontList(config, pattern, objects) : nullptr;
    // A face answers to every family name it carries ("Lato" and "Lato Black"), and each of them
    // matches it.
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* family = nullptr;
        for (int n = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, n, &family) == FcResultMatch;
             ++n) {
            if (family && *family) names.emplace_back(reinterpret_cast<const char*>(family));
        }
    }
    if (set) FcFontSetDestroy(set);
    if (objects) FcObjectSetDestroy(objects);
    if (pattern) FcPatternDestroy(pattern);
    std::sort(names.begin(), names.end(), FontNameLess);
    names.erase(std::unique(names.begin(), names.end()), names.end());
    e.families = names;
    e.familiesGeneration = e.generation;
    return names;
}

bool FontNameLess(std::string_view a, std::string_view b) {
    auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : int(c); };
    const bool folded = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [&](unsigned char x, unsigned char y) { return fold(x) < fold(y); });
    if (folded) return true;
    const bool foldedAfter = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(),
        [&](unsigned char x, unsigned char y) { return fold(x) < fold(y); });
    return !foldedAfter && a < b;
}

bool LoadRuleFile(const std::string& path) {
    FcConfig* config = Config();
    return config && LoadRuleLocked(config, path);
}

void MakeMatchKey() {
    Engine& e = TheEngine();
    std::uint64_t generation = 0;
    {
        const std::lock_guard<std::mutex> lock(e.mutex);
        if (e.keyBefore || e.keyInMaking || e.config || e.configTried || !e.ownRulesOnly ||
            DiskFolder().empty())
            return;
        e.keyInMaking = true;
        generation = e.generation;
    }
    std::optional<std::string> key;
    try {
        key = MatchCacheKey();
    } catch (...) {
        // Whoever waits makes the key itself.
    }
    {
        const std::lock_guard<std::mutex> lock(e.mutex);
        e.keyInMaking = false;
        if (key && !e.keyBefore && e.generation == generation) e.keyBefore = std::move(key);
    }
    e.keyMade.notify_all();
}

void ResetConfiguration() {
    Engine& e = TheEngine();
    e.choices.clear();
    if (e.config) FcConfigDestroy(e.config);
    e.config = nullptr;
    e.configTried = false;
    e.loadedRules.clear();
    e.ownRulesOnly = true;
    e.diskFolder.reset();
    e.keyBefore.reset();
    e.keyAfter.reset();
    ++e.generation;
}

bool ConfigurationRead() {
    return TheEngine().config != nullptr;
}

std::uint64_t Generation() {
    return TheEngine().generation;
}

}  // namespace gw::fonts
