#include "document/LetteringFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

#include "raster/DibService.h"

namespace gw {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const std::string kDamaged = "Zarbo-Glyphwerk Datei öffnen: Die Datei t.zgw ist beschädigt!";

// A texture of the DIB service with a recognisable colour table and pixels.
DibImage MakeTexture(int bits, std::int32_t w, std::int32_t h, std::uint8_t seed) {
    BitmapInfo colours;
    for (int i = 0; i < 256; ++i)
        colours.bmiColors[i] = {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i ^ seed), 0};
    DibImage dib;
    newdib(dib, w, h, bits, &colours, PaletteSize(bits));
    for (std::size_t i = 0; i < DibImageSize(dib); ++i)
        dib.Bits[i] = std::uint8_t(i * 7 + seed);
    return dib;
}

Lettering StartWithTextures() {
    Lettering lettering;
    InitStartState(lettering);
    lettering.TextTexture = MakeTexture(8, 5, 3, 1);
    lettering.BackgroundTexture = MakeTexture(24, 3, 2, 2);
    return lettering;
}

// Every setting away from its start value, lines of several shapes.
Lettering BusyLettering() {
    Lettering lettering = StartWithTextures();
    LetteringSettings& s = lettering.settings;
    s.Memo1 = {"Erste", "", "Dritte Zeile"};
    s.Font = {"DejaVu Serif", -16, true, false};
    s.AusrichtBox = 2;
    s.SurfaceFrame1 = {SurfaceKind::OwnTexture, 0x102030};
    s.SurfaceFrame2 = {SurfaceKind::BuiltinTexture, 0x405060};
    s.editMode = EditMode::EdPointsCheck;
    s.SpiralEd = 2.35;
    s.deform = DeformMode::RandDeform;
    s.StarkEd = 77;
    s.AnzahlEd = 9;
    s.KanteCheck = true;
    s.KQualCheck = false;
    s.KFixedWCheck = s.Invers1Check = s.BkGnd1 = s.BkGnd2 = true;
    s.Profil1Box = 3;
    s.Profil2Box = 0;
    s.KWinkEd = -170;
    s.KBreiteEd = 60;
    s.KLichtEd = 420;
    s.SchattenCheck = true;
    s.SColorShape = 0xABCDEF;
    s.SDeckEd = 88;
    s.SWeichEd = 30;
    s.SRichtBox = 1;
    s.SRightEd = -100;
    s.SBottomEd = -7;
    s.FrameStyle = 4;
    s.RColorShape = 0x00FF00;
    s.RBreitEd = 0;
    s.RHochEd = 100;
    s.RTextcheck = true;
    lettering.width = 640;
    lettering.height = 480;
    lettering.EnvelopeLines[0].Clear();
    for (int i = 0; i < 7; ++i)
        lettering.EnvelopeLines[0].AddPoint(i * 90 - 5, (i % 2) * 40 - 3);
    lettering.EnvelopeLines[0].BuildOutline();
    lettering.EnvelopeLines[1].Clear();
    return lettering;
}

void ExpectSameImage(const DibImage& a, const DibImage& b) {
    ASSERT_EQ(a.Empty(), b.Empty());
    if (a.Empty()) return;
    EXPECT_EQ(std::memcmp(a.Info.get(), b.Info.get(), sizeof(BitmapInfo)), 0);
    ASSERT_EQ(DibImageSize(a), DibImageSize(b));
    EXPECT_EQ(std::memcmp(a.Bits.get(), b.Bits.get(), DibImageSize(a)), 0);
}

void ExpectSameDocument(const Lettering& a, const Lettering& b) {
    EXPECT_EQ(a.settings, b.settings);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.EnvelopeLines[0], b.EnvelopeLines[0]);
    EXPECT_EQ(a.EnvelopeLines[1], b.EnvelopeLines[1]);
    ExpectSameImage(a.TextTexture, b.TextTexture);
    ExpectSameImage(a.BackgroundTexture, b.BackgroundTexture);
}

DocumentResult Read(Lettering& into, const Bytes& bytes) {
    return ReadLetteringBytes(into, bytes, "t.zgw");
}

std::int32_t Int32At(const Bytes& b, std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
void PutInt32(Bytes& b, std::size_t at, std::int32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}

// Offsets in the file of the start lettering: text "ZEF-LOR\r\nGbR\r\n", font "Arial Black".
constexpr std::size_t kTextCount = 27, kFontCount = 45, kAlignment = 60, kSurface1 = 63,
                      kColour1 = 64, kSurface2 = 68, kEditMode = 73, kSpiral = 74, kWidth = 82,
                      kUpperLine = 90;
// The upper line's two points and 407 outline pixels, then the lower line's, then the settings.
constexpr std::size_t kLowerLine = kUpperLine + 4 + 16 + 4 + 407 * 8;
constexpr std::size_t kDeform = kLowerLine + 4 + 16 + 4 + 407 * 8;
constexpr std::size_t kFrameStyle = kDeform + 1 + 8 + 6 + 2 + 12 + 1 + 4 + 8 + 1 + 8;

// ---- round trips -------------------------------------------------------------------------------

TEST(DocumentRoundTrip, WholeStateComesBack) {
    const Lettering saved = BusyLettering();
    Lettering opened;
    InitStartState(opened);
    ASSERT_TRUE(Read(opened, LetteringFileBytes(saved)).ok);
    ExpectSameDocument(opened, saved);
}

TEST(DocumentRoundTrip, OpenAndSaveAgainIsByteForByte) {
    const Bytes first = LetteringFileBytes(BusyLettering());
    Lettering opened;
    ASSERT_TRUE(Read(opened, first).ok);
    EXPECT_EQ(LetteringFileBytes(opened), first);
}

TEST(DocumentRoundTrip, ThroughAFile) {
    const fs::path file =
        fs::temp_directory_path() / ("gw-doc-" + std::to_string(getpid()) + ".zgw");
    const Lettering saved = BusyLettering();
    ASSERT_TRUE(SaveLetteringFile(saved, file.string()).ok);
    Lettering opened;
    ASSERT_TRUE(OpenLetteringFile(opened, file.string()).ok);
    ExpectSameDocument(opened, saved);
    fs::remove(file);
}

TEST(DocumentRoundTrip, SpinValuesTruncatedSpiralKept) {
    Lettering lettering = StartWithTextures();
    lettering.settings.StarkEd = 33.9;
    lettering.settings.KWinkEd = -45.7;
    lettering.settings.SBottomEd = -0.5;
    lettering.settings.SpiralEd = 1.55;
    Lettering opened;
    ASSERT_TRUE(Read(opened, LetteringFileBytes(lettering)).ok);
    EXPECT_EQ(opened.settings.StarkEd, 33);
    EXPECT_EQ(opened.settings.KWinkEd, -45);
    EXPECT_EQ(opened.settings.SBottomEd, 0);
    EXPECT_EQ(opened.settings.SpiralEd, 1.55);
}

TEST(DocumentRoundTrip, EmptyTextAndLineWithoutPoints) {
    Lettering lettering = StartWithTextures();
    lettering.settings.Memo1.clear();
    lettering.EnvelopeLines[0].Clear();
    const Bytes bytes = LetteringFileBytes(lettering);
    EXPECT_EQ(Int32At(bytes, kTextCount), 0);
    EXPECT_EQ(Int32At(bytes, kUpperLine - 14), 0);  // the upper line comes 14 bytes earlier
    EXPECT_EQ(Int32At(bytes, kUpperLine - 14 + 4), 0);
    Lettering opened;
    InitStartState(opened);
    ASSERT_TRUE(Read(opened, bytes).ok);
    EXPECT_TRUE(opened.settings.Memo1.empty());
    EXPECT_EQ(opened.EnvelopeLines[0].PointCount(), 0);
    EXPECT_EQ(opened.EnvelopeLines[0].OutlineCount(), 0);
}

TEST(DocumentRoundTrip, EmptyTexturesStayEmpty) {
    Lettering lettering;
    InitStartState(lettering);
    const Bytes bytes = LetteringFileBytes(lettering);
    EXPECT_EQ(bytes.size(), kFrameStyle + 4 + 4 + 4 + 4 + 1 + 16);
    Lettering opened = StartWithTextures();
    ASSERT_TRUE(Read(opened, bytes).ok);
    EXPECT_TRUE(opened.TextTexture.Empty());
    EXPECT_TRUE(opened.BackgroundTexture.Empty());
}

TEST(DocumentRoundTrip, TextWithLineBreaksOfEveryKind) {
    Lettering lettering = StartWithTextures();
    lettering.settings.Memo1 = {"a"};
    Bytes bytes = LetteringFileBytes(lettering);  // "a\r\n"
    const std::string text = "a\rb\nc\r\n\r\nd";
    PutInt32(bytes, kTextCount, std::int32_t(text.size()));
    bytes.erase(bytes.begin() + kTextCount + 4, bytes.begin() + kTextCount + 4 + 3);
    bytes.insert(bytes.begin() + kTextCount + 4, text.begin(), text.end());
    Lettering opened;
    ASSERT_TRUE(Read(opened, bytes).ok);
    EXPECT_EQ(opened.settings.Memo1, (std::vector<std::string>{"a", "b", "c", "", "d"}));
}

// ---- layout -------------------------------------------------------------------------------------

TEST(DocumentLayout, FieldsAtFixedOffsets) {
    const Bytes b = LetteringFileBytes(StartWithTextures());
    EXPECT_EQ(std::string(b.begin(), b.begin() + 27), "ZEF-LOR Zarbo-Glyphwerk 2.1");
    EXPECT_EQ(Int32At(b, kTextCount), 14);
    EXPECT_EQ(std::string(b.begin() + 31, b.begin() + 45), "ZEF-LOR\r\nGbR\r\n");
    EXPECT_EQ(Int32At(b, kFontCount), 11);
    EXPECT_EQ(std::string(b.begin() + 49, b.begin() + 60), "Arial Black");
    EXPECT_EQ(b[kAlignment], 0);
    EXPECT_EQ(Bytes(b.begin() + kColour1, b.begin() + kColour1 + 4), (Bytes{0, 0, 0xFF, 0}));
    double spiral;
    std::memcpy(&spiral, b.data() + kSpiral, 8);
    EXPECT_EQ(spiral, 1.5);
    EXPECT_EQ(Int32At(b, kWidth), 450);
    EXPECT_EQ(Int32At(b, kWidth + 4), 200);
    EXPECT_EQ(Int32At(b, kUpperLine), 2);
    EXPECT_EQ(Int32At(b, kUpperLine + 4), 22);
    EXPECT_EQ(Int32At(b, kUpperLine + 12), 428);
    EXPECT_EQ(Int32At(b, kUpperLine + 20), 407);
    EXPECT_EQ(Int32At(b, kLowerLine + 8), 190);
    EXPECT_EQ(b[kDeform + 9], 0);                 // KanteCheck
    EXPECT_EQ(b[kDeform + 10], 1);                // KQualCheck
    EXPECT_EQ(Int32At(b, kDeform + 17), -45);     // KWinkEd
    EXPECT_EQ(Int32At(b, kFrameStyle - 4), 10);   // SBottomEd
    EXPECT_EQ(Int32At(b, kFrameStyle + 12), 75);  // RHochEd

    // Background texture (24 bits, 3 x 2, rows of 12 bytes), then the text texture (8 bits).
    const std::size_t background = kFrameStyle + 17;
    EXPECT_EQ(Int32At(b, background), 40);
    EXPECT_EQ(Int32At(b, background + 4), 0);
    EXPECT_EQ(Int32At(b, background + 8), 40);  // biSize
    EXPECT_EQ(Int32At(b, background + 12), 3);
    const std::size_t text = background + 8 + 40 + 2 * 12;
    EXPECT_EQ(Int32At(b, text), 1064);
    EXPECT_EQ(Int32At(b, text + 4), 256);
    EXPECT_EQ(b.size(), text + 8 + 1064 + 3 * 8);
}

TEST(DocumentLayout, PaletteSizesOfSmallDepths) {
    Lettering lettering = StartWithTextures();
    lettering.TextTexture = MakeTexture(1, 9, 2, 3);
    lettering.BackgroundTexture = MakeTexture(4, 3, 3, 4);
    const Bytes b = LetteringFileBytes(lettering);
    EXPECT_EQ(Int32At(b, kFrameStyle + 17), 40 + 16 * 4);
    EXPECT_EQ(Int32At(b, kFrameStyle + 21), 16);
    Lettering opened;
    ASSERT_TRUE(Read(opened, b).ok);
    ExpectSameImage(opened.TextTexture, lettering.TextTexture);
    ExpectSameImage(opened.BackgroundTexture, lettering.BackgroundTexture);
}

// ---- text encoding ------------------------------------------------------------------------------

TEST(DocumentText, Windows1252WhenEveryCharacterFits) {
    Lettering lettering = StartWithTextures();
    lettering.settings.Memo1 = {"Größe €"};
    const Bytes b = LetteringFileBytes(lettering);
    EXPECT_EQ(Int32At(b, kTextCount), 9);
    EXPECT_EQ(Bytes(b.begin() + 31, b.begin() + 40),
              (Bytes{'G', 'r', 0xF6, 0xDF, 'e', ' ', 0x80, '\r', '\n'}));
    Lettering opened;
    ASSERT_TRUE(Read(opened, b).ok);
    EXPECT_EQ(opened.settings.Memo1, lettering.settings.Memo1);
}

TEST(DocumentText, Utf8OtherwiseAndForTextsThatWouldReadAsUtf8) {
    for (const std::string line : {"Größe € Ω 漢字", "Ã¤"}) {
        Lettering lettering = StartWithTextures();
        lettering.settings.Memo1 = {line};
        const Bytes b = LetteringFileBytes(lettering);
        EXPECT_EQ(Int32At(b, kTextCount), std::int32_t(line.size() + 2));
        Lettering opened;
        ASSERT_TRUE(Read(opened, b).ok);
        EXPECT_EQ(opened.settings.Memo1, lettering.settings.Memo1);
    }
}

TEST(DocumentText, StoredBytesDecoded) {
    EXPECT_EQ(TextFromDocumentBytes("\x80\x81\x9F\xFF"), "€\u0081Ÿÿ");
    EXPECT_EQ(TextFromDocumentBytes("\xC3\xA4"), "ä");
    EXPECT_EQ(TextFromDocumentBytes("\xC3"), "Ã");
    EXPECT_EQ(TextFromDocumentBytes("\xED\xA0\x80"), "í\u00A0€");  // a surrogate is no UTF-8
    EXPECT_EQ(TextToDocumentBytes("\u0081"), "\x81");
    EXPECT_EQ(TextToDocumentBytes("a\xFF"), "a\xEF\xBF\xBD");
}

// ---- what the reader takes over -----------------------------------------------------------------

TEST(DocumentOpen, AFontNotInstalledKeepsItsName) {
    Lettering lettering = StartWithTextures();
    lettering.settings.Font.name = "Nirgendwo Grotesk";
    lettering.settings.Font.bold = true;
    lettering.settings.AusrichtBox = 1;
    const Bytes b = LetteringFileBytes(lettering);

    Lettering opened;
    InitStartState(opened);
    opened.settings.Font.name = "DejaVu Sans";
    ASSERT_TRUE(Read(opened, b).ok);
    EXPECT_EQ(opened.settings.Font.name, "Nirgendwo Grotesk");
    EXPECT_EQ(LetteringFileBytes(opened), b);
    EXPECT_TRUE(opened.settings.Font.bold);
    EXPECT_EQ(opened.settings.AusrichtBox, 1);
}

TEST(DocumentOpen, DefaultFontNeedsNoInstalledFont) {
    Lettering opened;
    InitStartState(opened);
    opened.settings.Font.name = "DejaVu Sans";
    ASSERT_TRUE(ReadLetteringBytes(opened, LetteringFileBytes(StartWithTextures()), "t").ok);
    EXPECT_EQ(opened.settings.Font.name, "Arial Black");
}

TEST(DocumentOpen, ChoiceBytesOutsideTheGroupLeaveIt) {
    Bytes b = LetteringFileBytes(StartWithTextures());
    b[kSurface1] = 3;
    b[kSurface2] = 200;
    b[kEditMode] = 3;
    b[kDeform] = 255;
    b[kAlignment] = 3;
    PutInt32(b, kFrameStyle, 5);
    Lettering opened = BusyLettering();
    const LetteringSettings before = opened.settings;
    ASSERT_TRUE(Read(opened, b).ok);
    const LetteringSettings& s = opened.settings;
    EXPECT_EQ(s.SurfaceFrame1.kind, before.SurfaceFrame1.kind);
    EXPECT_EQ(s.SurfaceFrame1.color, 0xFF0000u);  // the rest of the file is applied
    EXPECT_EQ(s.SurfaceFrame2.kind, before.SurfaceFrame2.kind);
    EXPECT_EQ(s.editMode, before.editMode);
    EXPECT_EQ(s.deform, before.deform);
    EXPECT_EQ(s.AusrichtBox, before.AusrichtBox);
    EXPECT_EQ(s.FrameStyle, before.FrameStyle);
    EXPECT_EQ(s.StarkEd, 20);
}

TEST(DocumentOpen, ValuesBeyondTheFieldsAreHeldInRange) {
    Bytes b = LetteringFileBytes(StartWithTextures());
    PutInt32(b, kDeform + 1, 1'000'000);        // StarkEd
    PutInt32(b, kDeform + 17, -2'000'000'000);  // KWinkEd
    const double nan = std::nan("");
    std::memcpy(b.data() + kSpiral, &nan, 8);
    Lettering opened;
    ASSERT_TRUE(Read(opened, b).ok);
    EXPECT_EQ(opened.settings.StarkEd, 100);
    EXPECT_EQ(opened.settings.KWinkEd, -180);
    EXPECT_EQ(opened.settings.SpiralEd, 0.6);
}

// ---- refused files ------------------------------------------------------------------------------

// The reader is given a lettering unlike the file; a refused file must leave all of it.
void ExpectRefused(const Bytes& bytes, const std::string& message) {
    Lettering lettering = BusyLettering();
    const Bytes before = LetteringFileBytes(lettering);
    const LetteringSettings settings = lettering.settings;
    const DocumentResult result = Read(lettering, bytes);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, message);
    EXPECT_EQ(result.title, "Fehler");
    EXPECT_EQ(lettering.settings, settings);
    EXPECT_EQ(LetteringFileBytes(lettering), before);
}

TEST(DocumentRefused, IdentificationByteForByte) {
    const Bytes good = LetteringFileBytes(StartWithTextures());
    for (std::size_t i = 0; i < 27; ++i) {
        Bytes b = good;
        const char c = static_cast<char>(b[i]);
        b[i] = std::isalpha(static_cast<unsigned char>(c)) ? std::uint8_t(c ^ 0x20) : '#';
        ExpectRefused(b, "Die Datei ist keine gültige Zarbo-Glyphwerk Datei!");
    }
}

TEST(DocumentRefused, TruncatedAtEveryOffset) {
    Lettering small = StartWithTextures();
    small.EnvelopeLines[0].Clear();
    small.EnvelopeLines[0].AddPoint(0, 0);
    small.EnvelopeLines[0].AddPoint(2, 1);
    small.EnvelopeLines[0].BuildOutline();
    small.TextTexture = MakeTexture(1, 3, 2, 9);
    const Bytes good = LetteringFileBytes(small);
    ASSERT_LT(good.size(), 4000u);
    for (std::size_t n = 0; n < good.size(); ++n)
        ExpectRefused(Bytes(good.begin(), good.begin() + std::ptrdiff_t(n)), kDamaged);
}

TEST(DocumentRefused, AbsurdCounts) {
    const Bytes good = LetteringFileBytes(StartWithTextures());
    const std::size_t background = kFrameStyle + 17;
    const std::size_t text = background + 8 + 40 + 24;
    const struct {
        std::size_t at;
        std::int32_t value;
    } cases[] = {
        {kTextCount, -1},
        {kTextCount, 0x7FFFFFFF},
        {kFontCount, 100000},
        {kWidth, 0},
        {kWidth, 16385},
        {kWidth + 4, -200},
        {kUpperLine, -2},
        {kUpperLine, 1'000'001},
        {kUpperLine, 0x7FFFFFFF},
        {kUpperLine + 20, 408},  // outline count beyond the data
        {kLowerLine, 50'000},
        {background, 39},
        {background, 2000},
        {background, 44},      // info size that does not fit 24 bits
        {background + 4, 2},   // colour count that does not fit 24 bits
        {background + 8, 12},  // biSize
        {background + 12, 0},  // width
        {background + 12, 16385},
        {background + 16, -2},            // height: top-down rows are not ours
        {background + 16, 16384},         // rows the file cannot hold
        {background + 20, 32 << 16 | 1},  // bit count 32
        {background + 20, 8 << 16 | 1},   // 8 bits with a 24-bit info size
        {background + 24, 1},             // compressed
        {background + 28, 99},            // image size that is not the rows' size
        {background + 40, 1},             // colours used beyond the table
        {text, 1060},
        {text + 4, 255},
    };
    for (const auto& c : cases) {
        Bytes b = good;
        PutInt32(b, c.at, c.value);
        SCOPED_TRACE(testing::Message() << "offset " << c.at << " value " << c.value);
        ExpectRefused(b, kDamaged);
    }
}

TEST(DocumentRefused, FileThatCannotBeOpened) {
    Lettering lettering = BusyLettering();
    const LetteringSettings before = lettering.settings;
    DocumentResult r = OpenLetteringFile(lettering, "/nirgends/da/Logo.zgw");
    EXPECT_EQ(r.message, "Zarbo-Glyphwerk Datei öffnen: Konnte die Datei Logo.zgw nicht öffnen!");
    EXPECT_EQ(r.title, "Fehler");
    r = OpenLetteringFile(lettering, fs::temp_directory_path().string());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(lettering.settings, before);
}

// ---- saving -------------------------------------------------------------------------------------

class DocumentSave : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("gw-save-" + std::to_string(getpid()));
        fs::create_directories(folder_);
        target_ = folder_ / "Logo.zgw";
        std::ofstream(target_, std::ios::binary) << "alter Inhalt";
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string Contents() const {
        std::ifstream in(target_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::size_t FilesInFolder() const {
        return std::size_t(std::distance(fs::directory_iterator(folder_), {}));
    }
    fs::path folder_, target_;
};

TEST_F(DocumentSave, ReplacesTheOldFile) {
    ASSERT_TRUE(SaveLetteringFile(StartWithTextures(), target_.string()).ok);
    const Bytes expected = LetteringFileBytes(StartWithTextures());
    EXPECT_EQ(Contents(), std::string(expected.begin(), expected.end()));
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(DocumentSave, FolderMissing) {
    const DocumentResult r =
        SaveLetteringFile(StartWithTextures(), (folder_ / "fehlt" / "Neu.zgw").string());
    EXPECT_EQ(r.message,
              "Zarbo-Glyphwerk Datei speichern: Konnte die Datei Neu.zgw nicht erstellen!");
    EXPECT_EQ(r.title, "Fehler");
}

TEST_F(DocumentSave, TargetIsAFolder) {
    fs::create_directory(folder_ / "Ordner.zgw");
    const DocumentResult r =
        SaveLetteringFile(StartWithTextures(), (folder_ / "Ordner.zgw").string());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(fs::is_directory(folder_ / "Ordner.zgw"));
}

// A file size limit makes the writes fail half way; the old file must survive and no temporary
// file may stay behind.
TEST_F(DocumentSave, FailedWriteLeavesTheOldFile) {
    const std::string target = target_.string();
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit;
            limit.rlim_cur = limit.rlim_max = 200;
            setrlimit(RLIMIT_FSIZE, &limit);
            const DocumentResult r = SaveLetteringFile(StartWithTextures(), target);
            const bool expected =
                r.message ==
                "Zarbo-Glyphwerk Datei speichern: Konnte die Datei Logo.zgw nicht schreiben!";
            std::_Exit(expected ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(Contents(), "alter Inhalt");
    EXPECT_EQ(FilesInFolder(), 1u);
}

// The text limit counts the text as stored: what fits is saved and opens again; what does not is
// refused by the save, which leaves the old file as it was.
TEST_F(DocumentSave, WhatFitsTheTextLimitSavesAndOpensAgain) {
    const auto repeat = [](const std::string& piece, std::size_t times) {
        std::string text;
        for (std::size_t i = 0; i < times; ++i)
            text += piece;
        return text;
    };
    struct Case {
        std::string text;
        bool fits;
    };
    const Case cases[] = {
        {std::string(kMaxTextBytes - 2, 'a'), true},
        {std::string(kMaxTextBytes - 1, 'a'), false},
        // Short enough with LF line ends, too long with the CR LF the file stores.
        {repeat("a\n", 349'526), false},
        {repeat("a\n", 349'525), true},
        // One byte a character in the file, two in UTF-8.
        {repeat("ä", kMaxTextBytes / 2) + "b", true},
    };
    for (const Case& c : cases) {
        Lettering lettering = StartWithTextures();
        lettering.settings.Memo1 = SplitTextLines(c.text);
        EXPECT_EQ(TextFitsDocument(lettering.settings.Memo1), c.fits) << c.text.size();
        EXPECT_EQ(SaveLetteringFile(lettering, target_.string()).ok, c.fits) << c.text.size();
        Lettering opened;
        if (c.fits) {
            ASSERT_TRUE(OpenLetteringFile(opened, target_.string()).ok) << c.text.size();
            EXPECT_EQ(opened.settings.Memo1, lettering.settings.Memo1);
        } else {
            EXPECT_EQ(Contents(), "alter Inhalt") << c.text.size();
        }
        std::ofstream(target_) << "alter Inhalt";
        EXPECT_EQ(FilesInFolder(), 1u);
    }
}

// ---- extension blocks ---------------------------------------------------------------------------

Bytes Raw(std::string_view bytes) {
    return Bytes(bytes.begin(), bytes.end());
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Int(std::int32_t v) {
    Bytes b(4);
    PutInt32(b, 0, v);
    return b;
}

Bytes Counted(std::string_view bytes) {
    return Int(std::int32_t(bytes.size())) + Raw(bytes);
}

// An extension block: tag, version, and a body of records (name, value) or the body given.
Bytes Block(std::int32_t version, const std::vector<std::pair<std::string, std::string>>& records,
            std::optional<std::string_view> body = std::nullopt) {
    Bytes inner = Int(std::int32_t(records.size()));
    for (const auto& [name, value] : records)
        inner = inner + Counted(name) + Counted(value);
    return Raw("GWEX") + Int(version) +
           Counted(
               body ? *body
                    : std::string_view(reinterpret_cast<const char*>(inner.data()), inner.size()));
}

TEST(DocumentExtension, BlocksAfterTheFixedContent) {
    const Bytes fixed = LetteringFileBytes(BusyLettering());
    const std::string eight(8, '\x11');
    const Bytes unknown = Block(1, {{"RahmenDeckEd", eight}, {"Neu", "frei"}});
    const Bytes later = Block(7, {}, "was auch immer");
    const Bytes fixedName = Block(1, {{"KWinkEd", eight}});
    const Bytes none;
    const struct {
        const char* what;
        Bytes tail;
        bool ok;
        Bytes writtenBack;  // what follows the fixed content when it is saved again
    } cases[] = {
        {"no block", none, true, none},
        {"bytes that are no block, ignored", Raw("xyzw1"), true, none},
        {"a short tail, ignored", Raw("GW"), true, none},
        {"an empty block", Block(1, {}), true, none},
        {"unknown keys kept", unknown, true, unknown},
        {"a block of a later version kept whole", later, true, later},
        {"both kept, ours first", later + unknown, true, unknown + later},
        // A name of the fixed layout is no record of the block: kept, the setting left alone.
        {"a fixed setting's name", fixedName, true, fixedName},
        {"version 0", Block(0, {}), false, none},
        {"body beyond the file", Raw("GWEX") + Int(1) + Int(99) + Raw("x"), false, none},
        {"a tag without its counts", Raw("GWEX") + Raw("\1"), false, none},
        {"record count beyond the body", Block(1, {}, std::string_view("\x09\0\0\0", 4)), false,
         none},
        {"negative count", Block(1, {}, "\xFF\xFF\xFF\xFF"), false, none},
        {"bytes left in the body", Block(1, {}, std::string_view("\0\0\0\0x", 5)), false, none},
        {"a record cut short", Block(1, {}, std::string_view("\1\0\0\0\2\0\0\0AB\x09\0\0\0x", 15)),
         false, none},
        {"a name twice", Block(1, {{"A", ""}, {"A", "x"}}), false, none},
        {"a name too long", Block(1, {{std::string(300, 'n'), ""}}), false, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.ok) {
            ExpectRefused(fixed + c.tail, kDamaged);
            continue;
        }
        Lettering opened;
        ASSERT_TRUE(Read(opened, fixed + c.tail).ok);
        ExpectSameDocument(opened, BusyLettering());
        EXPECT_EQ(LetteringFileBytes(opened), fixed + c.writtenBack);
    }
}

}  // namespace
}  // namespace gw
