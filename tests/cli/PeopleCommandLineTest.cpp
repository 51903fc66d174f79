// glyphwerk-render for people: texts drawn as typed, colours as people write them, errors that
// say which path and why, options written either way, completions, and a batch spread over runs.
#include <gtest/gtest.h>

#include <unistd.h>

#include <regex>
#include <set>
#include <string>
#include <utility>

#include "cli/RenderProcess.h"

namespace gw {
namespace {

namespace fs = std::filesystem;
using People = RenderProcess;

constexpr char kSmall[] = " --size 120x50 ";

TEST_F(People, EachWayOfAskingSavesTheSameDocument) {
    const std::pair<std::string, std::string> same[] = {
        {"--text 'A & B'", "--text-raw --text 'A && B'"},
        {"--text 'A &&B' --text-raw", "--text 'A &B'"},
        {"--color '#f00'", "--set SurfaceFrame1.Color=0x0000FF"},
        {"--color '#FF0000'", "--color red"},
        {"--color 'rgb( 255, 0,0 )'", "--color RED"},
        {"--text-texture tex.bmp --color navy",
         "--text-texture tex.bmp --set SurfaceFrame1.ColorCheck=1 --set "
         "SurfaceFrame1.Color=0x800000"},
        {"--background '#00f'", "--set SurfaceFrame2.Color=0xFF0000"},
        {"--shadow-color 'rgb(0,128,0)' --shadow 2", "--shadow 2 --set SColorShape=0x008000"},
        {"--frame 1 --frame-color gold", "--frame 1 --set 'RColorShape=#FFD700'"},
        {"--color red --set SurfaceFrame1.Color=0xFF0000", "--color blue"},
        {"--save=a.zgw --text x", "--text=x"},
    };
    ASSERT_EQ(Shell("$R --size 20x20 -o tex.bmp"), 0);
    for (const auto& [asked, plain] : same) {
        ASSERT_EQ(Shell(std::string("$R") + kSmall + asked + " --save a.zgw"), 0) << asked;
        ASSERT_EQ(Shell(std::string("$R") + kSmall + plain + " --save b.zgw"), 0) << plain;
        EXPECT_TRUE(File("a.zgw") == File("b.zgw")) << asked;
    }
    // Literal: a saved document holds the doubled &, and the picture differs from the raw one.
    ASSERT_EQ(Shell(std::string("$R") + kSmall + "--text 'A & B' --save a.zgw -oliteral.png"), 0);
    EXPECT_NE(File("a.zgw").find("A && B"), std::string::npos);
    ASSERT_EQ(Shell(std::string("$R") + kSmall + "--text 'A & B' --text-raw -o raw.png"), 0);
    EXPECT_FALSE(File("literal.png") == File("raw.png"));
}

TEST_F(People, FileErrorsNameThePathAndTheReason) {
    ASSERT_EQ(
        Shell("mkdir folder.png && $R --size 20x20 --save locked.zgw && chmod 000 locked.zgw"), 0);
    // As root every file is readable: the unreadable file is then tried by a user without rights.
    const std::string asUser =
        ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    const std::pair<std::string, std::string> runs[] = {
        {"$R nosuch/doc.zgw -o x.png", "\"nosuch/doc.zgw\": nicht gefunden"},
        {"$R -o nosuch/deeper/x.png",
         "\"nosuch/deeper/x.png\": der Ordner \"nosuch/deeper\" fehlt"},
        {"$R -o folder.png", "\"folder.png\": ist ein Ordner"},
        {"$R folder.png -o x.png", "\"folder.png\": ist ein Ordner"},
        {"$R --batch folder.png -o 'b{n}.png'", "\"folder.png\": ist ein Ordner"},
        {"$R --text-texture ./nosuch.bmp -o x.png", "\"./nosuch.bmp\": nicht gefunden"},
        {"$R --stages locked.zgw/layers -o x.png", "\"locked.zgw/layers\": ein Teil des Pfades"},
        {asUser + "$R locked.zgw -o x.png", "\"locked.zgw\": keine Berechtigung"},
    };
    std::set<std::string> before = Listing();
    before.erase("errors.txt");
    for (const auto& [run, reason] : runs) {
        EXPECT_EQ(Shell(run), 1) << run;
        EXPECT_NE(File("errors.txt").find("glyphwerk-render: " + reason), std::string::npos)
            << run << "\n"
            << File("errors.txt");
        std::set<std::string> after = Listing();
        after.erase("errors.txt");
        EXPECT_EQ(after, before) << run;
    }
}

TEST_F(People, EmptyBatchLinesAreSkippedAndKeepTheirNumbers) {
    // Line 5 is too long once its & are doubled, though not as typed.
    ASSERT_EQ(Shell("printf 'a\\n\\nb & c\\n\\r\\n%600000s\\n\\nc\\n' '' | sed '5s/ /\\&/g' "
                    ">list.txt"),
              0);
    EXPECT_EQ(Shell(std::string("$R --batch list.txt") + kSmall + "-oout-{n}.png"), 1);
    EXPECT_NE(File("errors.txt").find("3 leere Zeilen"), std::string::npos) << File("errors.txt");
    EXPECT_NE(File("errors.txt").find("Zeile 5: "), std::string::npos) << File("errors.txt");
    std::set<std::string> pictures;
    for (const std::string& name : Listing())
        if (name.starts_with("out-")) pictures.insert(name);
    EXPECT_EQ(pictures, (std::set<std::string>{"out-1.png", "out-3.png", "out-7.png"}));
}

TEST_F(People, CompletionsOfferEveryOptionOfTheHelp) {
    ASSERT_EQ(Shell("$R --help >help.txt && $R --completion bash >bash.txt && "
                    "$R --completion zsh >zsh.txt && bash -n bash.txt"),
              0);
    const std::string help = File("help.txt");
    const std::regex option(R"(\n  (-[a-z], )?(--[a-z-]+))");
    int options = 0;
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option);
         it != std::sregex_iterator(); ++it, ++options) {
        const std::string name = (*it)[2];
        for (const char* shell : {"bash.txt", "zsh.txt"}) {
            const std::regex listed("(^|[ '|])" + name + "([ '|=)\\[]|$)");
            EXPECT_TRUE(std::regex_search(File(shell), listed)) << name << " in " << shell;
        }
    }
    EXPECT_GT(options, 0);
}

TEST_F(People, ShardsSpreadOverParallelMakeTheFilesOfOneRun) {
    if (Shell("command -v parallel") != 0) GTEST_SKIP() << "GNU parallel fehlt";
    ASSERT_EQ(Shell("printf 'Anna\\nBernd & Co\\n\\nAnna\\nAnna-4\\nCarla\\nAnna\\nD\\nE\\n' "
                    ">list.txt && mkdir whole shards"),
              0);
    const std::string options = std::string(kSmall) + "--shadow 2 -o '{text}.png'";
    ASSERT_EQ(Shell("cd whole && $R --batch ../list.txt" + options), 0);
    ASSERT_EQ(Shell("cd shards && parallel -I @@ \"$R\" --batch ../list.txt --shard @@/4" +
                    options + " ::: 1 2 3 4"),
              0)
        << File("errors.txt");
    // One shard alone: lines 4 and 8, named as in the whole run (line 5 took "Anna-4" there).
    ASSERT_EQ(Shell("mkdir one && cd one && $R --batch ../list.txt --shard 1/4" + options), 0);
    EXPECT_EQ(Listing().count("one/Anna-4-2.png") + Listing().count("one/D.png"), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("one")), {}), 2);
    std::set<std::string> whole, shards;
    for (const auto& entry : fs::directory_iterator(Path("whole")))
        whole.insert(entry.path().filename().string());
    for (const auto& entry : fs::directory_iterator(Path("shards")))
        shards.insert(entry.path().filename().string());
    EXPECT_EQ(shards, whole);
    for (const std::string& name : whole)
        EXPECT_TRUE(File("shards/" + name) == File("whole/" + name)) << name;
}

}  // namespace
}  // namespace gw
