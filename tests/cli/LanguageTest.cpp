// glyphwerk-render in German and in English: --lang or the environment decide before the first
// word, and the presets answer to both languages' names.
#include <gtest/gtest.h>

#include <string>

#include "cli/RenderProcess.h"

namespace gw {
namespace {

using Language = RenderProcess;

TEST_F(Language, TheChosenLanguageSpeaksFromTheFirstWord) {
    struct Case {
        const char* environment;
        const char* arguments;
        const char* file;  // what the run printed: "out.txt" or "errors.txt"
        const char* expected;
    };
    const Case cases[] = {
        {"", "--help", "out.txt", "Aufruf: glyphwerk-render"},
        {"", "--lang en --help", "out.txt", "Usage: glyphwerk-render"},
        {"", "--lang=en --help", "out.txt", "  -o, --output FILE"},
        {"LANG=en_US.UTF-8", "--help", "out.txt", "Usage: glyphwerk-render"},
        {"LANG=C LANGUAGE=en", "--help", "out.txt", "Aufruf: glyphwerk-render"},
        {"LANG=en_US.UTF-8", "--lang de --help", "out.txt", "Aufruf: glyphwerk-render"},
        {"LC_ALL=fr_FR.UTF-8", "--help", "out.txt", "Aufruf: glyphwerk-render"},
        // Usage errors of options before --lang, and the value of another option that reads
        // like it.
        {"", "--bogus --lang en", "errors.txt", "Unknown option: --bogus\nHelp:"},
        {"", "--size 5x5 --lang en", "errors.txt", "expects WIDTHxHEIGHT"},
        {"", "--lang fr", "errors.txt", "Die Option --lang erwartet de oder en, nicht \"fr\"."},
        {"", "--text --lang en --size 5x5", "errors.txt", "erwartet BREITExHÖHE"},
        {"LANG=en_US.UTF-8", "-o x.gif", "errors.txt", "The picture format of \"x.gif\""},
        {"", "--lang en --list envelopes", "out.txt", "\n7 Wave\n"},
        {"", "--lang de --list shadows", "out.txt", "\n6 Leuchten\n"},
        {"", "--lang en --list frames", "out.txt", "0 None\n1 Colored\n"},
        {"", "--lang en --set SpiralEd=x -o x.png", "errors.txt",
         "\"x\" for SpiralEd is not a number."},
        {"", "--lang en --help", "out.txt",
         "  SpiralEd                      0.6 to 10, two decimal"},
    };
    for (const Case& c : cases) {
        // Whatever the shell running the tests has, only the case's variables count.
        Shell(std::string("env LANGUAGE= LC_ALL= LC_MESSAGES= LANG=C ") + c.environment + " $R " +
              c.arguments + " >out.txt 2>errors.txt");
        EXPECT_NE(File(c.file).find(c.expected), std::string::npos)
            << c.environment << " " << c.arguments << " printed:\n"
            << File(c.file);
    }
}

TEST_F(Language, PresetsTakeTheirGermanAndEnglishNamesInEitherLanguage) {
    struct Case {
        const char* option;
        const char* number;
        const char* names[3];
    };
    const Case cases[] = {
        {"--envelope", "7", {"Welle", "wave", "WAVE"}},
        {"--envelope", "25", {"Rechtsgedreht", "TurnedRight", "turnedright"}},
        {"--edge", "10", {"Wulst", "Bulge", "bulge"}},
        {"--shadow", "6", {"leuchten", "Glow", "GLOW"}},
        {"--frame", "3", {"Kissen", "Cushion", "cushion"}},
    };
    for (const Case& c : cases) {
        const std::string option = std::string(c.option) + " ";
        ASSERT_EQ(Shell("$R " + option + c.number + " --save by-number.zgw"), 0)
            << File("errors.txt");
        for (const char* language : {"de", "en"}) {
            for (const char* name : c.names) {
                EXPECT_EQ(Shell("$R --lang " + std::string(language) + " " + option + name +
                                " --save by-name.zgw"),
                          0)
                    << name << ": " << File("errors.txt");
                EXPECT_EQ(File("by-name.zgw"), File("by-number.zgw"))
                    << name << " --lang " << language;
            }
        }
    }
}

}  // namespace
}  // namespace gw
