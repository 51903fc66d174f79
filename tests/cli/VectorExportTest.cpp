// The vector pictures of glyphwerk-render: SVG, the vector PDF and the cut file, read back by
// other programs' rasterisers and held to the raster picture's letters.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "RenderProcess.h"
#include "raster/DibService.h"

namespace gw {
namespace {

class VectorExport : public RenderProcess {
  protected:
    // Dark pixels (below half grey) of a 24-bit picture file, one flag a pixel.
    std::vector<bool> Letters(const std::string& name) const {
        DibImage dib;
        OpenDib(dib, Path(name));
        std::vector<bool> dark;
        if (!dib.Bits || DibBitCount(dib) != 24) return dark;
        for (std::int32_t y = 0; y < DibHeight(dib); ++y)
            for (std::int32_t x = 0; x < DibWidth(dib); ++x) {
                const std::uint8_t* p = dib.Row(y) + 3 * x;
                dark.push_back(p[0] + p[1] + p[2] < 3 * 128);
            }
        return dark;
    }

    static double IntersectionOverUnion(const std::vector<bool>& a, const std::vector<bool>& b) {
        if (a.size() != b.size() || a.empty()) return 0;
        std::size_t both = 0, either = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            both += a[i] && b[i];
            either += a[i] || b[i];
        }
        return either == 0 ? 0 : double(both) / double(either);
    }

    // An SVG as a PNG of the picture's size, on white where it is transparent.
    int Rasterise(const std::string& svg, const std::string& png) const {
        return Shell("rsvg-convert -b white -w 900 -h 400 -o '" + png + "' '" + svg + "'");
    }
};

constexpr char kDarkBold[] = "--bold --color black --background white --size 900x400 ";

TEST_F(VectorExport, TheLettersCoverWhatTheRasterPictureCovers) {
    struct Case {
        std::string options;
        double least;  // intersection over union with the raster picture's letters
    };
    const Case cases[] = {
        {"--envelope 0", 0.95},
        {"--envelope 3", 0.95},
        {"--envelope 7", 0.95},
        {"--envelope 13", 0.95},
        {"--envelope 22", 0.95},
        {"--envelope 0 --set SinDeform=1", 0.95},
        {"--envelope 7 --set SinDeform=1", 0.95},
        {"--envelope 0 --set RandDeform=1", 0.90},
        // The spiral's turns squeeze the text to strokes a pixel or two thick, whose edges the
        // outlines follow on the average, not pixel by pixel: the more turns, the thinner the
        // strokes and the larger the share of their pixels that lie at an edge.
        {"--spiral 1.5", 0.93},
        {"--spiral 3", 0.86},
        {"--spiral 3 --set SinDeform=1", 0.84},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const std::string options = kDarkBold + c.options;
        ASSERT_EQ(Render(options + " -o " + Path("raster.png")).exitCode, 0);
        ASSERT_EQ(Render(options + " -o " + Path("vector.svg")).exitCode, 0);
        ASSERT_EQ(Render(options + " --vector -o " + Path("vector.pdf")).exitCode, 0);
        ASSERT_EQ(Render(options + " --outlines -o " + Path("cut.svg")).exitCode, 0);
        ASSERT_EQ(Rasterise("vector.svg", "svg.png"), 0);
        ASSERT_EQ(Shell("pdftoppm -png -singlefile -scale-to-x 900 -scale-to-y 400 vector.pdf pdf"),
                  0);
        // The cut file filled: its hairlines become the letters' areas again.
        std::string cut = File("cut.svg");
        for (const auto& [from, to] :
             {std::pair<std::string, std::string>{"fill:none", "fill:#000"},
              {"stroke:rgb(0%,0%,0%)", "stroke:none"}})
            for (std::size_t at = cut.find(from); at != std::string::npos; at = cut.find(from, at))
                cut.replace(at, from.size(), to);
        std::ofstream(Path("filled.svg"), std::ios::binary) << cut;
        ASSERT_EQ(Rasterise("filled.svg", "filled.png"), 0);

        const std::vector<bool> raster = Letters("raster.png"), svg = Letters("svg.png");
        const double svgIou = IntersectionOverUnion(raster, svg);
        const double pdfIou = IntersectionOverUnion(raster, Letters("pdf.png"));
        const double cutIou = IntersectionOverUnion(svg, Letters("filled.png"));
        std::printf("%-32s IoU SVG %.4f, PDF %.4f, cut file %.4f\n", c.options.c_str(), svgIou,
                    pdfIou, cutIou);
        EXPECT_GE(svgIou, c.least);
        EXPECT_GE(pdfIou, c.least);
        EXPECT_GE(cutIou, 0.99);
    }
}

TEST_F(VectorExport, WhatTheLetteringNeedsIsAllTheFileHolds) {
    struct Case {
        std::string options;
        bool image;  // an embedded raster layer
        bool clip;   // letters of a raster layer, clipped by their outline
    };
    const Case cases[] = {
        {"", false, false},
        {"--text ' '", false, false},
        {"--transparent", false, false},
        {"--shadow 1", true, false},
        {"--edge 1", true, true},
        {"--set SurfaceFrame1.Texture0Check=1", true, true},
        {"--frame 1 --set RTextcheck=1 --dpi 300", true, true},
        {"--shadow 1 --transparent --scale 2", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        ASSERT_EQ(Render(c.options + " -o " + Path("x.svg")).exitCode, 0);
        const std::string svg = File("x.svg");
        EXPECT_EQ(svg.find("<image") != std::string::npos, c.image);
        EXPECT_EQ(svg.find("clip-path") != std::string::npos, c.clip);
        EXPECT_EQ(svg.find("<text"), std::string::npos);
        // A valid document, whatever it holds.
        EXPECT_EQ(Rasterise("x.svg", "x.png"), 0);
    }
}

TEST_F(VectorExport, RequestsAVectorPictureCannotMeetAreRefused) {
    struct Case {
        std::string options;
        std::string named;  // the message names this
    };
    const Case cases[] = {
        {"--outlines -o x.png", "--outlines"},
        {"--outlines -o x.jpg", "--outlines"},
        {"--outlines -o x.bmp", "--outlines"},
        {"--outlines -o x.webp", "--outlines"},
        {"--outlines --smooth -o x.svg", "--smooth"},
        {"--outlines --scale 2 -o x.pdf", "--scale"},
        {"--vector -o x.png", "--vector"},
        {"--vector -o x.svg", "--vector"},
        {"--quality 50 -o x.svg", "--quality"},
        {"--quality 50 --vector -o x.pdf", "--quality"},
        {"--format svg --stages s -o x", "--stages"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        std::string options = c.options;
        for (const std::string word : {"-o ", "--stages "})
            if (const std::size_t at = options.find(word); at != std::string::npos)
                options.insert(at + word.size(), dir_.string() + "/");
        const Result run = Render(options);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.errors.find(c.named), std::string::npos) << run.errors;
        EXPECT_TRUE(Listing().empty());
    }
}

}  // namespace
}  // namespace gw
