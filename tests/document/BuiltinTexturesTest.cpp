#include "document/BuiltinTextures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MessageRecorder.h"
#include "platform/System.h"
#include "raster/DibService.h"

namespace gw {
namespace {

namespace fs = std::filesystem;

// A folder of its own for every test, removed with everything in it afterwards.
class TextureFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "glyphwerk-textures-XXXXXX").string();
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        folder_ = name;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    // A small 8-bit GIF whose every pixel has `color` (0x00RRGGBB), so a test can tell the
    // files apart by the colour of entry 0 of their colour table.
    void WriteGif(const std::string& name, std::uint32_t color, int width = 5, int height = 3) {
        DibImage dib;
        newdib(dib, width, height, 8, nullptr, 0);
        ASSERT_FALSE(dib.Empty());
        dib.Info->bmiColors[0] = {std::uint8_t(color), std::uint8_t(color >> 8),
                                  std::uint8_t(color >> 16), 0};
        ASSERT_TRUE(SaveDib(dib, Path(name), ImageFileType::Gif));
    }

    void WriteBytes(const std::string& name, const std::string& bytes) {
        std::ofstream out(Path(name), std::ios::binary);
        out << bytes;
    }

    std::string Folder() const { return folder_.string(); }

  private:
    fs::path folder_;
};

std::uint32_t FirstColor(const DibImage& dib) {
    const RgbQuad& q = dib.Info->bmiColors[0];
    return (std::uint32_t(q.rgbRed) << 16) | (std::uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

// The colour of the top left pixel, at any depth.
std::uint32_t TopLeftColour(const DibImage& dib) {
    if (DibBitCount(dib) != 24) return FirstColor(dib);
    const std::uint8_t* p = dib.Row(0);
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

bool IsPlaceholder(const DibImage& dib) {
    return DibWidth(dib) == 256 && DibHeight(dib) == 256 && DibBitCount(dib) == 24;
}

// The same size, depth, colour table and pixels.
bool SameImage(const DibImage& a, const DibImage& b) {
    if (a.Empty() || b.Empty()) return a.Empty() && b.Empty();
    return DibWidth(a) == DibWidth(b) && DibHeight(a) == DibHeight(b) &&
           DibBitCount(a) == DibBitCount(b) &&
           std::equal(a.Info->bmiColors, a.Info->bmiColors + 256, b.Info->bmiColors) &&
           std::equal(a.Bits.get(), a.Bits.get() + DibImageSize(a), b.Bits.get());
}

// --- Loading the table -----------------------------------------------------------------------

TEST_F(TextureFolder, NoTextureFilesGiveTwoPlaceholders) {
    WriteGif("texture.png", 0x112233);  // not a "tex*.gif" name
    BuiltinTextures table;
    LoadBuiltinTextures(table, Folder());
    ASSERT_EQ(table.entries.size(), 2u);
    EXPECT_TRUE(IsPlaceholder(table.entries[0]));
    EXPECT_TRUE(IsPlaceholder(table.entries[1]));

    Lettering lettering;
    SetStartTextures(lettering, table);
    EXPECT_TRUE(IsPlaceholder(lettering.TextTexture));
    EXPECT_TRUE(IsPlaceholder(lettering.BackgroundTexture));
}

TEST(BuiltinTextures, MissingFolderGivesTwoPlaceholders) {
    BuiltinTextures table;
    LoadBuiltinTextures(table, "/nonexistent/glyphwerk/data");
    ASSERT_EQ(table.entries.size(), 2u);
    EXPECT_TRUE(IsPlaceholder(table.entries[0]));
    EXPECT_TRUE(IsPlaceholder(table.entries[1]));
}

TEST_F(TextureFolder, OneFileIsTheLettersTextureAndAPlaceholderTheBackgrounds) {
    WriteGif("tex01-eins.gif", 0xA0B0C0, 7, 4);
    BuiltinTextures table;
    LoadBuiltinTextures(table, Folder());
    ASSERT_EQ(table.entries.size(), 2u);
    EXPECT_EQ(DibWidth(table.entries[0]), 7);
    EXPECT_EQ(DibHeight(table.entries[0]), 4);
    EXPECT_EQ(DibBitCount(table.entries[0]), 8u);
    EXPECT_EQ(FirstColor(table.entries[0]), 0xA0B0C0u);
    EXPECT_TRUE(IsPlaceholder(table.entries[1]));

    Lettering lettering;
    SetStartTextures(lettering, table);
    EXPECT_TRUE(SameImage(lettering.TextTexture, table.entries[0]));
    EXPECT_TRUE(SameImage(lettering.BackgroundTexture, table.entries[1]));
    // Copies, never the entries themselves: replacing a texture later must not free an entry.
    EXPECT_NE(lettering.TextTexture.Bits.get(), table.entries[0].Bits.get());
    EXPECT_NE(lettering.BackgroundTexture.Bits.get(), table.entries[1].Bits.get());
}

TEST_F(TextureFolder, FilesAreTakenInNameOrderAndMatchedInAnyCase) {
    WriteGif("tex3-c.gif", 0x000003);
    WriteGif("TEX1-a.GIF", 0x000001);
    WriteGif("Tex2-b.Gif", 0x000002);
    WriteGif("atex4.gif", 0x000009);
    WriteGif("tex5.gif.bak", 0x000009);
    WriteGif("tex6.gi", 0x000009);
    BuiltinTextures table;
    LoadBuiltinTextures(table, Folder());
    ASSERT_EQ(table.entries.size(), 3u);
    std::vector<std::uint32_t> colors;
    for (const DibImage& entry : table.entries)
        colors.push_back(FirstColor(entry));
    EXPECT_EQ(colors, (std::vector<std::uint32_t>{1, 2, 3}));

    Lettering lettering;
    SetStartTextures(lettering, table);
    EXPECT_EQ(FirstColor(lettering.TextTexture), 1u);
    EXPECT_EQ(FirstColor(lettering.BackgroundTexture), 3u);
}

TEST_F(TextureFolder, TheShortestMatchingNameCounts) {
    WriteGif("tex.gif", 0x000007);
    WriteGif("te.gif", 0x000009);
    BuiltinTextures table;
    LoadBuiltinTextures(table, Folder());
    ASSERT_EQ(table.entries.size(), 2u);
    EXPECT_EQ(FirstColor(table.entries[0]), 7u);
    EXPECT_TRUE(IsPlaceholder(table.entries[1]));
}

TEST_F(TextureFolder, UnreadableFilesFoldersAndPipesAreSkipped) {
    WriteBytes("tex1-kaputt.gif", "GIF89a\x05");          // cut off in the header
    WriteBytes("tex2-leer.gif", "");                      // empty
    WriteBytes("tex3-text.gif", "no picture in here\n");  // not a picture at all
    fs::create_directory(Path("texdir.gif"));
    WriteGif("texdir.gif/tex0.gif", 0x000009);  // inside the folder: not searched
    ASSERT_EQ(mkfifo(Path("tex4-pipe.gif").c_str(), 0600), 0);
    WriteGif("tex5-gut.gif", 0x123456);
    int calls = 0;
    BuiltinTextures table;
    LoadBuiltinTextures(table, Folder(), [&calls] { ++calls; });
    ASSERT_EQ(table.entries.size(), 2u);
    EXPECT_EQ(FirstColor(table.entries[0]), 0x123456u);
    EXPECT_TRUE(IsPlaceholder(table.entries[1]));
    // Once for every matching name, so the splash window paints while each file loads.
    EXPECT_EQ(calls, 6);
}

TEST_F(TextureFolder, LoadingAgainStartsANewTable) {
    WriteGif("tex1.gif", 0x000001);
    WriteGif("tex2.gif", 0x000002);
    WriteGif("tex3.gif", 0x000003);
    BuiltinTextures table;
    LoadBuiltinTextures(table, Folder());
    ASSERT_EQ(table.entries.size(), 3u);
    fs::remove(Path("tex2.gif"));
    LoadBuiltinTextures(table, Folder());
    ASSERT_EQ(table.entries.size(), 2u);
    EXPECT_EQ(FirstColor(table.entries[0]), 1u);
    EXPECT_EQ(FirstColor(table.entries[1]), 3u);
}

// --- Choosing textures -----------------------------------------------------------------------

class ThreeTextures : public TextureFolder {
  protected:
    void SetUp() override {
        TextureFolder::SetUp();
        WriteGif("tex1.gif", 0x000001, 4, 4);
        WriteGif("tex2.gif", 0x000002, 6, 5);
        WriteGif("tex3.gif", 0x000003, 8, 2);
        LoadBuiltinTextures(table, Folder());
        ASSERT_EQ(table.entries.size(), 3u);
        SetStartTextures(lettering, table);
    }
    BuiltinTextures table;
    Lettering lettering;
};

TEST_F(ThreeTextures, StartTexturesAreTheFirstAndTheLastEntry) {
    EXPECT_EQ(FirstColor(lettering.TextTexture), 1u);
    EXPECT_EQ(FirstColor(lettering.BackgroundTexture), 3u);
}

TEST_F(ThreeTextures, SetTextureCopiesIntoTheChosenSurfaceOnly) {
    const std::uint8_t* background = lettering.BackgroundTexture.Bits.get();
    SetTexture(lettering, table, 1, true);
    EXPECT_TRUE(SameImage(lettering.TextTexture, table.entries[1]));
    EXPECT_NE(lettering.TextTexture.Bits.get(), table.entries[1].Bits.get());
    EXPECT_EQ(lettering.BackgroundTexture.Bits.get(), background);

    const std::uint8_t* text = lettering.TextTexture.Bits.get();
    SetTexture(lettering, table, 0, false);
    EXPECT_TRUE(SameImage(lettering.BackgroundTexture, table.entries[0]));
    EXPECT_NE(lettering.BackgroundTexture.Bits.get(), table.entries[0].Bits.get());
    EXPECT_EQ(lettering.TextTexture.Bits.get(), text);

    // The copy is the surface's own: changing it leaves the table as it was.
    lettering.TextTexture.Info->bmiColors[0] = {9, 9, 9, 0};
    EXPECT_EQ(FirstColor(table.entries[1]), 2u);
}

TEST_F(ThreeTextures, SetTextureOutsideTheTableChangesNothing) {
    const std::uint8_t* text = lettering.TextTexture.Bits.get();
    const std::uint8_t* background = lettering.BackgroundTexture.Bits.get();
    for (int index : {-1, 3, 1000}) {
        SetTexture(lettering, table, index, true);
        SetTexture(lettering, table, index, false);
    }
    EXPECT_EQ(lettering.TextTexture.Bits.get(), text);
    EXPECT_EQ(lettering.BackgroundTexture.Bits.get(), background);
}

TEST_F(ThreeTextures, OwnTextureThatCannotBeLoadedIsReportedAndChangesNothing) {
    WriteBytes("kaputt.png", "\x89PNG\r\n");
    const std::uint8_t* text = lettering.TextTexture.Bits.get();
    const std::uint8_t* background = lettering.BackgroundTexture.Bits.get();
    MessageRecorder recorder;
    EXPECT_FALSE(LoadOwnTexture(lettering, Path("fehlt.gif"), true));
    EXPECT_FALSE(LoadOwnTexture(lettering, Path("kaputt.png"), false));
    ASSERT_EQ(recorder.messages.size(), 2u);
    const char* names[] = {"fehlt.gif", "kaputt.png"};
    const char* reasons[] = {"Die Datei lässt sich nicht öffnen.",
                             "Die Datei ist beschädigt oder unvollständig."};
    for (std::size_t i = 0; i < 2; ++i) {
        const MessageRecorder::Message& m = recorder.messages[i];
        EXPECT_EQ(m.text, "Konnte das Bild nicht laden. (" + Path(names[i]) + ") " + reasons[i]);
        EXPECT_EQ(m.caption, "Fehler");
        EXPECT_EQ(m.icon, MsgIcon::Error);
    }
    EXPECT_EQ(lettering.TextTexture.Bits.get(), text);
    EXPECT_EQ(lettering.BackgroundTexture.Bits.get(), background);
    EXPECT_EQ(FirstColor(lettering.TextTexture), 1u);
    EXPECT_EQ(FirstColor(lettering.BackgroundTexture), 3u);
}

TEST_F(ThreeTextures, OwnTextureReplacesTheChosenSurfaceOnly) {
    WriteGif("eigene.gif", 0x445566, 9, 9);
    const std::uint8_t* text = lettering.TextTexture.Bits.get();
    MessageRecorder recorder;
    EXPECT_TRUE(LoadOwnTexture(lettering, Path("eigene.gif"), false));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(TopLeftColour(lettering.BackgroundTexture), 0x445566u);
    EXPECT_EQ(DibWidth(lettering.BackgroundTexture), 9);
    EXPECT_EQ(lettering.TextTexture.Bits.get(), text);
    // The table keeps its entries.
    EXPECT_EQ(FirstColor(table.entries[2]), 3u);
}

// --- The shipped textures --------------------------------------------------------------------

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

TEST(ShippedTextures, AllLoadAsPaletteImagesOfModestSize) {
    const fs::path data = fs::path(GLYPHWERK_SOURCE_DIR) / "data";
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(data)) {
        const std::string name = Lower(entry.path().filename().string());
        if (name.starts_with("tex") && name.ends_with(".gif")) files.push_back(entry.path());
    }
    EXPECT_GE(files.size(), 12u);
    for (const fs::path& file : files) {
        DibImage dib;
        OpenDib(dib, file.string());
        ASSERT_FALSE(dib.Empty()) << file;
        EXPECT_EQ(DibBitCount(dib), 8u) << file;
        EXPECT_GE(DibWidth(dib), 64) << file;
        EXPECT_LE(DibWidth(dib), 256) << file;
        EXPECT_GE(DibHeight(dib), 64) << file;
        EXPECT_LE(DibHeight(dib), 256) << file;
    }

    // Every one of them makes it into the table: no placeholder is needed.
    BuiltinTextures table;
    LoadBuiltinTextures(table, data.string());
    EXPECT_EQ(table.entries.size(), files.size());
    for (const DibImage& entry : table.entries)
        EXPECT_EQ(DibBitCount(entry), 8u);
}

}  // namespace
}  // namespace gw
