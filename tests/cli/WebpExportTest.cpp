// WebP pictures and the quality of the lossy formats, read back with the libraries themselves.
#include <gtest/gtest.h>
#include <png.h>
#include <webp/decode.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "RenderProcess.h"

namespace gw {
namespace {

struct Rgba {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;  // RGBA, rows from the top
};

Rgba ReadPng(const std::string& path) {
    Rgba out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGBA;
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) return {};
    out.width = int(image.width);
    out.height = int(image.height);
    return out;
}

Rgba ReadWebp(const std::string& bytes) {
    Rgba out;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::uint8_t* pixels = WebPDecodeRGBA(data, bytes.size(), &out.width, &out.height);
    if (!pixels) return {};
    out.pixels.assign(pixels, pixels + std::size_t(out.width) * std::size_t(out.height) * 4);
    WebPFree(pixels);
    return out;
}

class WebpExport : public RenderProcess {};

TEST_F(WebpExport, DecodesToThePngsPixelsExactlyOrCloselyWhenLossy) {
    struct Case {
        std::string options;
        double maxMeanError;  // per channel; 0: every byte equal
    };
    const Case cases[] = {
        {"--shadow 2", 0},
        {"--shadow 2 --transparent", 0},
        {"--smooth --transparent --frame 1", 0},
        {"--shadow 2 --quality 90", 3},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Render(c.options + " -o " + Path("a.webp")).exitCode, 0) << c.options;
        const std::string png = c.options.substr(0, c.options.find(" --quality"));
        ASSERT_EQ(Render(png + " -o " + Path("a.png")).exitCode, 0) << c.options;
        const Rgba expected = ReadPng(Path("a.png"));
        const Rgba got = ReadWebp(File("a.webp"));
        ASSERT_FALSE(expected.pixels.empty());
        ASSERT_EQ(got.width, expected.width) << c.options;
        ASSERT_EQ(got.height, expected.height) << c.options;
        if (c.maxMeanError == 0) {
            EXPECT_TRUE(got.pixels == expected.pixels) << c.options;
            continue;
        }
        double error = 0;
        for (std::size_t i = 0; i < got.pixels.size(); ++i)
            error += std::abs(int(got.pixels[i]) - int(expected.pixels[i]));
        EXPECT_LT(error / double(got.pixels.size()), c.maxMeanError) << c.options;
        EXPECT_FALSE(got.pixels == expected.pixels) << "stored lossy: " << c.options;
    }
}

TEST_F(WebpExport, QualityTunesJpegAndIsRefusedWhereItMeansNothing) {
    ASSERT_EQ(Render("-o " + Path("plain.jpg")).exitCode, 0);
    ASSERT_EQ(Render("--quality 92 -o " + Path("q92.jpg")).exitCode, 0);
    ASSERT_EQ(Render("--quality 50 -o " + Path("q50.jpg")).exitCode, 0);
    EXPECT_EQ(File("plain.jpg"), File("q92.jpg")) << "92 stays the default";
    EXPECT_LT(File("q50.jpg").size(), File("plain.jpg").size());

    struct Refusal {
        std::string arguments;
        std::string message;
    };
    const Refusal refusals[] = {
        {"--quality 80 -o " + Path("x.png"), "nur für JPEG und WebP"},
        {"--quality 80 -o " + Path("x.bmp"), "nur für JPEG und WebP"},
        {"--quality 80 -o " + Path("x.pdf"), "nur für JPEG und WebP"},
        {"--quality 80 --format png -o " + Path("x.webp"), "nur für JPEG und WebP"},
        {"--quality 0 -o " + Path("x.webp"), "von 1 bis 100"},
        {"--quality 101 -o " + Path("x.jpg"), "von 1 bis 100"},
        {"--quality gut -o " + Path("x.jpg"), "von 1 bis 100"},
    };
    for (const Refusal& r : refusals) {
        const Result run = Render(r.arguments);
        EXPECT_EQ(run.exitCode, 2) << r.arguments;
        EXPECT_NE(run.errors.find(r.message), std::string::npos) << run.errors;
        for (const char* name : {"x.png", "x.bmp", "x.pdf", "x.webp", "x.jpg"})
            EXPECT_FALSE(std::filesystem::exists(Path(name))) << r.arguments;
    }
}

}  // namespace
}  // namespace gw
