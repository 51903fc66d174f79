// The print exports of glyphwerk-render: resolution in the files, PDF pages, scaled, smooth and
// transparent pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "RenderProcess.h"
#include "raster/DibService.h"

namespace gw {
namespace {

namespace fs = std::filesystem;

class PrintExport : public RenderProcess {
  protected:
    // The standard output of a shell command.
    static std::string Output(const std::string& command) {
        std::string text;
        if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            std::size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
                text.append(buffer, n);
            ::pclose(pipe);
        }
        return text;
    }

    static std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
        return std::uint32_t(std::uint8_t(bytes[at])) << 24 |
               std::uint32_t(std::uint8_t(bytes[at + 1])) << 16 |
               std::uint32_t(std::uint8_t(bytes[at + 2])) << 8 | std::uint8_t(bytes[at + 3]);
    }
};

TEST_F(PrintExport, AGivenResolutionIsStoredInTheFilesAndOnlyThen) {
    for (const char* name : {"plain.png", "plain.jpg"})
        ASSERT_EQ(Render(std::string("-o ") + Path(name)).exitCode, 0);
    for (const char* name : {"dpi.png", "dpi.jpg"})
        ASSERT_EQ(Render(std::string("--dpi 300 -o ") + Path(name)).exitCode, 0);
    const std::string plainPng = Contents(Path("plain.png"));
    const std::string png = Contents(Path("dpi.png"));
    EXPECT_EQ(plainPng.find("pHYs"), std::string::npos);
    const std::size_t phys = png.find("pHYs");
    ASSERT_NE(phys, std::string::npos);
    EXPECT_EQ(BigEndian(png, phys + 4), 11811u);  // pixels a metre at 300 dpi
    EXPECT_EQ(BigEndian(png, phys + 8), 11811u);
    EXPECT_EQ(png[phys + 12], 1);  // unit: the metre

    // JFIF: the unit byte, then both densities; without --dpi the library's 1:1 aspect.
    const std::string plainJpeg = Contents(Path("plain.jpg"));
    const std::string jpeg = Contents(Path("dpi.jpg"));
    ASSERT_EQ(jpeg.substr(6, 5), std::string("JFIF\0", 5));
    EXPECT_EQ(jpeg[13], 1);
    EXPECT_EQ(std::uint8_t(jpeg[14]) << 8 | std::uint8_t(jpeg[15]), 300);
    EXPECT_EQ(std::uint8_t(jpeg[16]) << 8 | std::uint8_t(jpeg[17]), 300);
    EXPECT_EQ(plainJpeg[13], 0);

    // The pictures themselves are the same.
    DibImage a, b;
    OpenDib(a, Path("plain.png"));
    OpenDib(b, Path("dpi.png"));
    ASSERT_TRUE(a.Bits && b.Bits);
    EXPECT_EQ(0, std::memcmp(a.Bits.get(), b.Bits.get(), DibImageSize(a)));

    for (const char* bad : {"0", "10001", "dreihundert"})
        EXPECT_EQ(Render(std::string("--dpi ") + bad + " -o " + Path("x.png")).exitCode, 2) << bad;
    const Result bmp = Render("--dpi 300 -o " + Path("x.bmp"));
    EXPECT_EQ(bmp.exitCode, 1);
    EXPECT_NE(bmp.errors.find("Auflösung"), std::string::npos) << bmp.errors;
}

TEST_F(PrintExport, APdfIsOnePageOfThePictureAtItsResolution) {
    struct Case {
        std::string options;
        std::string pageSize;  // in points, as pdfinfo prints it
    };
    const Case cases[] = {
        {"--dpi 300", "108 x 48 pts"},  // 450 x 200 at 300 dpi
        {"--format pdf", "337.5 x 150 pts"},
        {"", "337.5 x 150 pts"},  // at 96 dpi
    };
    for (const Case& c : cases) {
        const std::string pdf = Path(c.options == "--format pdf" ? "page.bin" : "page.pdf");
        ASSERT_EQ(Render(c.options + " -o " + pdf).exitCode, 0) << c.options;
        const std::string info = Output("pdfinfo '" + pdf + "'");
        EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
        EXPECT_NE(info.find("Page size:       " + c.pageSize), std::string::npos) << info;
    }
    // The page holds the picture itself, and shows it at the picture's own resolution.
    ASSERT_EQ(Render("-o " + Path("ref.png")).exitCode, 0);
    std::string extract = "pdfimages -png '";
    extract += Path("page.pdf");
    extract += "' '";
    extract += Path("stored");
    extract += "'";
    std::string show = "pdftoppm -r 96 -png -singlefile '";
    show += Path("page.pdf");
    show += "' '";
    show += Path("shown");
    show += "'";
    ASSERT_EQ(std::system(extract.c_str()), 0);
    ASSERT_EQ(std::system(show.c_str()), 0);
    DibImage ref, stored, shown;
    OpenDib(ref, Path("ref.png"));
    OpenDib(stored, Path("stored-000.png"));
    OpenDib(shown, Path("shown.png"));
    ASSERT_TRUE(ref.Bits && stored.Bits && shown.Bits);
    ASSERT_EQ(DibImageSize(stored), DibImageSize(ref));
    EXPECT_EQ(0, std::memcmp(ref.Bits.get(), stored.Bits.get(), DibImageSize(ref)));
    ASSERT_EQ(DibWidth(shown), DibWidth(ref));
    ASSERT_EQ(DibHeight(shown), DibHeight(ref));
    // The viewer samples the pixels at its own positions: close, not exact.
    double difference = 0;
    for (std::size_t i = 0; i < DibImageSize(ref); ++i)
        difference += std::abs(int(ref.Bits[i]) - int(shown.Bits[i]));
    EXPECT_LT(difference / double(DibImageSize(ref)), 8.0);
}

TEST_F(PrintExport, PrintOptionsCombineAndRefuseWhatCannotBe) {
    ASSERT_EQ(Render("--scale 2 --smooth --transparent --dpi 300 -o " + Path("logo.png")).exitCode,
              0);
    DibImage logo;
    OpenDib(logo, Path("logo.png"));
    EXPECT_EQ(DibWidth(logo), 900);
    EXPECT_EQ(DibHeight(logo), 400);
    const std::string png = Contents(Path("logo.png"));
    EXPECT_EQ(png[25], 6) << "colour type: RGB with alpha";
    EXPECT_NE(png.find("pHYs"), std::string::npos);
    ASSERT_EQ(Render("--transparent -o " + Path("logo.pdf")).exitCode, 0);

    struct Refusal {
        std::string arguments;
        std::string message;
    };
    const Refusal refusals[] = {
        {"--transparent -o " + Path("x.jpg"), "nur mit PNG, PDF und WebP"},
        {"--transparent -o " + Path("x.bmp"), "nur mit PNG, PDF und WebP"},
        {"--scale 9 -o " + Path("x.png"), "--scale erwartet"},
        {"--size 4000x1800 --scale 5 -o " + Path("x.png"), "höchstens --scale 4"},
        {"--scale 2 --stages " + Path("stages"), "--stages geht nicht"},
    };
    for (const Refusal& r : refusals) {
        const Result run = Render(r.arguments);
        EXPECT_EQ(run.exitCode, 2) << r.arguments;
        EXPECT_NE(run.errors.find(r.message), std::string::npos) << run.errors;
        EXPECT_FALSE(fs::exists(Path("x.png")) || fs::exists(Path("x.jpg")) ||
                     fs::exists(Path("stages")));
    }
}

}  // namespace
}  // namespace gw
