#include "platform/TextRecords.h"

#include <link.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/DiskRecord.h"
#include "platform/System.h"

namespace gw::fonts {

namespace {

constexpr std::string_view kLineMagic = "GWSHAPE1";
constexpr std::string_view kImageMagic = "GWGLYPH1";
constexpr int kLineSlots = 256;
constexpr int kImageSlots = 64;
constexpr std::size_t kMaxLineRecord = std::size_t(256) << 10;
constexpr std::size_t kMaxImageRecord = std::size_t(512) << 10;
constexpr std::size_t kKeyBytes = 16;

// The files a kept shape or image was made by, besides the font: this program, and the libraries
// that shape, order and render, found beside the C library (where the loader finds them too).
std::string MakersState() {
    std::string state;
    const auto add = [&state](const std::string& path) {
        const std::optional<FileState> s = StateOf(path);
        if (!s) return false;
        RecordWriter w;
        w.Text(path);
        w.Put(s->size);
        w.Put(s->seconds);
        w.Put(s->nanoseconds);
        state += w.Bytes();
        return true;
    };
    const std::string self = ProgramFile();
    if (self.empty() || !add(self)) return {};
    std::string folder;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            const std::string_view name = info->dlpi_name ? info->dlpi_name : "";
            const std::size_t slash = name.rfind('/');
            if (slash == std::string_view::npos || name.substr(slash + 1) != "libc.so.6") return 0;
            static_cast<std::string*>(data)->assign(name.substr(0, slash + 1));
            return 1;
        },
        &folder);
    if (folder.empty()) return {};
    for (const char* library : {"libfreetype.so.6", "libharfbuzz.so.0", "libfribidi.so.0"})
        if (!add(folder + library)) return {};
    return state;
}

const std::string& Makers() {
    static const std::string state = MakersState();
    return state;
}

std::string SlotFile(const std::string& folder, const char* kind, std::string_view key, int slots) {
    char name[32];
    std::snprintf(name, sizeof name, "/%s-%02x", kind, unsigned(Fnv(key) % unsigned(slots)));
    return folder + name;
}

// The record's own key: the face's and what the record is of.
std::string LineKey(const std::string& faceKey, std::string_view text,
                    std::span<const std::uint32_t> underlined) {
    RecordWriter w;
    w.Text(faceKey);
    w.Text(text);
    w.Put(static_cast<std::uint32_t>(underlined.size()));
    for (const std::uint32_t at : underlined)
        w.Put(at);
    return std::move(w.Bytes());
}

std::string ImageKey(const std::string& faceKey, Scale scale) {
    RecordWriter w;
    w.Text(faceKey);
    w.Put(scale.num);
    w.Put(scale.den);
    return std::move(w.Bytes());
}

}  // namespace

std::string FaceRecordKey(const std::string& file, int index, bool syntheticBold,
                          bool syntheticItalic) {
    const std::string& makers = Makers();
    const std::optional<FileState> font = StateOf(file);
    if (makers.empty() || !font) return {};
    RecordWriter w;
    w.Text(makers);
    w.Text(file);
    w.Put(std::int32_t(index));
    w.Put(font->size);
    w.Put(font->seconds);
    w.Put(font->nanoseconds);
    w.Put(std::uint8_t(syntheticBold));
    w.Put(std::uint8_t(syntheticItalic));
    return Digest128(w.Bytes());
}

std::optional<ShapedLine> ReadShapedLine(const std::string& folder, const std::string& faceKey,
                                         std::string_view text,
                                         std::span<const std::uint32_t> underlined) {
    if (folder.empty() || faceKey.size() != kKeyBytes) return std::nullopt;
    const std::string key = LineKey(faceKey, text, underlined);
    const std::optional<std::string> payload =
        ReadRecord(SlotFile(folder, "shape", key, kLineSlots), kLineMagic, kMaxLineRecord);
    if (!payload) return std::nullopt;
    RecordReader in(*payload);
    std::string storedKey;
    std::uint32_t glyphs = 0;
    ShapedLine line;
    // Another text may have taken the slot.
    if (!in.Text(storedKey, kMaxLineRecord) || storedKey != key || !in.Get(line.width) ||
        !in.Get(glyphs) || glyphs > in.Left() / 25)
        return std::nullopt;
    line.glyphs.resize(glyphs);
    for (ShapedGlyph& g : line.glyphs) {
        std::uint8_t underline = 0;
        in.Get(g.glyph);
        in.Get(g.penX);
        in.Get(g.advance);
        in.Get(g.xOffset);
        in.Get(g.yOffset);
        if (!in.Get(underline)) return std::nullopt;
        g.underline = underline != 0;
    }
    std::uint32_t runs = 0;
    if (!in.Get(runs) || runs > in.Left() / 9) return std::nullopt;
    line.runs.resize(runs);
    for (ShapedRun& r : line.runs) {
        in.Get(r.start);
        in.Get(r.length);
        if (!in.Get(r.level) || r.start > text.size() || r.length > text.size() - r.start)
            return std::nullopt;
    }
    if (!in.AtEnd()) return std::nullopt;
    return line;
}

void WriteShapedLine(const std::string& folder, const std::string& faceKey, std::string_view text,
                     std::span<const std::uint32_t> underlined, const ShapedLine& line) {
    if (folder.empty() || faceKey.size() != kKeyBytes) return;
    const std::string key = LineKey(faceKey, text, underlined);
    RecordWriter w;
    w.Text(key);
    w.Put(line.width);
    w.Put(static_cast<std::uint32_t>(line.glyphs.size()));
    for (const ShapedGlyph& g : line.glyphs) {
        w.Put(g.glyph);
        w.Put(g.penX);
        w.Put(g.advance);
        w.Put(g.xOffset);
        w.Put(g.yOffset);
        w.Put(std::uint8_t(g.underline));
    }
    w.Put(static_cast<std::uint32_t>(line.runs.size()));
    for (const ShapedRun& r : line.runs) {
        w.Put(r.start);
        w.Put(r.length);
        w.Put(r.level);
    }
    // A line too long for a record is shaped again next time.
    if (w.Bytes().size() > kMaxLineRecord - 64) return;
    WriteRecord(SlotFile(folder, "shape", key, kLineSlots), kLineMagic, w.Bytes());
}

std::vector<std::pair<std::uint32_t, GlyphImage>> ReadGlyphImages(const std::string& folder,
                                                                  const std::string& faceKey,
                                                                  Scale scale) {
    std::vector<std::pair<std::uint32_t, GlyphImage>> images;
    if (folder.empty() || faceKey.size() != kKeyBytes) return images;
    const std::string key = ImageKey(faceKey, scale);
    const std::optional<std::string> payload =
        ReadRecord(SlotFile(folder, "glyphs", key, kImageSlots), kImageMagic, kMaxImageRecord);
    if (!payload) return images;
    RecordReader in(*payload);
    std::string storedKey;
    std::uint32_t count = 0;
    if (!in.Text(storedKey, kMaxImageRecord) || storedKey != key || !in.Get(count) ||
        count > in.Left() / 32)
        return images;
    images.resize(count);
    for (auto& [glyph, image] : images) {
        in.Get(glyph);
        in.Get(image.left);
        in.Get(image.top);
        in.Get(image.width);
        in.Get(image.rows);
        if (!in.Get(image.pitch) || image.width < 0 || image.rows < 0 ||
            image.pitch != (image.width + 7) / 8)
            return {};
        const std::size_t bytes = std::size_t(image.pitch) * std::size_t(image.rows);
        if (bytes > in.Left()) return {};
        const std::string_view bits = in.Take(bytes);
        image.bits.assign(bits.begin(), bits.end());
    }
    if (!in.AtEnd()) return {};
    return images;
}

void WriteGlyphImages(const std::string& folder, const std::string& faceKey, Scale scale,
                      std::span<const std::pair<std::uint32_t, const GlyphImage*>> images) {
    if (folder.empty() || faceKey.size() != kKeyBytes || images.empty()) return;
    const std::string key = ImageKey(faceKey, scale);
    RecordWriter w;
    w.Text(key);
    std::size_t count = 0;
    std::size_t bytes = w.Bytes().size() + sizeof(std::uint32_t) + 64;
    while (count < images.size() &&
           bytes + 32 + images[count].second->bits.size() <= kMaxImageRecord)
        bytes += 32 + images[count++].second->bits.size();
    if (count == 0) return;
    w.Put(static_cast<std::uint32_t>(count));
    for (const auto& [glyph, image] : images.first(count)) {
        w.Put(glyph);
        w.Put(image->left);
        w.Put(image->top);
        w.Put(image->width);
        w.Put(image->rows);
        w.Put(image->pitch);
        w.Bytes().append(reinterpret_cast<const char*>(image->bits.data()), image->bits.size());
    }
    WriteRecord(SlotFile(folder, "glyphs", key, kImageSlots), kImageMagic, w.Bytes());
}

}  // namespace gw::fonts
