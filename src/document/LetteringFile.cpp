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

const SettingInfo& Info(std::string_view name) {
    const SettingInfo* info = FindSetting(name);
    if (!info) std::abort();  // a name below missing from the table is a programming error
    return *info;
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
    void Flag(bool v) { Byte(v ? 1 : 0); }
    void Colour(TColor c) { Int32(static_cast<std::int32_t>(c)); }
    void Spin(std::string_view name) { Int32(SpinToInt32(Info(name).get(s_))); }
    void Choice(std::string_view name) {
        Byte(static_cast<std::uint8_t>(std::clamp(Info(name).get(s_), 0.0, 255.0)));
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
    bool Flag() { return Byte() != 0; }
    // Colours here are plain RGB; a high byte (a system colour where the file was made) is dropped.
    TColor Colour() { return static_cast<TColor>(Int32()) & 0xFFFFFF; }

    // A spin value is brought into its field's range, as the field does when it is given one.
    void Spin(std::string_view name) {
        const SettingInfo& info = Info(name);
        const std::int32_t v = Int32();
        if (ok_) info.set(s_, ClampSettingValue(info, v));
    }
    // A list index beyond the list's entries leaves the list as it was.
    void Choice(std::string_view name) {
        const SettingInfo& info = Info(name);
        const std::uint8_t v = Byte();
        if (ok_ && v <= info.maximum) info.set(s_, v);
    }
    // A radio group takes 0, 1 or 2; any other byte leaves it as it was.
    template <typename Enum>
    void Radio(Enum& group) {
        const std::uint8_t v = Byte();
        if (ok_ && v < 3) group = static_cast<Enum>(v);
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
        if (h.biWidth < 1 || h.biHeight < 1 || h.biWidth > kMaxDibSide || h.biHeight > kMaxDibSide)
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
    w.Choice("AusrichtBox");
    w.Flag(s.FettBtn);
    w.Flag(s.KursivBtn);
    w.Byte(static_cast<std::uint8_t>(s.SurfaceFrame1.kind));
    w.Colour(s.SurfaceFrame1.color);
    w.Byte(static_cast<std::uint8_t>(s.SurfaceFrame2.kind));
    w.Colour(s.SurfaceFrame2.color);
    w.Byte(static_cast<std::uint8_t>(s.editMode));
    w.Float64(s.SpiralEd);
    w.Int32(lettering.width);
    w.Int32(lettering.height);
    w.Line(lettering.EnvelopeLines[0]);
    w.Line(lettering.EnvelopeLines[1]);
    w.Byte(static_cast<std::uint8_t>(s.deform));
    w.Spin("StarkEd");
    w.Spin("AnzahlEd");
    w.Flag(s.KanteCheck);
    w.Flag(s.KQualCheck);
    w.Flag(s.KFixedWCheck);
    w.Flag(s.Invers1Check);
    w.Flag(s.BkGnd1);
    w.Flag(s.BkGnd2);
    w.Choice("Profil1Box");
    w.Choice("Profil2Box");
    w.Spin("KWinkEd");
    w.Spin("KBreiteEd");
    w.Spin("KLichtEd");
    w.Flag(s.SchattenCheck);
    w.Colour(s.SColorShape);
    w.Spin("SDeckEd");
    w.Spin("SWeichEd");
    w.Choice("SRichtBox");
    w.Spin("SRightEd");
    w.Spin("SBottomEd");
    w.Int32(s.FrameStyle);
    w.Colour(s.RColorShape);
    w.Spin("RBreitEd");
    w.Spin("RHochEd");
    w.Flag(s.RTextcheck);
    w.Image(lettering.BackgroundTexture);
    w.Image(lettering.TextTexture);
    return w.ok();
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
    r.Choice("AusrichtBox");
    s.FettBtn = r.Flag();
    s.KursivBtn = r.Flag();
    if (!r.ok()) return Damaged(name);
    s.Memo1 = SplitTextLines(text);
    // A font that is not installed here keeps its name: a stand-in is drawn, and the document is
    // saved back as it came.
    s.Font.name = font;
    s.Font.bold = s.FettBtn;
    s.Font.italic = s.KursivBtn;

    r.Radio(s.SurfaceFrame1.kind);
    s.SurfaceFrame1.color = r.Colour();
    r.Radio(s.SurfaceFrame2.kind);
    s.SurfaceFrame2.color = r.Colour();
    r.Radio(s.editMode);
    const double spiral = r.Float64();
    s.SpiralEd = ClampSettingValue(Info("SpiralEd"), spiral);
    const std::int32_t width = r.Int32();
    const std::int32_t height = r.Int32();
    // The program makes no other sizes; a larger one would only cost memory the size dialog
    // never asks for.
    if (!r.ok() || width < kMinPictureSide || height < kMinPictureSide || width > kMaxPictureSide ||
        height > kMaxPictureSide)
        return Damaged(name);
    std::optional<TLine> upper = r.Line();
    std::optional<TLine> lower = r.Line();

    r.Radio(s.deform);
    r.Spin("StarkEd");
    r.Spin("AnzahlEd");
    s.KanteCheck = r.Flag();
    s.KQualCheck = r.Flag();
    s.KFixedWCheck = r.Flag();
    s.Invers1Check = r.Flag();
    s.BkGnd1 = r.Flag();
    s.BkGnd2 = r.Flag();
    r.Choice("Profil1Box");
    r.Choice("Profil2Box");
    r.Spin("KWinkEd");
    r.Spin("KBreiteEd");
    r.Spin("KLichtEd");
    s.SchattenCheck = r.Flag();
    s.SColorShape = r.Colour();
    r.Spin("SDeckEd");
    r.Spin("SWeichEd");
    r.Choice("SRichtBox");
    r.Spin("SRightEd");
    r.Spin("SBottomEd");
    // A style the frame gallery does not have leaves the frame as it was, like a choice byte.
    const std::int32_t frameStyle = r.Int32();
    if (frameStyle >= 0 && frameStyle <= 4) s.FrameStyle = frameStyle;
    s.RColorShape = r.Colour();
    r.Spin("RBreitEd");
    r.Spin("RHochEd");
    s.RTextcheck = r.Flag();
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
