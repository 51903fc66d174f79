#include "document/LetteringFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "document/PictureSize.h"
#include "document/SettingsTable.h"
#include "platform/FileAccess.h"
#include "raster/DibService.h"
#include "raster/ImageFiles.h"

namespace gw {
namespace {

constexpr std::string_view kIdentification = kProgramTitle;
static_assert(sizeof(kProgramTitle) - 1 == 27);
constexpr char kErrorTitle[] = "Fehler";
// The font of the program's own default lettering; the shipped font rule always stands in for it.
constexpr char kDefaultFont[] = "Arial Black";

DocumentResult Failure(std::string message) {
    return {false, std::move(message), kErrorTitle};
}

DocumentResult Damaged(std::string_view name) {
    return Failure("Zarbo-Glyphwerk Datei öffnen: Die Datei " + std::string(name) +
                   " ist beschädigt!");
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
            case FileField::NotStored:
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
            case FileField::NotStored:
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
        if (!ok_) return;
        if (info.kind == SettingKind::List) {
            if (v >= info.minimum && v <= info.maximum) info.set(s_, v);
        } else {
            info.set(s_, ClampSettingValue(info, v));
        }
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

}  // namespace

bool IsInstalledFont(const std::string& font, std::span<const std::string> installedFonts) {
    return font == kDefaultFont ||
           std::find(installedFonts.begin(), installedFonts.end(), font) != installedFonts.end();
}

std::optional<std::string> InstalledFontSpelling(std::string_view font,
                                                 std::span<const std::string> installedFonts) {
    if (IsInstalledFont(std::string(font), installedFonts)) return std::string(font);
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    const auto sameName = [&](std::string_view name) {
        return std::ranges::equal(name, font, {}, lower, lower);
    };
    if (sameName(kDefaultFont)) return std::string(kDefaultFont);
    for (const std::string& name : installedFonts)
        if (sameName(name)) return name;
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
        return Failure("Die Datei ist keine gültige Zarbo-Glyphwerk Datei!");
    if (idLength < kIdentification.size()) return Damaged(name);

    LetteringSettings s = lettering.settings;
    FieldReader r(s, in);
    const std::string text = r.Text();
    const std::string font = r.Text();
    if (!r.ok()) return Damaged(name);
    s.Memo1 = SplitTextLines(text);
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

    lettering.settings = std::move(s);
    lettering.width = width;
    lettering.height = height;
    lettering.EnvelopeLines[0] = std::move(*upper);
    lettering.EnvelopeLines[1] = std::move(*lower);
    lettering.BackgroundTexture = std::move(background);
    lettering.TextTexture = std::move(textTexture);
    return {};
}

DocumentResult ReadLetteringBytes(Lettering& lettering, std::span<const std::uint8_t> bytes,
                                  std::string_view name) {
    MemorySource in(bytes);
    return ReadLettering(lettering, in, name);
}

DocumentResult SaveLetteringFile(const Lettering& lettering, const std::string& fileName) {
    const std::string name = FileNameOnly(fileName);
    const ReplaceStatus status = ReplaceFile(fileName, [&lettering](int fd) {
        FileSink sink(fd);
        return WriteLettering(lettering, sink) && sink.Flush();
    });
    switch (status) {
        case ReplaceStatus::Ok:
            return {};
        case ReplaceStatus::NotWritten:
            return Failure("Zarbo-Glyphwerk Datei speichern: Konnte die Datei " + name +
                           " nicht schreiben!");
        case ReplaceStatus::NotCreated:
            break;
    }
    return Failure("Zarbo-Glyphwerk Datei speichern: Konnte die Datei " + name +
                   " nicht erstellen!");
}

DocumentResult OpenLetteringFile(Lettering& lettering, const std::string& fileName) {
    const std::string name = FileNameOnly(fileName);
    std::uint64_t size = 0;
    const int fd = OpenRegularFile(fileName, size);
    if (fd < 0) {
        return Failure("Zarbo-Glyphwerk Datei öffnen: Konnte die Datei " + name + " nicht öffnen!");
    }
    FileSource in(fd, size);
    DocumentResult result = ReadLettering(lettering, in, name);
    ::close(fd);
    return result;
}

}  // namespace gw
