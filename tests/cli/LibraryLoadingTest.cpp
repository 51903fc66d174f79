// The renderer opens its font, picture and compression libraries when it first calls into them.
// A run that needs one that cannot be opened says which in German, exits with 1 and leaves no
// file behind, from whichever thread the call came; a run that does not need it is not stopped.
// A text shaped and drawn before is drawn from the records kept on disk, the same to the byte.
#include <filesystem>
#include <string>

#include "RenderProcess.h"

namespace gw {
namespace {

class LibraryLoading : public RenderProcess {};

TEST_F(LibraryLoading, AMissingLibraryEndsOnlyTheRunsThatNeedIt) {
#if !defined(GLYPHWERK_RENDER_OPENS_LIBRARIES)
    GTEST_SKIP() << "this build links the libraries";
#endif
    ASSERT_EQ(Render("--size 120x60 -o " + Path("texture.png")).exitCode, 0);
    const struct {
        const char* library;
        std::string arguments;
        bool needed;
    } cases[] = {
        // The picture's writing, with its temporary file already made.
        {"libz.so.1", "-o " + Path("out.png"), true},
        {"libjpeg.so.62", "-o " + Path("out.jpg"), true},
        {"libwebp.so.7", "-o " + Path("out.webp"), true},
        {"libwebp.so.7", "-o " + Path("out.png"), false},
        // The drawing of the text, which the font thread opens ahead.
        {"libharfbuzz.so.0", "-o " + Path("out.bmp"), true},
        {"libfribidi.so.0", "-o " + Path("out.bmp"), true},
        {"libfreetype.so.6", "-o " + Path("out.bmp"), true},
        // The textures, read on the main thread.
        {"libgif.so.7",
         "--text-texture '" GLYPHWERK_SOURCE_DIR "/data/tex03-holz.gif' -o " + Path("out.bmp"),
         true},
        {"libpng16.so.16", "--text-texture " + Path("texture.png") + " -o " + Path("out.bmp"),
         true},
        {"libjpeg.so.62", "--text-texture " + Path("texture.png") + " -o " + Path("out.bmp"),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.library) + " " + c.arguments);
        // No records kept on disk: the text is shaped and drawn by the libraries.
        const auto run = Render(
            "--size 120x60 " + c.arguments,
            std::string("XDG_CACHE_HOME=/proc/1 GLYPHWERK_UNLOADABLE_LIBRARY=") + c.library + " ");
        if (!c.needed) {
            EXPECT_EQ(run.exitCode, 0) << run.errors;
        } else {
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_EQ(run.errors, std::string("glyphwerk-render: Die Bibliothek ") + c.library +
                                      " fehlt oder lässt sich nicht laden; ohne sie kann "
                                      "glyphwerk-render nicht weiterarbeiten.\n");
            EXPECT_EQ(Listing(), std::set<std::string>{"texture.png"});
        }
        for (const char* name : {"out.png", "out.jpg", "out.webp", "out.bmp"})
            std::filesystem::remove(Path(name));
    }
}

TEST_F(LibraryLoading, AKeptTextIsDrawnTheSameWithoutTheTextLibraries) {
    const std::string kept = "XDG_CACHE_HOME='" + Path("cache") + "' ";
    const std::string arguments[] = {
        "--size 450x200 --edge 3 --shadow 2 --frame 1 --set SinDeform=1 --envelope 7",
        "--size 300x300 --text 'Mir Мир שלום\\nسلام' --font 'DejaVu Sans'",
        "--size 200x90 --font 'DejaVu Serif' --italic --bold --text 'Ärger'",
        "--size 200x90 --text-raw --text '&Unter & über  &&' --bold --set AusrichtBox=2",
        "--size 200x90 --text 'a🦄b' --font 'Lato Black'",
    };
    for (const std::string& a : arguments) {
        SCOPED_TRACE(a);
        ASSERT_EQ(Render(a + " -o " + Path("cold.png"), "XDG_CACHE_HOME=/proc/1 ").exitCode, 0);
        for (int run = 0; run < 2; ++run) {
            ASSERT_EQ(Render(a + " -o " + Path("kept.png"), kept).exitCode, 0);
            EXPECT_EQ(File("kept.png"), File("cold.png")) << "run " << run;
        }
#if defined(GLYPHWERK_RENDER_OPENS_LIBRARIES)
        // Drawn from the records alone; a text with a character no font has was not kept.
        const bool missing = a.find("🦄") != std::string::npos;
        for (const char* library :
             {"libharfbuzz.so.0", "libfreetype.so.6", "libfribidi.so.0", "libfontconfig.so.1"}) {
            const auto run = Render(a + " -o " + Path("kept.png"),
                                    kept + "GLYPHWERK_UNLOADABLE_LIBRARY=" + library + " ");
            EXPECT_EQ(run.exitCode, missing ? 1 : 0) << library << run.errors;
            if (!missing) {
                EXPECT_EQ(File("kept.png"), File("cold.png")) << library;
            }
        }
#endif
        // A damaged record is not believed: a byte of it changed, or the record cut short.
        for (const auto& entry : std::filesystem::directory_iterator(Path("cache/glyphwerk"))) {
            std::string bytes = Contents(entry.path());
            const std::size_t at = bytes.size() / 2;
            bytes[at] = char(bytes[at] ^ 0x20);
            std::ofstream(entry.path(), std::ios::binary | std::ios::trunc)
                << (entry.path().filename().string() < "match" ? bytes : bytes.substr(0, at));
        }
        ASSERT_EQ(Render(a + " -o " + Path("kept.png"), kept).exitCode, 0);
        EXPECT_EQ(File("kept.png"), File("cold.png"));
    }
}

}  // namespace
}  // namespace gw
