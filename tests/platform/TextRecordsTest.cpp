#include "platform/TextRecords.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "platform/DiskRecord.h"

namespace gw {
namespace {

namespace fs = std::filesystem;
using fonts::GlyphImage;
using fonts::Scale;
using fonts::ShapedLine;

class TextRecords : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            (fs::temp_directory_path() / ("glyphwerk-text-records-" + std::to_string(::getpid())))
                .string();
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // The one record in the folder, its payload cut to `size` bytes or grown by one, and written
    // back whole, so that only the reader's own checks stand between it and the caller.
    void Reshape(std::string_view magic, std::size_t size) const {
        const std::string path = fs::directory_iterator(folder_)->path().string();
        std::string payload = *fonts::ReadRecord(path, magic, std::size_t(1) << 20);
        payload.resize(size, '\x7f');
        fonts::WriteRecord(path, magic, payload);
    }
    std::size_t PayloadSize(std::string_view magic) const {
        const std::string path = fs::directory_iterator(folder_)->path().string();
        return fonts::ReadRecord(path, magic, std::size_t(1) << 20)->size();
    }

    std::string folder_;
};

auto Fields(const ShapedLine& l) {
    std::vector<std::tuple<std::uint32_t, std::int64_t, std::int32_t, std::int32_t, std::int32_t,
                           bool, std::uint16_t>>
        glyphs;
    for (const auto& g : l.glyphs)
        glyphs.emplace_back(g.glyph, g.penX, g.advance, g.xOffset, g.yOffset, g.underline, g.face);
    std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint8_t>> runs;
    for (const auto& r : l.runs)
        runs.emplace_back(r.start, r.length, r.level);
    return std::make_tuple(glyphs, runs, l.width);
}

// A line comes back as it was kept, for its face, text and underlines only; a record cut short
// or with bytes after its end is not believed, whatever its digest says.
TEST_F(TextRecords, ALineComesBackOnlyAsKeptAndForWhatItWasKeptUnder) {
    const std::string face(16, 'a'), other(16, 'b');
    ShapedLine line;
    line.glyphs = {{36, 0, 1200, 0, 0, true, 0}, {71, 1200, 900, -30, 45, false, 0}};
    line.runs = {{0, 1, 0, 0}, {1, 4, 1, 0}};
    line.width = 2100;
    const std::uint32_t underlined[] = {0};
    fonts::WriteShapedLine(folder_, face, "Aשל", underlined, line);

    const struct {
        const std::string& key;
        std::string_view text;
        std::span<const std::uint32_t> underlined;
        bool found;
    } cases[] = {
        {face, "Aשל", underlined, true},
        {other, "Aשל", underlined, false},
        {face, "Aשל", {}, false},
        {face, "Aש", underlined, false},
    };
    for (const auto& c : cases) {
        const auto kept = fonts::ReadShapedLine(folder_, c.key, c.text, c.underlined);
        ASSERT_EQ(kept.has_value(), c.found) << c.text << c.underlined.size();
        if (kept) {
            EXPECT_EQ(Fields(*kept), Fields(line));
        }
    }
    const std::size_t size = PayloadSize("GWSHAPE1");
    for (std::size_t cut = 0; cut <= size + 1; ++cut) {
        if (cut == size) continue;
        Reshape("GWSHAPE1", cut);
        EXPECT_FALSE(fonts::ReadShapedLine(folder_, face, "Aשל", underlined)) << cut;
        fonts::WriteShapedLine(folder_, face, "Aשל", underlined, line);
    }
}

// The images of a face and size come back as kept, as many as one record holds; another size
// finds none, and a damaged record gives none.
TEST_F(TextRecords, ImagesComeBackForTheirSizeAndAsManyAsARecordHolds) {
    const std::string face(16, 'a');
    GlyphImage ink;
    ink.left = -2;
    ink.top = 9;
    ink.width = 10;
    ink.rows = 2;
    ink.pitch = 2;
    ink.bits = {0xFF, 0xC0, 0x81, 0x40};
    const GlyphImage blank;
    GlyphImage big;
    big.width = 2000;
    big.rows = 800;
    big.pitch = 250;
    big.bits.assign(200000, 0x5A);
    const auto same = [](const GlyphImage& a, const GlyphImage& b) {
        return std::tie(a.left, a.top, a.width, a.rows, a.pitch, a.bits) ==
               std::tie(b.left, b.top, b.width, b.rows, b.pitch, b.bits);
    };
    const std::pair<std::uint32_t, const GlyphImage*> images[] = {
        {3, &ink}, {5, &blank}, {8, &big}, {9, &big}, {11, &big}};
    const Scale scale{40, 2048};
    fonts::WriteGlyphImages(folder_, face, scale, images);

    const auto kept = fonts::ReadGlyphImages(folder_, face, scale);
    ASSERT_EQ(kept.size(), 4u);  // the third large image would pass the record's bound
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i].first, images[i].first);
        EXPECT_TRUE(same(kept[i].second, *images[i].second)) << i;
    }
    EXPECT_TRUE(fonts::ReadGlyphImages(folder_, face, Scale{41, 2048}).empty());
    const std::size_t size = PayloadSize("GWGLYPH1");
    for (const std::size_t cut :
         {std::size_t(0), std::size_t(20), std::size_t(60), size - 1, size + 1}) {
        Reshape("GWGLYPH1", cut);
        EXPECT_TRUE(fonts::ReadGlyphImages(folder_, face, scale).empty()) << cut;
        fonts::WriteGlyphImages(folder_, face, scale, images);
    }
}

}  // namespace
}  // namespace gw
