// The outputs of a run are one transaction: all of them take their places, or none does and
// nothing of the attempt stays on disk, even when the run is interrupted.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "RenderProcess.h"
#include "platform/FileAccess.h"

namespace gw {
namespace {

namespace fs = std::filesystem;
using OutputTransaction = RenderProcess;

TEST_F(OutputTransaction, AFailedRunChangesNoTargetAndLeavesNothing) {
    ASSERT_EQ(Render("--save " + Path("doc.zgw")).exitCode, 0);
    const std::string before = Contents(Path("doc.zgw"));
    struct Case {
        std::string arguments;
        int exitCode;
    };
    const Case cases[] = {
        // The document would be complete long before the picture's folder turns out missing.
        {Path("doc.zgw") + " --text NEU --save " + Path("doc.zgw") + " -o " + Path("nodir/x.png"),
         1},
        {"--save " + Path("new.zgw") + " -o " + Path("nodir/x.png"), 1},
        // The layers' folders are made for the run and go with it.
        {"--stages " + Path("layers/deep") + " -o " + Path("nodir/x.png"), 1},
        {"--stages " + Path("doc.zgw") + " -o " + Path("x.png"), 1},
        {"-o '' --save " + Path("doc.zgw"), 2},
        {"--save= -o " + Path("x.png"), 2},
        {"--stages '' -o " + Path("x.png"), 2},
    };
    for (const Case& c : cases) {
        const auto run = Render(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_FALSE(run.errors.empty()) << c.arguments;
        EXPECT_EQ(Listing(), std::set<std::string>{"doc.zgw"}) << c.arguments;
        EXPECT_EQ(Contents(Path("doc.zgw")), before) << c.arguments;
    }
}

TEST_F(OutputTransaction, ASuccessfulRunLeavesExactlyItsOutputs) {
    fs::create_symlink("pictures/out.png", Path("dangling.png"));
    fs::create_directory(Path("pictures"));
    ASSERT_EQ(Render("--save " + Path("doc.zgw") + " -o " + Path("dangling.png") + " --stages " +
                     Path("a/b"))
                  .exitCode,
              0);
    EXPECT_EQ(Listing(),
              (std::set<std::string>{"a", "a/b", "a/b/letters.png", "a/b/textimage.png",
                                     "a/b/textmask.png", "a/b/unfiltered.png", "dangling.png",
                                     "doc.zgw", "pictures", "pictures/out.png"}));
    // A link names where the picture goes; it stays a link.
    EXPECT_TRUE(fs::is_symlink(Path("dangling.png")));
}

TEST_F(OutputTransaction, TheNextSaveRemovesTemporariesNobodyIsWriting) {
    for (const char* name : {"doc.zgw.tmp-Ab3xZ9", "doc.zgw.tmp-held01", "doc.zgw.tmp-toolong1",
                             "other.zgw.tmp-Ab3xZ9"})
        std::ofstream(Path(name)) << "left";
    // A run still writing holds a lock on its temporary.
    const int held = ::open(Path("doc.zgw.tmp-held01").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_EQ(Render("--save " + Path("doc.zgw")).exitCode, 0);
    ::close(held);
    EXPECT_EQ(Listing(), (std::set<std::string>{"doc.zgw", "doc.zgw.tmp-held01",
                                                "doc.zgw.tmp-toolong1", "other.zgw.tmp-Ab3xZ9"}));
}

TEST_F(OutputTransaction, ASignalRemovesTheTemporariesAndEndsTheRunByTheSameSignal) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CleanUpOnSignals();
            StagedFile file;
            if (file.Open(Path("out.png")) != ReplaceStatus::Ok || !WriteAll(file.Fd(), {}, 0))
                ::_exit(3);
            static char folder[4096];
            Path("made").copy(folder, sizeof(folder) - 1);
            if (RememberTemporary(folder, true) < 0 || ::mkdir(folder, 0777) != 0) ::_exit(4);
            ::raise(signal);
            ::_exit(5);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << signal << " " << status;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_TRUE(Listing().empty()) << signal;
    }
}

}  // namespace
}  // namespace gw
