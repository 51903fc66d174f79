#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/FileAccess.h"
#include "raster/DibService.h"
#include "raster/ImageFiles.h"
#include "raster/ImageFixtures.h"

namespace gw {
namespace {

using test::Bytes;

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

DibImage PalettePicture(int bits, int width, int height) {
    BitmapInfo table;
    for (int i = 0; i < 256; ++i)
        table.bmiColors[i] = {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 3), 0};
    DibImage dib;
    newdib(dib, width, height, bits, &table, 1 << bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(dib, x, y, std::uint32_t(x * 7 + y * 3));
    return dib;
}

void ExpectSamePixels(const DibImage& a, const DibImage& b) {
    ASSERT_EQ(DibWidth(a), DibWidth(b));
    ASSERT_EQ(DibHeight(a), DibHeight(b));
    ASSERT_EQ(DibBitCount(a), DibBitCount(b));
    for (int y = 0; y < DibHeight(a); ++y)
        for (int x = 0; x < DibWidth(a); ++x)
            ASSERT_EQ(getpixel(a, x, y), getpixel(b, x, y)) << x << "," << y;
}

class SaveDibTest : public ::testing::Test {
  protected:
    void SetUp() override { folder_ = test::MakeTempFolder(); }
    void TearDown() override {
        std::string command = "rm -rf '" + folder_ + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
    DibImage RoundTrip(const DibImage& dib, ImageFileType type, const char* name) {
        const std::string file = folder_ + name;
        std::string error;
        EXPECT_TRUE(SaveDib(dib, file, type, &error)) << error;
        DibImage back;
        OpenDib(back, file);
        EXPECT_FALSE(back.Empty()) << name;
        return back;
    }
    std::string folder_;
};

// --- Round trips ------------------------------------------------------------------------------

TEST_F(SaveDibTest, PngKeepsEveryPixelByte) {
    const DibImage dib = test::MakeRgbPicture(37, 21);
    const DibImage back = RoundTrip(dib, ImageFileType::Png, "a.png");
    ASSERT_EQ(DibBitCount(back), 24u);
    ExpectSamePixels(dib, back);
}

TEST_F(SaveDibTest, JpegStaysClose) {
    const DibImage dib = test::MakeRgbPicture(40, 24);
    const DibImage back = RoundTrip(dib, ImageFileType::Jpeg, "a.jpg");
    ASSERT_EQ(DibBitCount(back), 24u);
    ASSERT_EQ(DibWidth(back), 40);
    long total = 0;
    for (int y = 0; y < 24; ++y)
        for (int i = 0; i < 40 * 3; ++i)
            total += std::abs(int(dib.StoredRow(y)[i]) - int(back.StoredRow(y)[i]));
    EXPECT_LT(double(total) / (40 * 24 * 3), 4.0);
}

TEST_F(SaveDibTest, BmpKeepsEveryDepthAsStored) {
    const DibImage rgb = test::MakeRgbPicture(5, 3);
    ExpectSamePixels(rgb, RoundTrip(rgb, ImageFileType::Bmp, "a.bmp"));
    for (int bits : {1, 4, 8}) {
        const DibImage dib = PalettePicture(bits, 13, 5);
        const DibImage back = RoundTrip(dib, ImageFileType::Bmp, "p.bmp");
        ExpectSamePixels(dib, back);
        for (int i = 0; i < (1 << bits); ++i)
            EXPECT_EQ(back.Info->bmiColors[i], dib.Info->bmiColors[i]) << bits << " bits, " << i;
    }
}

TEST_F(SaveDibTest, GifKeepsIndicesAndTable) {
    for (int bits : {8, 4, 1}) {
        const DibImage dib = PalettePicture(bits, 19, 7);
        const DibImage back = RoundTrip(dib, ImageFileType::Gif, "a.gif");
        ASSERT_EQ(DibBitCount(back), 8u);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 19; ++x)
                ASSERT_EQ(getpixel(back, x, y), getpixel(dib, x, y));
        for (int i = 0; i < (1 << bits); ++i)
            EXPECT_EQ(back.Info->bmiColors[i], dib.Info->bmiColors[i]) << bits << " bits, " << i;
    }
}

TEST_F(SaveDibTest, NewFileGetsOrdinaryPermissions) {
    const std::string file = folder_ + "perm.png";
    ASSERT_TRUE(SaveDib(test::MakeRgbPicture(2, 2), file, ImageFileType::Png));
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

// --- Failures ---------------------------------------------------------------------------------

TEST_F(SaveDibTest, WrongDepthIsRefusedAndTheOldFileStays) {
    const std::string file = folder_ + "keep.png";
    test::WriteFileBytes(file, {1, 2, 3});
    std::string error;
    EXPECT_FALSE(SaveDib(PalettePicture(8, 4, 4), file, ImageFileType::Png, &error));
    EXPECT_EQ(error, "Dieses Bildformat braucht ein Bild mit 24 Bit Farbtiefe.");
    EXPECT_FALSE(SaveDib(PalettePicture(8, 4, 4), file, ImageFileType::Jpeg, &error));
    EXPECT_FALSE(SaveDib(test::MakeRgbPicture(4, 4), file, ImageFileType::Gif, &error));
    EXPECT_EQ(error, "Dieses Bildformat braucht ein Bild mit Farbtabelle (8 Bit Farbtiefe).");
    EXPECT_FALSE(SaveDib(DibImage{}, file, ImageFileType::Bmp, &error));
    EXPECT_EQ(error, "Es gibt kein Bild zum Speichern.");
    // An SVG is drawn from the letters' outlines, never encoded from pixels.
    EXPECT_FALSE(SaveDib(test::MakeRgbPicture(4, 4), file, ImageFileType::Svg, &error));
    EXPECT_EQ(error,
              "Eine SVG-Grafik entsteht aus den Umrissen der Buchstaben, nicht aus einem "
              "Rasterbild.");
    EXPECT_EQ(test::ReadFileBytes(file), (Bytes{1, 2, 3}));
    EXPECT_EQ(FolderEntries(folder_), std::vector<std::string>{"keep.png"});
}

TEST_F(SaveDibTest, UnwritableTargetGivesAMessageAndLeavesNoTemporaryFile) {
    const std::string missing = folder_ + "nicht/da.png";
    std::string error;
    EXPECT_FALSE(SaveDib(test::MakeRgbPicture(3, 3), missing, ImageFileType::Png, &error));
    EXPECT_EQ(error, "Konnte die Datei " + missing + " nicht schreiben.");

    // A folder in the target's place cannot be replaced by a file; it stays as it was.
    const std::string folderTarget = folder_ + "ordner.png";
    ASSERT_EQ(mkdir(folderTarget.c_str(), 0755), 0);
    test::WriteFileBytes(folderTarget + "/inhalt", {9});
    EXPECT_FALSE(SaveDib(test::MakeRgbPicture(3, 3), folderTarget, ImageFileType::Png, &error));
    EXPECT_EQ(error, "Konnte die Datei " + folderTarget + " nicht schreiben.");
    EXPECT_EQ(test::ReadFileBytes(folderTarget + "/inhalt"), Bytes{9});
    EXPECT_EQ(FolderEntries(folder_), std::vector<std::string>{"ordner.png"});
}

TEST_F(SaveDibTest, ReplacingAnExistingFileWritesTheWholeNewOne) {
    const std::string file = folder_ + "bild.bmp";
    test::WriteFileBytes(file, Bytes(5000, 7));
    const DibImage dib = test::MakeRgbPicture(6, 2);
    ASSERT_TRUE(SaveDib(dib, file, ImageFileType::Bmp));
    std::vector<std::uint8_t> expected;
    ASSERT_TRUE(EncodeImage(dib, ImageFileType::Bmp, 92, expected));
    EXPECT_EQ(test::ReadFileBytes(file), expected);
    EXPECT_EQ(FolderEntries(folder_), std::vector<std::string>{"bild.bmp"});
}

// --- Opening ----------------------------------------------------------------------------------

TEST_F(SaveDibTest, OpenDibOfMissingFoldersPipesAndDamagedFilesEmptiesTheImage) {
    DibImage dib = test::MakeRgbPicture(2, 2);
    OpenDib(dib, folder_ + "fehlt.gif");
    EXPECT_TRUE(dib.Empty());
    EXPECT_EQ(dib.Info, nullptr);

    dib = test::MakeRgbPicture(2, 2);
    OpenDib(dib, folder_);
    EXPECT_TRUE(dib.Empty());

    // A named pipe nobody writes to must not make the program wait.
    const std::string pipe = folder_ + "rohr.gif";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    dib = test::MakeRgbPicture(2, 2);
    OpenDib(dib, pipe);
    EXPECT_TRUE(dib.Empty());

    const std::string damaged = folder_ + "kaputt.png";
    test::WriteFileBytes(damaged, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0});
    dib = test::MakeRgbPicture(2, 2);
    OpenDib(dib, damaged);
    EXPECT_TRUE(dib.Empty());
}

TEST_F(SaveDibTest, FilesAreReadUpToTheLimitOnly) {
    const std::string file = folder_ + "zehn.bin";
    test::WriteFileBytes(file, Bytes(10, 5));
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(ReadWholeFile(file, 9, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(ReadWholeFile(file, 10, bytes));
    EXPECT_EQ(bytes, Bytes(10, 5));

    // A readable picture followed by enough nothing to pass the limit is not read at all.
    const std::string big = folder_ + "gross.bmp";
    test::BmpPlan plan;
    plan.pixels = {1, 2, 3, 0};
    test::WriteFileBytes(big, test::MakeBmp(plan));
    DibImage dib;
    OpenDib(dib, big);
    EXPECT_FALSE(dib.Empty());
    ASSERT_EQ(truncate(big.c_str(), off_t(kMaxImageFileBytes) + 1), 0);
    OpenDib(dib, big);
    EXPECT_TRUE(dib.Empty());
}

// --- Names and the open filter ----------------------------------------------------------------

TEST(ImageFileNames, TypeFollowsTheExtensionInAnyCase) {
    ImageFileType type = ImageFileType::Bmp;
    EXPECT_TRUE(ImageFileTypeFromName("bild.PNG", type));
    EXPECT_EQ(type, ImageFileType::Png);
    EXPECT_TRUE(ImageFileTypeFromName("/a.b/c.JpEg", type));
    EXPECT_EQ(type, ImageFileType::Jpeg);
    EXPECT_TRUE(ImageFileTypeFromName("x.jpg", type));
    EXPECT_EQ(type, ImageFileType::Jpeg);
    EXPECT_TRUE(ImageFileTypeFromName("tex1.gif", type));
    EXPECT_EQ(type, ImageFileType::Gif);
    EXPECT_TRUE(ImageFileTypeFromName("x.bmp", type));
    EXPECT_EQ(type, ImageFileType::Bmp);
    EXPECT_TRUE(ImageFileTypeFromName("logo.Svg", type));
    EXPECT_EQ(type, ImageFileType::Svg);
    type = ImageFileType::Gif;
    EXPECT_FALSE(ImageFileTypeFromName("bild.tif", type));
    EXPECT_FALSE(ImageFileTypeFromName("ordner.png/bild", type));
    EXPECT_FALSE(ImageFileTypeFromName("png", type));
    EXPECT_FALSE(ImageFileTypeFromName("bild.png.", type));
    EXPECT_EQ(type, ImageFileType::Gif);
}

TEST(ImageFileNames, OpenFilterPairsDescriptionsWithPatterns) {
    const std::string filter = GetDIBOpenFilter();
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t bar; (bar = filter.find('|', start)) != std::string::npos; start = bar + 1)
        parts.push_back(filter.substr(start, bar - start));
    parts.push_back(filter.substr(start));
    ASSERT_EQ(parts.size() % 2, 0u);
    EXPECT_EQ(parts[0], "Alle Bilddateien (*.gif;*.png;*.jpg;*.jpeg;*.bmp)");
    EXPECT_EQ(parts[1], "*.gif;*.png;*.jpg;*.jpeg;*.bmp");
    EXPECT_EQ(parts[parts.size() - 2], "Alle Dateien (*.*)");
    EXPECT_EQ(parts.back(), "*.*");
    // Each description names exactly the patterns that follow it.
    for (std::size_t i = 0; i < parts.size(); i += 2)
        EXPECT_NE(parts[i].find("(" + parts[i + 1] + ")"), std::string::npos) << parts[i];
}

}  // namespace
}  // namespace gw
