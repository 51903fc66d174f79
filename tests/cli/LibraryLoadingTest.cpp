// The renderer opens its font, picture and compression libraries when it first calls into them.
// A run that needs one that cannot be opened says which in German, exits with 1 and leaves no
// file behind, from whichever thread the call came; a run that does not need it is not stopped.
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
        const auto run = Render("--size 120x60 " + c.arguments,
                                std::string("GLYPHWERK_UNLOADABLE_LIBRARY=") + c.library + " ");
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

}  // namespace
}  // namespace gw
