// A run that cannot have the memory it needs says so in German, exits with 1 and leaves nothing
// on disk, wherever the memory ran out: reading, rendering or writing.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "RenderProcess.h"

namespace gw {
namespace {

class MemoryFailure : public RenderProcess {
  protected:
    // How often the run said that memory ran out: once, however many places noticed it.
    static int Said(const std::string& errors) {
        const std::string message = "Fehler: nicht genug Speicher für diese Operation!";
        int count = 0;
        for (auto at = errors.find(message); at != std::string::npos;
             at = errors.find(message, at + 1))
            ++count;
        return count;
    }
};

TEST_F(MemoryFailure, EveryAllocationThatFailsEndsTheRunCleanly) {
    ASSERT_EQ(Render("--text-texture '" GLYPHWERK_SOURCE_DIR "/data/tex03-holz.gif' --save " +
                     Path("doc.zgw"))
                  .exitCode,
              0);
    const std::string before = Contents(Path("doc.zgw"));
    const std::string everything = Path("doc.zgw") + " --edge 4 --shadow 3 --frame 2 --save " +
                                   Path("doc.zgw") + " -o " + Path("out.png") + " --stages " +
                                   Path("layers");
    // The picture's large blocks, one after the other, until the run has all it needs; every
    // third is enough to meet reading, each effect and writing.
    int n = 1;
    for (;; n += 3) {
        ASSERT_LT(n, 400) << "the run never got through";
        const auto run = Render(everything, "GLYPHWERK_ALLOCATION_FAIL=" + std::to_string(n) + " ");
        if (run.exitCode == 0) break;
        EXPECT_EQ(run.exitCode, 1) << n;
        EXPECT_EQ(Said(run.errors), 1) << n << ": " << run.errors;
        EXPECT_EQ(Listing(), std::set<std::string>{"doc.zgw"}) << n;
        EXPECT_EQ(Contents(Path("doc.zgw")), before) << n;
    }
    EXPECT_GT(n, 10);
}

TEST_F(MemoryFailure, EachBlockOfARunWithItsStagesFailsWithOneMessage) {
    for (int n = 1;; ++n) {
        ASSERT_LT(n, 200) << "the run never got through";
        const auto run = Render("--edge 4 --shadow 3 --frame 2 --stages " + Path("layers"),
                                "GLYPHWERK_ALLOCATION_FAIL=" + std::to_string(n) + " ");
        if (run.exitCode == 0) break;
        EXPECT_EQ(Said(run.errors), 1) << n << ": " << run.errors;
    }
}

TEST_F(MemoryFailure, APictureTooLargeForTheMemoryIsRefusedAtOnce) {
    const auto run = Render("--size 9999x9999 --edge 4 -o " + Path("out.png"),
                            "GLYPHWERK_ALLOCATION_LIMIT=100000000 ");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("nicht genug Speicher"), std::string::npos) << run.errors;
    EXPECT_TRUE(Listing().empty());
}

// The thumbnailer's budgets: a run over its processor time or address space ends with its
// message and 1 and writes nothing; smoothing wider than the old filter's limit is no shortage.
TEST_F(MemoryFailure, BudgetsEndTheRunCleanlyAndWidePicturesAreSmoothed) {
    struct Case {
        const char* arguments;
        int exitCode;
        const char* said;  // a part of the message; nullptr: no message at all
    };
    const Case cases[] = {
        {"--size 9999x9999 --edge 4 --shadow 3 --time-limit 1", 1, "Rechenzeit"},
        {"--size 9999x9999 --memory-limit 200", 1, "nicht genug Speicher"},
        {"--size 4096x50 --smooth --time-limit 600", 0, nullptr},
        {"--size 2048x50 --scale 8", 0, nullptr},
    };
    for (const Case& c : cases) {
#if defined(__SANITIZE_ADDRESS__)
        // The address sanitizer's build takes no address-space cap.
        if (std::string_view(c.arguments).find("--memory-limit") != std::string_view::npos)
            continue;
#endif
        const auto run = Render(std::string(c.arguments) + " -o " + Path("out.png"));
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << ": " << run.errors;
        if (c.said)
            EXPECT_NE(run.errors.find(c.said), std::string::npos) << run.errors;
        else
            EXPECT_EQ(run.errors, "") << c.arguments;
        EXPECT_EQ(Listing().empty(), c.exitCode != 0) << c.arguments;
        std::filesystem::remove(Path("out.png"));
    }
}

// A PDF short of memory, in our blocks or cairo's image of the picture, says so and writes
// nothing; the blocks one after the other until the run gets through.
TEST_F(MemoryFailure, APdfShortOfMemorySaysSo) {
    // The picture (270,000 bytes) passes, cairo's image of it (360,000) does not.
    const auto limited = Render("-o " + Path("out.pdf"), "GLYPHWERK_ALLOCATION_LIMIT=350000 ");
    EXPECT_EQ(limited.exitCode, 1);
    EXPECT_EQ(Said(limited.errors), 1) << limited.errors;
    EXPECT_TRUE(Listing().empty());
    std::vector<std::string> environments;
    for (int n = 1; n <= 40; ++n)
        environments.push_back("GLYPHWERK_ALLOCATION_FAIL=" + std::to_string(n) + " ");
    bool through = false;
    for (const std::string& environment : environments) {
        const auto run = Render("-o " + Path("out.pdf"), environment);
        if (run.exitCode == 0) {
            through = true;
            break;
        }
        EXPECT_EQ(run.exitCode, 1) << environment;
        EXPECT_EQ(Said(run.errors), 1) << environment << run.errors;
        EXPECT_TRUE(Listing().empty()) << environment;
    }
    EXPECT_TRUE(through);
}

// Below the address space any run needs, the run ends with the memory message before the font
// configuration fails inside its library on the preparing thread.
TEST_F(MemoryFailure, TooLittleAddressSpaceEndsTheRunAtOnce) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer cannot run under a ulimit -v";
#else
    for (const char* limit : {"20000", "40000"}) {
        const auto run = Render("-o " + Path("out.png"), std::string("ulimit -v ") + limit + "; ");
        EXPECT_EQ(run.exitCode, 1) << limit;
        EXPECT_EQ(Said(run.errors), 1) << limit << ": " << run.errors;
        EXPECT_TRUE(Listing().empty()) << limit;
    }
#endif
}

}  // namespace
}  // namespace gw
