#include "document/LetteringFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>

#include "document/PictureSize.h"
#include "document/SettingsTable.h"
#include "platform/AllocationLimit.h"
#include "platform/Catalogue.h"
#include "platform/FileAccess.h"
#include "raster/DibService.h"
#include "raster/ImageFiles.h"

namespace gw {
namespace {

constexpr std::string_view kIdentification = kProgramTitle;
static_assert(sizeof(kProgramTitle) - 1 == 27);
constexpr char kErrorTitle[] = N_("Fehler");
// The font of the program's own default lettering; the shipped font rule always stands in for it.
constexpr char kDefaultFont[] = "Arial Black";

DocumentResult Failure(std::string message) {
    return {false, std::move(message), catalogue::Tr(kErrorTitle)};
}

DocumentResult Damaged(std::string_view name) {
    return Failure(catalogue::Fill(
        catalogue::Tr("Zarbo-Glyphwerk Datei öffnen: Die Datei %1 ist beschädigt!"), {name}));
}

// ---- text lines -------------------------------------------------------------------------------

// Every line followed by CR LF, as the memo hands out its text.
std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace

std::size_t StoredTextBytes(const std::vector<std::string>& lines) {
    return TextToDocumentBytes(JoinLines(lines)).size();
}

bool TextFitsDocument(const std::vector<std::string>& lines) {
    return StoredTextBytes(lines) <= kMaxTextBytes;
}

std::size_t LargestDocumentBytes() {
    constexpr std::size_t kText = 4 + kMaxTextBytes;
    constexpr std::size_t kPoints = 4 + 8 * std::size_t(kMaxDocumentPoints);
    constexpr std::size_t kImage = 8 + sizeof(BitmapInfo) + std::size_t(kMaxDibBytes);
    // The settings take a few hundred bytes; 64 KiB leaves room for any that join them.
    return kIdentification.size() + 2 * kText + 4 * kPoints + 2 * kImage + (std::size_t(64) << 10);
}

namespace {

// ---- writing ----------------------------------------------------------------------------------

// The boundary lines and the picture size stand in the file right after this setting.
constexpr std::string_view kSizeAndLinesFollow = "SpiralEd";

// The stored settings before the size and lines (first) or after them.
std::span<const SettingInfo> StoredSettings(bool first) {
    const std::span<const SettingInfo> table = SettingsTable();
    std::size_t split = 0;
    while (split < table.size() && table[split].name != kSizeAndLinesFollow)
        ++split;
    if (split == table.size()) std::abort();  // the table lost the setting the lines follow
    return first ? table.first(split + 1) : table.subspan(split + 1);
}

// A spin value goes out truncated toward zero; one beyond 32 bits (typed, never confirmed)
// goes out as the nearer 32-bit limit.
std::int32_t SpinToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v <= double(INT32_MIN)) return INT32_MIN;
    if (v >= double(INT32_MAX)) return INT32_MAX;
    return static_cast<std::int32_t>(std::trunc(v));
}

class FieldWriter {
  public:
    FieldWriter(const LetteringSettings& s, ByteSink& out) : s_(s), out_(out) {}
    bool ok() const { return ok_; }

    void Byte(std::uint8_t v) { ok_ = ok_ && WriteByte(out_, v); }
    void Int32(std::int32_t v) { ok_ = ok_ && WriteInt32(out_, v); }
    void Float64(double v) { ok_ = ok_ && WriteFloat64(out_, v); }
    void Text(std::string_view utf8) { ok_ = ok_ && WriteSizedString(out_, utf8); }
    void Bytes(const void* p, std::size_t n) { ok_ = ok_ && out_.Write(p, n); }
    // One entry of the settings table as the file holds it.
    void Setting(const SettingInfo& info) {
        const double v = info.get(s_);
        switch (info.stored) {
            case FileField::Extension:
                break;
            case FileField::Flag:
                Byte(v != 0 ? 1 : 0);
                break;
            case FileField::Byte:
                if (info.kind != SettingKind::Radio) {
                    Byte(static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)));
                } else if (&RadioGroup(info).front() == &info) {
                    Byte(static_cast<std::uint8_t>(std::max(0, ChosenInGroup(info, s_))));
                }
                break;
            case FileField::Int32:
                Int32(SpinToInt32(v));
                break;
            case FileField::Float64:
                Float64(v);
                break;
            case FileField::Colour:
                Int32(static_cast<std::int32_t>(static_cast<TColor>(v)));
                break;
        }
    }

    void Line(const TLine& line) {
        Points(line.Points());
        Points(line.Outline());
    }

    void Image(const DibImage& dib) {
        if (!dib.Bits || !dib.Info) {
            Int32(0);
            Int32(0);
            return;
        }
        const BitmapInfoHeader& h = dib.Info->bmiHeader;
        const std::int32_t colors = DibColorCount(dib);
        const bool table = colors <= 256;
        Int32(table ? 40 + 4 * colors : 40);
        Int32(table ? colors : 0);
        std::uint8_t header[40];
        PutU32(header + 0, h.biSize);
        PutU32(header + 4, std::uint32_t(h.biWidth));
        PutU32(header + 8, std::uint32_t(h.biHeight));
        PutU16(header + 12, h.biPlanes);
        PutU16(header + 14, h.biBitCount);
        PutU32(header + 16, h.biCompression);
        PutU32(header + 20, h.biSizeImage);
        PutU32(header + 24, std::uint32_t(h.biXPelsPerMeter));
        PutU32(header + 28, std::uint32_t(h.biYPelsPerMeter));
        PutU32(header + 32, h.biClrUsed);
        PutU32(header + 36, h.biClrImportant);
        Bytes(header, sizeof header);
        if (table) Bytes(dib.Info->bmiColors, std::size_t(colors) * sizeof(RgbQuad));
        Bytes(dib.Bits.get(), DibImageSize(dib));
    }

  private:
    static void PutU16(std::uint8_t* p, std::uint16_t v) {
        p[0] = std::uint8_t(v);
        p[1] = std::uint8_t(v >> 8);
    }
    static void PutU32(std::uint8_t* p, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            p[i] = std::uint8_t(v >> (8 * i));
    }
    void Points(const std::vector<TPoint>& points) {
        Int32(static_cast<std::int32_t>(points.size()));
        for (const TPoint& p : points) {
            Int32(p.x);
            Int32(p.y);
        }
    }

    const LetteringSettings& s_;
    ByteSink& out_;
    bool ok_ = true;
};

// ---- reading ----------------------------------------------------------------------------------

std::uint32_t GetU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t GetU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// A stored value of a setting other than a radio button, taken as its control takes it: a spin
// value brought into its field's range, a list index beyond the list's entries leaving the list
// as it was.
void TakeStoredValue(const SettingInfo& info, double v, LetteringSettings& s) {
    if (info.kind == SettingKind::List) {
        if (v >= info.minimum && v <= info.maximum) info.set(s, v);
    } else {
        info.set(s, ClampSettingValue(info, v));
    }
}

// Reads field after field into a copy of the settings. Every read checks the bytes left; the
// first failure sticks, and the caller then throws the copy away.
class FieldReader {
  public:
    FieldReader(LetteringSettings& s, ByteSource& in) : s_(s), in_(in) {}
    bool ok() const { return ok_; }
    void Fail() { ok_ = false; }

    std::uint8_t Byte() {
        std::uint8_t v = 0;
        ok_ = ok_ && ReadByte(in_, v);
        return v;
    }
    std::int32_t Int32() {
        std::int32_t v = 0;
        ok_ = ok_ && ReadInt32(in_, v);
        return v;
    }
    double Float64() {
        double v = 0;
        ok_ = ok_ && ReadFloat64(in_, v);
        return v;
    }
    std::string Text() {
        std::string v;
        ok_ = ok_ && ReadSizedString(in_, v, kMaxTextBytes);
        return v;
    }
    // One entry of the settings table. A spin value is brought into its field's range, as the
    // field does when it is given one; a list index beyond the list's entries, or a radio
    // group's index beyond its buttons, leaves the control as it was. Colours here are plain
    // RGB; a high byte (a system colour where the file was made) is dropped.
    void Setting(const SettingInfo& info) {
        double v = 0;
        switch (info.stored) {
            case FileField::Extension:
                return;
            case FileField::Flag:
                v = Byte() != 0 ? 1 : 0;
                break;
            case FileField::Byte:
                if (info.kind == SettingKind::Radio) {
                    const std::span<const SettingInfo> group = RadioGroup(info);
                    if (&group.front() != &info) return;
                    const std::uint8_t chosen = Byte();
                    if (ok_ && chosen < group.size()) group[chosen].set(s_, 1);
                    return;
                }
                v = Byte();
                break;
            case FileField::Int32:
                v = Int32();
                break;
            case FileField::Float64:
                v = Float64();
                break;
            case FileField::Colour:
                v = static_cast<TColor>(Int32()) & 0xFFFFFF;
                break;
        }
        if (ok_) TakeStoredValue(info, v, s_);
    }

    std::optional<TLine> Line() {
        std::vector<TPoint> points = Points();
        std::vector<TPoint> outline = Points();
        if (!ok_) return std::nullopt;
        TLine line;
        line.Assign(std::move(points), std::move(outline));
        return line;
    }

    // An image block; its info block is checked and kept verbatim, so that the image goes out
    // again byte for byte.
    DibImage Image() {
        DibImage dib;
        const std::int32_t infoSize = Int32();
        const std::int32_t colorCount = Int32();
        if (!ok_ || (infoSize == 0 && colorCount == 0)) return dib;
        if (infoSize < 40 || infoSize > std::int32_t(sizeof(BitmapInfo))) return Failed();
        std::uint8_t raw[sizeof(BitmapInfo)];
        if (!in_.Read(raw, std::size_t(infoSize))) return Failed();

        auto info = std::make_unique<BitmapInfo>();
        BitmapInfoHeader& h = info->bmiHeader;
        h.biSize = GetU32(raw + 0);
        h.biWidth = static_cast<std::int32_t>(GetU32(raw + 4));
        h.biHeight = static_cast<std::int32_t>(GetU32(raw + 8));
        h.biPlanes = GetU16(raw + 12);
        h.biBitCount = GetU16(raw + 14);
        h.biCompression = GetU32(raw + 16);
        h.biSizeImage = GetU32(raw + 20);
        h.biXPelsPerMeter = static_cast<std::int32_t>(GetU32(raw + 24));
        h.biYPelsPerMeter = static_cast<std::int32_t>(GetU32(raw + 28));
        h.biClrUsed = GetU32(raw + 32);
        h.biClrImportant = GetU32(raw + 36);

        const int bits = h.biBitCount;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return Failed();
        const std::int32_t tableSize = PaletteSize(bits);
        if (infoSize != 40 + 4 * tableSize || colorCount != tableSize) return Failed();
        if (h.biSize != 40 || h.biCompression != 0 || h.biClrUsed > std::uint32_t(tableSize))
            return Failed();
        // An embedded texture keeps to the limits of a texture file: the format stores it
        // decoded, so a larger one would cost gigabytes for a picture no larger than 9999 x 9999.
        if (h.biWidth < 1 || h.biHeight < 1 || h.biWidth > kTextureLimits.maxSide ||
            h.biHeight > kTextureLimits.maxSide ||
            std::int64_t(h.biWidth) * h.biHeight > kTextureLimits.maxPixels)
            return Failed();
        const std::int64_t size = DibStride(h.biWidth, bits) * h.biHeight;
        if (size > kMaxDibBytes || std::uint64_t(size) > in_.Remaining()) return Failed();
        // Code that sizes buffers from the header must find the true size there, or none.
        if (h.biSizeImage != 0 && h.biSizeImage != std::uint64_t(size)) return Failed();
        std::memcpy(info->bmiColors, raw + 40, std::size_t(tableSize) * sizeof(RgbQuad));

        newdib(dib, h.biWidth, h.biHeight, bits, info.get(), colorCount);
        if (!dib.Bits) return Failed();
        *dib.Info = *info;
        if (!in_.Read(dib.Bits.get(), std::size_t(size))) return Failed();
        return dib;
    }

  private:
    DibImage Failed() {
        ok_ = false;
        return {};
    }

    std::vector<TPoint> Points() {
        const std::int32_t n = Int32();
        if (!ok_ || n < 0 || n > kMaxDocumentPoints || std::uint64_t(n) * 8 > in_.Remaining()) {
            ok_ = false;
            return {};
        }
        std::vector<TPoint> points(static_cast<std::size_t>(n));
        for (TPoint& p : points) {
            p.x = Int32();
            p.y = Int32();
        }
        return points;
    }

    LetteringSettings& s_;
    ByteSource& in_;
    bool ok_ = true;
};

// ---- extension blocks -------------------------------------------------------------------------

// Settings beyond the fixed layout follow the fixed content in extension blocks: a tag, the
// block's version and the byte count of its body (both int32), then the body. The body of our
// version is a count of records, each the setting's table name and its value, both as an int32
// count and the bytes; our values are doubles, a radio group's the index of its chosen button,
// stored once at its first button. A block is written only when it holds something, so a
// document that keeps to the fixed layout is written as it always was. Bytes after the fixed
// content that do not start with the tag are no block and are left alone, as they always were.
constexpr char kExtensionTag[4] = {'G', 'W', 'E', 'X'};
constexpr std::int32_t kExtensionVersion = 1;
constexpr std::size_t kMaxExtensionName = 256;

bool StoredInExtension(const SettingInfo& info) {
    return info.stored == FileField::Extension &&
           (info.kind != SettingKind::Radio || &RadioGroup(info).front() == &info);
}

// The value a record holds, and the one it would hold at the start state.
double ExtensionValue(const SettingInfo& info, const LetteringSettings& s) {
    return info.kind == SettingKind::Radio ? ChosenInGroup(info, s) : info.get(s);
}
double ExtensionStartValue(const SettingInfo& info) {
    return ExtensionValue(info, LetteringSettings{});
}

std::vector<std::uint8_t> DoubleBytes(double v) {
    MemorySink sink;
    WriteFloat64(sink, v);
    return sink.Take();
}

void WriteCounted(FieldWriter& w, const void* bytes, std::size_t n) {
    w.Int32(static_cast<std::int32_t>(n));
    w.Bytes(bytes, n);
}

void WriteExtensions(const Lettering& lettering, FieldWriter& w) {
    std::vector<KeptExtensions::Record> records;
    for (const SettingInfo& info : SettingsTable()) {
        if (!StoredInExtension(info)) continue;
        const double v = ExtensionValue(info, lettering.settings);
        if (v != ExtensionStartValue(info))
            records.push_back({std::string(info.name), DoubleBytes(v)});
    }
    const KeptExtensions& kept = lettering.keptExtensions;
    records.insert(records.end(), kept.records.begin(), kept.records.end());
    if (!records.empty()) {
        MemorySink body;
        FieldWriter b(lettering.settings, body);
        b.Int32(static_cast<std::int32_t>(records.size()));
        for (const KeptExtensions::Record& r : records) {
            WriteCounted(b, r.name.data(), r.name.size());
            WriteCounted(b, r.value.data(), r.value.size());
        }
        w.Bytes(kExtensionTag, sizeof kExtensionTag);
        w.Int32(kExtensionVersion);
        WriteCounted(w, body.Bytes().data(), body.Bytes().size());
    }
    w.Bytes(kept.laterBlocks.data(), kept.laterBlocks.size());
}

bool ReadCounted(ByteSource& in, std::vector<std::uint8_t>& bytes, std::uint64_t maxBytes) {
    std::int32_t n = 0;
    if (!ReadInt32(in, n) || n < 0 || std::uint64_t(n) > in.Remaining() ||
        std::uint64_t(n) > maxBytes)
        return false;
    bytes.resize(std::size_t(n));
    return in.Read(bytes.data(), bytes.size());
}

// One block of our version into the settings; records of settings we do not know into `kept`.
bool ReadExtensionBody(std::span<const std::uint8_t> body, LetteringSettings& s,
                       std::vector<KeptExtensions::Record>& kept) {
    MemorySource in(body);
    std::int32_t count = 0;
    // A record takes at least its two counts.
    if (!ReadInt32(in, count) || count < 0 || std::uint64_t(count) * 8 > in.Remaining())
        return false;
    std::set<std::string> names;
    for (std::int32_t i = 0; i < count; ++i) {
        std::vector<std::uint8_t> name, value;
        if (!ReadCounted(in, name, kMaxExtensionName) || !ReadCounted(in, value, body.size()))
            return false;
        KeptExtensions::Record record{std::string(name.begin(), name.end()), std::move(value)};
        if (!names.insert(record.name).second) return false;
        const SettingInfo* info = FindSetting(record.name);
        if (!info || !StoredInExtension(*info)) {
            kept.push_back(std::move(record));
            continue;
        }
        MemorySource valueBytes(record.value);
        double v = 0;
        if (record.value.size() != 8 || !ReadFloat64(valueBytes, v)) return false;
        if (info->kind != SettingKind::Radio) {
            TakeStoredValue(*info, v, s);
        } else {
            const std::span<const SettingInfo> group = RadioGroup(*info);
            if (v >= 0 && v < double(group.size())) group[std::size_t(v)].set(s, 1);
        }
    }
    return in.Remaining() == 0;
}

// The blocks after the fixed content. A setting stored there that no block names has its start
// value, as in a document of the fixed layout. False when a block is damaged.
bool ReadExtensions(ByteSource& in, LetteringSettings& s, KeptExtensions& kept) {
    const LetteringSettings start;
    for (const SettingInfo& info : SettingsTable())
        if (info.stored == FileField::Extension) info.set(s, info.get(start));
    while (in.Remaining() >= sizeof kExtensionTag) {
        char tag[sizeof kExtensionTag];
        if (!in.Read(tag, sizeof tag)) return false;
        if (std::memcmp(tag, kExtensionTag, sizeof tag) != 0) return true;
        std::int32_t version = 0;
        std::vector<std::uint8_t> body;
        if (!ReadInt32(in, version) || version < 1 || !ReadCounted(in, body, in.Remaining()))
            return false;
        if (version == kExtensionVersion) {
            if (!ReadExtensionBody(body, s, kept.records)) return false;
            continue;
        }
        // A later layout we cannot read: kept whole, to go back as it came.
        MemorySink whole;
        FieldWriter w(s, whole);
        w.Bytes(tag, sizeof tag);
        w.Int32(version);
        WriteCounted(w, body.data(), body.size());
        const std::vector<std::uint8_t>& bytes = whole.Bytes();
        kept.laterBlocks.insert(kept.laterBlocks.end(), bytes.begin(), bytes.end());
    }
    return true;
}

}  // namespace

bool IsInstalledFont(const std::string& font, const std::string& listedSpelling) {
    return font == kDefaultFont || (!font.empty() && listedSpelling == font);
}

std::optional<std::string> InstalledFontSpelling(const std::string& font,
                                                 const std::string& listedSpelling) {
    if (IsInstalledFont(font, listedSpelling)) return font;
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    if (std::ranges::equal(std::string_view(kDefaultFont), font, {}, lower, lower))
        return std::string(kDefaultFont);
    if (!listedSpelling.empty()) return listedSpelling;
    return std::nullopt;
}

bool WriteLettering(const Lettering& lettering, ByteSink& out) {
    const LetteringSettings& s = lettering.settings;
    FieldWriter w(s, out);
    w.Bytes(kIdentification.data(), kIdentification.size());
    w.Text(JoinLines(s.Memo1));
    w.Text(s.Font.name);
    for (const SettingInfo& info : StoredSettings(true))
        w.Setting(info);
    w.Int32(lettering.width);
    w.Int32(lettering.height);
    w.Line(lettering.EnvelopeLines[0]);
    w.Line(lettering.EnvelopeLines[1]);
    for (const SettingInfo& info : StoredSettings(false))
        w.Setting(info);
    w.Image(lettering.BackgroundTexture);
    w.Image(lettering.TextTexture);
    WriteExtensions(lettering, w);
    return w.ok();
}

std::uint64_t LetteringFileSize(const Lettering& lettering) {
    class CountingSink final : public ByteSink {
      public:
        bool Write(const void*, std::size_t n) override {
            count += n;
            return true;
        }
        std::uint64_t count = 0;
    } sink;
    WriteLettering(lettering, sink);
    return sink.count;
}

std::vector<std::uint8_t> LetteringFileBytes(const Lettering& lettering) {
    MemorySink sink;
    WriteLettering(lettering, sink);
    return sink.Take();
}

DocumentResult ReadLettering(Lettering& lettering, ByteSource& in, std::string_view name) {
    char id[kIdentification.size()];
    const std::size_t idLength =
        std::size_t(std::min<std::uint64_t>(in.Remaining(), kIdentification.size()));
    if (!in.Read(id, idLength)) return Damaged(name);
    if (std::string_view(id, idLength) != kIdentification.substr(0, idLength))
        return Failure(catalogue::Tr("Die Datei ist keine gültige Zarbo-Glyphwerk Datei!"));
    if (idLength < kIdentification.size()) return Damaged(name);

    LetteringSettings s = lettering.settings;
    FieldReader r(s, in);
    const std::string text = r.Text();
    const std::string font = r.Text();
    if (!r.ok()) return Damaged(name);
    s.Memo1 = SplitTextLines(text);
    if (!TextFitsDocument(s.Memo1)) return Damaged(name);
    // A font that is not installed here keeps its name: a stand-in is drawn, and the document is
    // saved back as it came.
    s.Font.name = font;
    for (const SettingInfo& info : StoredSettings(true))
        r.Setting(info);
    const std::int32_t width = r.Int32();
    const std::int32_t height = r.Int32();
    // The program makes no other sizes; a larger one would only cost memory the size dialog
    // never asks for.
    if (!r.ok() || width < kMinPictureSide || height < kMinPictureSide || width > kMaxPictureSide ||
        height > kMaxPictureSide)
        return Damaged(name);
    std::optional<TLine> upper = r.Line();
    std::optional<TLine> lower = r.Line();
    for (const SettingInfo& info : StoredSettings(false))
        r.Setting(info);
    DibImage background = r.Image();
    DibImage textTexture = r.Image();
    if (!r.ok() || !upper || !lower) return Damaged(name);
    KeptExtensions kept;
    if (!ReadExtensions(in, s, kept)) return Damaged(name);

    lettering.settings = std::move(s);
    lettering.width = width;
    lettering.height = height;
    lettering.EnvelopeLines[0] = std::move(*upper);
    lettering.EnvelopeLines[1] = std::move(*lower);
    lettering.BackgroundTexture = std::move(background);
    lettering.TextTexture = std::move(textTexture);
    lettering.keptExtensions = std::move(kept);
    return {};
}

DocumentResult ReadLetteringBytes(Lettering& lettering, std::span<const std::uint8_t> bytes,
                                  std::string_view name) {
    MemorySource in(bytes);
    return ReadLettering(lettering, in, name);
}

bool WriteVerifiedLettering(const Lettering& lettering, int fd) {
    FileSink sink(fd);
    if (!WriteLettering(lettering, sink) || !sink.Flush()) return false;
    struct stat written {};
    if (::fstat(fd, &written) != 0 || ::lseek(fd, 0, SEEK_SET) != 0) return false;
    FileSource in(fd, std::uint64_t(written.st_size));
    Lettering check;
    return ReadLettering(check, in, {}).ok && in.Remaining() == 0;
}

DocumentResult ReadLetteringStream(Lettering& lettering, int fd, std::string_view name) {
    std::vector<std::uint8_t> bytes(kIdentification.size());
    std::size_t have = 0;
    while (have < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            return Failure(catalogue::Fill(
                catalogue::Tr("Zarbo-Glyphwerk Datei öffnen: Konnte die Datei %1 nicht lesen!"),
                {name}));
        if (n == 0) break;
        have += std::size_t(n);
    }
    bytes.resize(have);
    if (have == kIdentification.size() &&
        std::memcmp(bytes.data(), kIdentification.data(), have) == 0) {
        switch (ReadAtMost(fd, LargestDocumentBytes(), bytes)) {
            case ReadStatus::Ok:
                break;
            case ReadStatus::TooLarge:
                return Failure(catalogue::Fill(
                    catalogue::Tr("Zarbo-Glyphwerk Datei öffnen: %1 ist größer als jede "
                                  "Zarbo-Glyphwerk Datei (höchstens %2 MiB)!"),
                    {name, std::to_string(LargestDocumentBytes() >> 20)}));
            case ReadStatus::Failed:
                return Failure(catalogue::Fill(
                    catalogue::Tr("Zarbo-Glyphwerk Datei öffnen: Konnte die Datei %1 nicht lesen!"),
                    {name}));
        }
    }
    return ReadLetteringBytes(lettering, bytes, name);
}

DocumentResult SaveLetteringFile(const Lettering& lettering, const std::string& fileName) {
    const std::string name = FileNameOnly(fileName);
    // The check that reads the document back needs memory of its own.
    const std::uint64_t failuresAtStart = AllocationFailures();
    const ReplaceStatus status = ReplaceFile(
        fileName, [&lettering](int fd) { return WriteVerifiedLettering(lettering, fd); });
    switch (status) {
        case ReplaceStatus::Ok:
            return {};
        case ReplaceStatus::NotWritten:
            if (AllocationFailures() != failuresAtStart) return Failure(kOutOfMemoryMessage);
            return Failure(catalogue::Fill(
                catalogue::Tr("Zarbo-Glyphwerk Datei speichern: Konnte die Datei %1 nicht "
                              "schreiben!"),
                {name}));
        case ReplaceStatus::NotCreated:
            break;
    }
    return Failure(catalogue::Fill(
        catalogue::Tr("Zarbo-Glyphwerk Datei speichern: Konnte die Datei %1 nicht erstellen!"),
        {name}));
}

DocumentResult OpenLetteringFile(Lettering& lettering, const std::string& fileName) {
    const std::string name = FileNameOnly(fileName);
    std::uint64_t size = 0;
    const int fd = OpenRegularFile(fileName, size);
    if (fd < 0) {
        return Failure(catalogue::Fill(
            catalogue::Tr("Zarbo-Glyphwerk Datei öffnen: Konnte die Datei %1 nicht öffnen!"),
            {name}));
    }
    FileSource in(fd, size);
    DocumentResult result = ReadLettering(lettering, in, name);
    ::close(fd);
    return result;
}

}  // namespace gw
