// glyphwerk-render as a Unix tool: standard streams, names for presets and colours, batches.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cli/RenderProcess.h"
#include "raster/DibService.h"

namespace gw {
namespace {

using CommandLine = RenderProcess;

constexpr char kSmall[] = " --size 120x50 ";

TEST_F(CommandLine, StandardStreamsAndTheEndOfOptions) {
    ASSERT_EQ(Shell(std::string("$R") + kSmall + "--edge 3 -o file.png --save doc.zgw"), 0);
    ASSERT_EQ(Shell(std::string("$R") + kSmall + "--edge 3 -o - >out.png"), 0);
    EXPECT_EQ(File("out.png"), File("file.png"));
    ASSERT_EQ(Shell(std::string("$R") + kSmall + "--edge 3 -o file.bmp"), 0);
    ASSERT_EQ(Shell(std::string("$R") + kSmall + "--edge 3 --format bmp -o - >out.bmp"), 0);
    EXPECT_EQ(File("out.bmp"), File("file.bmp"));
    // A document from standard input, and one whose name starts with a dash after --.
    ASSERT_EQ(Shell("$R - -o stdin.png <doc.zgw"), 0);
    EXPECT_EQ(File("stdin.png"), File("file.png"));
    ASSERT_EQ(Shell("cp doc.zgw ./-doc.zgw && $R -o dash.png -- -doc.zgw"), 0);
    EXPECT_EQ(File("dash.png"), File("file.png"));
    // The thumbnailer's call: a size, a format, and an output name without extension.
    ASSERT_EQ(Shell("$R --fit 60 --format png -o thumb -- doc.zgw"), 0);
    DibImage thumb;
    OpenDib(thumb, Path("thumb"));
    EXPECT_EQ(DibWidth(thumb), 60);
    EXPECT_EQ(DibHeight(thumb), 25);
}

TEST_F(CommandLine, UsageErrorsWriteNothing) {
    ASSERT_EQ(Shell("printf 'a\\nb\\n' >list.txt"), 0);
    for (const std::string bad :
         {"", "--text Hallo", "--batch list.txt -o bild.png",
          "--batch list.txt -o b{n}.png --save x", "--batch list.txt -o b{n}.png --text x",
          "--list farben -o x.png", "--envelope Schnecke -o x.png", "--format gif -o x.png",
          "--format ../png -o x.png", "--set SColorShape=#12345 -o x.png",
          "--set SColorShape=blau -o x.png", "--shard 1/2 -o x.png",
          "--batch list.txt --shard 3/2 -o b{n}.png", "--color '#12' -o x.png",
          "--background 'rgb(0,0,256)' -o x.png", "--completion fish", "-x", "-hx"}) {
        EXPECT_EQ(Shell("$R " + bad), 2) << bad;
        EXPECT_EQ(Listing(), (std::set<std::string>{"errors.txt", "list.txt"})) << bad;
    }
}

TEST_F(CommandLine, NamesMeanWhatTheNumbersMean) {
    const std::pair<std::string, std::string> same[] = {
        {"--envelope Welle", "--envelope 7"},
        {"--edge KONVEX", "--edge 3"},
        {"--shadow diagonal", "--shadow 7"},
        {"--frame Knopf", "--frame 2"},
        {"--set 'SColorShape=#000080'", "--set SColorShape=0x800000"},
        {"--set SColorShape=Navy", "--set SColorShape=0x800000"},
        {"--font 'dejavu SANS'", "--font 'DejaVu Sans'"},
    };
    for (const auto& [named, numbered] : same) {
        ASSERT_EQ(Shell(std::string("$R") + kSmall + named + " --save a.zgw"), 0) << named;
        ASSERT_EQ(Shell(std::string("$R") + kSmall + numbered + " --save b.zgw"), 0) << numbered;
        EXPECT_EQ(File("a.zgw"), File("b.zgw")) << named;
    }
    ASSERT_EQ(Shell("$R --list envelopes >envelopes.txt && $R --list frames >frames.txt"), 0);
    EXPECT_NE(File("envelopes.txt").find("\n7 Welle\n"), std::string::npos);
    EXPECT_EQ(File("frames.txt"), "0 Keiner\n1 Farbig\n2 Knopf\n3 Kissen\n4 Platte\n");
}

TEST_F(CommandLine, BatchLinesAreSingleRunsAndFailAlone) {
    ASSERT_EQ(Shell("printf 'Hallo\\nWelt\\\\nzwei\\nHallo\\nGrüße & mehr!\\nAus\\n' >list.txt"),
              0);
    // The second line's name is taken by a folder: that line fails, the others are drawn.
    ASSERT_EQ(Shell("mkdir -p out/Welt_zwei.png"), 0);
    EXPECT_EQ(Shell(std::string("$R --batch list.txt") + kSmall + "--shadow 2 -o 'out/{text}.png'"),
              1);
    EXPECT_NE(File("errors.txt").find("Zeile 2: "), std::string::npos) << File("errors.txt");
    for (const auto& [text, name] :
         std::vector<std::pair<std::string, std::string>>{{"Hallo", "Hallo.png"},
                                                          {"Hallo", "Hallo-3.png"},
                                                          {"Grüße & mehr!", "Grüße___mehr_.png"},
                                                          {"Aus", "Aus.png"}}) {
        ASSERT_EQ(Shell("$R --text '" + text + "'" + kSmall + "--shadow 2 -o single.png"), 0);
        EXPECT_EQ(File("out/" + name), File("single.png")) << name;
    }
    ASSERT_EQ(Shell(std::string("$R --batch - -o 'n{n}.png'") + kSmall + "<list.txt"), 0);
    for (const char* name : {"n1.png", "n2.png", "n5.png"})
        EXPECT_FALSE(File(name).empty()) << name;
}

}  // namespace
}  // namespace gw
