// Small files that would cost gigabytes, and documents the program never writes: refused before
// the memory is spent, with a message that names what was refused.
#include <fstream>
#include <string>
#include <vector>

#include "RenderProcess.h"
#include "document/LetteringFile.h"
#include "raster/DibService.h"
#include "raster/ImageFiles.h"

namespace gw {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, int v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

// A GIF whose logical screen is screenW x screenH with a 1 x 1 image at its corner, `padding`
// bytes of comment before the image.
Bytes GifOnScreen(int screenW, int screenH, std::size_t padding) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(b, screenW);
    Put16(b, screenH);
    b.insert(b.end(), {0x80, 0, 0, 0, 0, 0, 255, 255, 255});  // two colours
    b.insert(b.end(), {0x21, 0xFE});
    for (std::size_t left = padding; left > 0;) {
        const std::size_t n = std::min<std::size_t>(left, 255);
        b.push_back(std::uint8_t(n));
        b.insert(b.end(), n, 'x');
        left -= n;
    }
    b.push_back(0);
    b.push_back(0x2C);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, 1);
    // No local colours; LZW codes clear, 0, end at three bits.
    b.insert(b.end(), {0, 2, 2, 0x44, 0x01, 0, 0x3B});
    return b;
}

Bytes Png(int width, int height) {
    DibImage dib;
    newdib(dib, width, height, 24, nullptr, 0);
    Bytes bytes;
    EXPECT_TRUE(EncodeImage(dib, ImageFileType::Png, 75, bytes));
    return bytes;
}

TEST(HostileTextures, AreRefusedBeforeTheirPixelsCostMemory) {
    struct Case {
        const char* what;
        Bytes file;
        bool asImage, asTexture;
    };
    const Case cases[] = {
        // 103 KB of comment once let a 16384² screen through the size check.
        {"GIF 16384² screen, 1 x 1 image", GifOnScreen(16384, 16384, 100'000), false, false},
        {"GIF 2001² screen, 1 x 1 image", GifOnScreen(2001, 2001, 0), false, false},
        {"GIF 2000² screen, 1 x 1 image", GifOnScreen(2000, 2000, 0), true, true},
        {"PNG 10000 x 1", Png(10000, 1), true, false},
        {"PNG 1 x 10000", Png(1, 10000), true, false},
        {"PNG 9999 x 2", Png(9999, 2), true, true},
    };
    for (const Case& c : cases) {
        DibImage image;
        EXPECT_EQ(DecodeImage(c.file.data(), c.file.size(), image), c.asImage) << c.what;
        EXPECT_EQ(DecodeImage(c.file.data(), c.file.size(), image, kTextureLimits), c.asTexture)
            << c.what;
        EXPECT_EQ(image.Empty(), !c.asTexture) << c.what;
    }
}

using HostileFiles = RenderProcess;

TEST_F(HostileFiles, ARefusedTextureIsNamed) {
    const Bytes wide = Png(10000, 1);
    std::ofstream(Path("breit.png"), std::ios::binary)
        .write(reinterpret_cast<const char*>(wide.data()), std::streamsize(wide.size()));
    const auto run = Render("--text-texture " + Path("breit.png") + " -o " + Path("out.png"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("Konnte das Bild nicht laden. (" + Path("breit.png") + ")"),
              std::string::npos)
        << run.errors;
    EXPECT_EQ(Listing(), std::set<std::string>{"breit.png"});
}

TEST(HostileDocuments, SizesAndTextsTheProgramNeverWritesAreDamage) {
    struct Case {
        std::int32_t width, height;
        std::size_t textBytes;  // one line of 'a', stored with its CR LF
        bool accepted;
    };
    const Case cases[] = {
        {10, 10, 1, true},
        {9999, 9999, 1, true},
        {9, 200, 1, false},
        {450, 10000, 1, false},
        {16384, 16384, 1, false},
        {450, 200, (1u << 20) - 2, true},
        {450, 200, (1u << 20) - 1, false},
    };
    for (const Case& c : cases) {
        Lettering written;
        InitStartState(written);
        written.width = c.width;
        written.height = c.height;
        written.settings.Memo1 = {std::string(c.textBytes, 'a')};
        Lettering read;
        InitStartState(read);
        const Bytes before = LetteringFileBytes(read);
        const DocumentResult result =
            ReadLetteringBytes(read, LetteringFileBytes(written), "t.zgw");
        EXPECT_EQ(result.ok, c.accepted) << c.width << " x " << c.height << ", " << c.textBytes;
        if (!c.accepted) {
            EXPECT_EQ(result.message,
                      "Zarbo-Glyphwerk Datei öffnen: Die Datei t.zgw ist beschädigt!");
            EXPECT_EQ(LetteringFileBytes(read), before);
        }
    }
}

}  // namespace
}  // namespace gw
