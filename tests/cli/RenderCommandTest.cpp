// glyphwerk-render as a whole process: its outputs, exit codes and messages.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FontSetup.h"
#include "raster/DibService.h"

namespace gw {
namespace {

namespace fs = std::filesystem;

// The renderer started by these tests finds only these faces (and its own font rule).
[[maybe_unused]] ::testing::Environment* const kFonts =
    ::testing::AddGlobalTestEnvironment(new testing::FontSetupEnvironment(
        {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "Lato-Black.ttf"}));

struct RunResult {
    int exitCode = -1;
    std::string errors;
};

class RenderCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("glyphwerk-cli-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // `environment` goes before the command, as in "NAME=VALUE ".
    RunResult Render(const std::string& arguments, const std::string& environment = "") const {
        const std::string errors = Path("stderr.txt");
        const std::string command = environment + "'" GLYPHWERK_BIN_DIR "/glyphwerk-render' " +
                                    arguments + " 2>'" + errors + "' >/dev/null";
        const int status = std::system(command.c_str());
        RunResult run;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.errors = Contents(errors);
        return run;
    }

    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir_;
};

TEST_F(RenderCommand, TheStartUpLetteringIsTheSameEveryTime) {
    ASSERT_EQ(Render("-o " + Path("a.png")).exitCode, 0);
    ASSERT_EQ(Render("-o " + Path("b.png")).exitCode, 0);
    EXPECT_EQ(Contents(Path("a.png")), Contents(Path("b.png")));
    DibImage picture;
    OpenDib(picture, Path("a.png"));
    ASSERT_TRUE(picture.Bits);
    EXPECT_EQ(DibWidth(picture), 450);
    EXPECT_EQ(DibHeight(picture), 200);
    // White around blue letters.
    const std::uint8_t* corner = picture.Row(0);
    EXPECT_EQ(corner[0] & corner[1] & corner[2], 0xFF);
}

TEST_F(RenderCommand, FontsAreThoseOfTheFontList) {
    const std::string list = std::string("'") + GLYPHWERK_BIN_DIR "/glyphwerk-render' --fonts >'" +
                             Path("fonts.txt") + "'";
    ASSERT_EQ(std::system(list.c_str()), 0);
    const std::string fonts = "\n" + Contents(Path("fonts.txt"));
    EXPECT_NE(fonts.find("\nDejaVu Sans\n"), std::string::npos) << fonts;
    EXPECT_EQ(Render("--font 'DejaVu Sans' -o " + Path("a.png")).exitCode, 0);
    // A face's second family name is a font of the list as well.
    EXPECT_NE(fonts.find("\nLato Black\n"), std::string::npos) << fonts;
    EXPECT_EQ(Render("--font 'Lato Black' -o " + Path("a.png")).exitCode, 0);
    // The program's font rule always provides the default font.
    EXPECT_EQ(Render("--font 'Arial Black' -o " + Path("b.png")).exitCode, 0);
    EXPECT_EQ(Render("--font 'Keine Solche Schrift' -o " + Path("c.png")).exitCode, 0);
}

TEST_F(RenderCommand, StandInsAndMissingCharactersAreSaidOnlyWhenTheyOccur) {
    struct Case {
        std::string arguments;
        std::string errors;
    };
    const Case cases[] = {
        {"", ""},
        {"--font 'Arial Black'", ""},
        {"--font 'lato black'", ""},
        {"--font 'Lato Black' --text 'Mir Мир'", ""},
        {"--font 'Keine Solche Schrift'",
         "glyphwerk-render: Schriftart „Keine Solche Schrift“ ist nicht "
         "installiert – gezeichnet wird „DejaVu Sans“.\n"},
        {"--text 'a🦄b'",
         "glyphwerk-render: Für diese Zeichen gibt es keine Schrift: "
         "„🦄“ (U+1F984)\n"},
        // Eight are named, the rest counted.
        {"--text '🦄🦅🦆🦇🦈🦉🦊🦋🦌🦍🦄'",
         "glyphwerk-render: Für diese Zeichen gibt es keine Schrift: "
         "„🦄“ (U+1F984), „🦅“ (U+1F985), „🦆“ (U+1F986), „🦇“ (U+1F987), "
         "„🦈“ (U+1F988), „🦉“ (U+1F989), „🦊“ (U+1F98A), „🦋“ (U+1F98B) "
         "und 2 weitere\n"},
    };
    // Each run twice: matching the font, then with the match kept on disk; and with no cache.
    const std::string cached = "XDG_CACHE_HOME='" + Path("cache") + "' ";
    for (const std::string& environment :
         {cached, cached, std::string("XDG_CACHE_HOME=/proc/1 ")}) {
        for (const Case& c : cases) {
            const RunResult run = Render(c.arguments + " -o " + Path("a.png"), environment);
            EXPECT_EQ(run.exitCode, 0) << environment << c.arguments;
            EXPECT_EQ(run.errors, c.errors) << environment << c.arguments;
        }
        // A document keeps a missing font's name, and says so when it is drawn.
        ASSERT_EQ(
            Render("--font 'Keine Solche Schrift' --save " + Path("k.zgw"), environment).exitCode,
            0);
        const RunResult opened = Render(Path("k.zgw") + " --save " + Path("k2.zgw"), environment);
        EXPECT_NE(opened.errors.find("Keine Solche Schrift"), std::string::npos);
        EXPECT_EQ(Contents(Path("k.zgw")), Contents(Path("k2.zgw")));
    }
}

TEST_F(RenderCommand, AMissingDataFolderFailsOnlyRunsThatNeedIt) {
    // The program alone, without the data folder beside it.
    fs::create_directories(dir_ / "bin");
    fs::copy_file(GLYPHWERK_BIN_DIR "/glyphwerk-render", dir_ / "bin" / "glyphwerk-render");
    auto run = [&](const std::string& arguments) {
        const std::string command = "'" + Path("bin/glyphwerk-render") + "' " + arguments + " 2>'" +
                                    Path("stderr.txt") + "' >/dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("-o " + Path("plain.png")), 0);
    EXPECT_EQ(run("--save " + Path("k.zgw")), 1);
    EXPECT_FALSE(fs::exists(Path("k.zgw")));
    EXPECT_NE(Contents(Path("stderr.txt")).find("Gesucht wurde in: " + Path("bin/")),
              std::string::npos)
        << Contents(Path("stderr.txt"));
}

TEST_F(RenderCommand, FormatsFollowTheExtension) {
    ASSERT_EQ(Render("-o " + Path("p.bmp") + " -o " + Path("p.jpg")).exitCode, 0);
    EXPECT_TRUE(fs::exists(Path("p.jpg")));
    ASSERT_EQ(Render("--output=" + Path("p.bmp")).exitCode, 0);
    DibImage bmp;
    OpenDib(bmp, Path("p.bmp"));
    EXPECT_EQ(DibBitCount(bmp), 24u);
    const RunResult unknown = Render("-o " + Path("p.tiff"));
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_FALSE(fs::exists(Path("p.tiff")));
}

TEST_F(RenderCommand, UsageErrorsExitWithTwoAndWriteNothing) {
    for (const std::string& bad :
         {std::string("--frobnicate"), std::string("--set NoSuchControl=1"),
          std::string("--set KWinkEd=steil"), std::string("--edge 11"), std::string("--size 5x5"),
          std::string("--align middle")}) {
        const RunResult run = Render(bad + " -o " + Path("out.png"));
        EXPECT_EQ(run.exitCode, 2) << bad;
        EXPECT_FALSE(run.errors.empty()) << bad;
        EXPECT_FALSE(fs::exists(Path("out.png"))) << bad;
    }
}

TEST_F(RenderCommand, ValuesOutsideTheRangeAreBroughtToTheNearerBound) {
    ASSERT_EQ(Render("--set KanteCheck=1 --set KWinkEd=500 -o " + Path("a.png")).exitCode, 0);
    ASSERT_EQ(Render("--set KanteCheck=1 --set KWinkEd=180 -o " + Path("b.png")).exitCode, 0);
    ASSERT_EQ(Render("--set KanteCheck=1 --set KWinkEd=0 -o " + Path("c.png")).exitCode, 0);
    EXPECT_EQ(Contents(Path("a.png")), Contents(Path("b.png")));
    EXPECT_NE(Contents(Path("a.png")), Contents(Path("c.png")));
}

TEST_F(RenderCommand, SavedDocumentsAreReproducedByteForByte) {
    ASSERT_EQ(Render("--text 'Größe\\nzwei Zeilen' --edge 4 --shadow 3 --frame 2 --envelope 8 "
                     "--size 300x180 --save " +
                     Path("a.zgw") + " -o " + Path("a.png"))
                  .exitCode,
              0);
    ASSERT_EQ(Render(Path("a.zgw") + " --save " + Path("b.zgw") + " -o " + Path("b.png")).exitCode,
              0);
    EXPECT_EQ(Contents(Path("a.zgw")), Contents(Path("b.zgw")));
    EXPECT_EQ(Contents(Path("a.png")), Contents(Path("b.png")));
}

TEST_F(RenderCommand, ADamagedDocumentExitsWithOneAndWritesNothing) {
    {
        std::ofstream out(Path("bad.zgw"), std::ios::binary);
        out << "ZEF-LOR Zarbo-Glyphwerk 2.1" << std::string(10, '\x7f');
    }
    const RunResult run = Render(Path("bad.zgw") + " -o " + Path("out.png"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("ist beschädigt!"), std::string::npos) << run.errors;
    EXPECT_FALSE(fs::exists(Path("out.png")));
}

TEST_F(RenderCommand, AFailedWriteTakesBackWhatTheRunWrote) {
    const RunResult run =
        Render("--save " + Path("kept.zgw") + " -o " + Path("no/such/folder/out.png"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.errors.empty());
    EXPECT_FALSE(fs::exists(Path("kept.zgw")));
}

TEST_F(RenderCommand, StagesAreWrittenAsExactLayers) {
    ASSERT_EQ(Render("--stages " + Path("layers") + " -o " + Path("out.png")).exitCode, 0);
    for (const char* name : {"letters.png", "textimage.png", "textmask.png", "unfiltered.png"})
        EXPECT_TRUE(fs::exists(Path("layers/") + name)) << name;
    DibImage letters;
    OpenDib(letters, Path("layers/letters.png"));
    ASSERT_TRUE(letters.Bits);
    EXPECT_EQ(DibWidth(letters), 450);
    bool black = false;
    for (std::int32_t y = 0; y < DibHeight(letters); ++y) {
        const std::uint8_t* row = letters.Row(y);
        for (std::int32_t i = 0; i < DibWidth(letters) * 3; ++i) {
            ASSERT_TRUE(row[i] == 0 || row[i] == 255);
            black |= row[i] == 0;
        }
    }
    EXPECT_TRUE(black);
}

TEST_F(RenderCommand, OwnTexturesAreLoadedOrRefused) {
    DibImage texture;
    newdib(texture, 8, 8, 24, nullptr, 0);
    for (std::size_t i = 0; i < DibImageSize(texture); ++i)
        texture.Bits[i] = std::uint8_t(i * 37);
    ASSERT_TRUE(SaveDib(texture, Path("tex.bmp"), ImageFileType::Bmp));
    EXPECT_EQ(Render("--background-texture " + Path("tex.bmp") + " -o " + Path("a.png")).exitCode,
              0);
    const RunResult missing = Render("--text-texture " + Path("none.png") + " -o " + Path("b.png"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.errors.find("Konnte das Bild nicht laden."), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("b.png")));
}

}  // namespace
}  // namespace gw
