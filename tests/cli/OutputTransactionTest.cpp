// The outputs of a run are one transaction: all of them take their places, or none does and
// nothing of the attempt stays on disk, even when the run is interrupted.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

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

TEST_F(OutputTransaction, SavingLeavesEveryFileItDidNotMake) {
    // Names like the program's temporaries, old and new, one of them behind a link's target.
    fs::create_directory(Path("real"));
    fs::create_symlink("real/doc.zgw", Path("link.zgw"));
    const std::set<std::string> userFiles = {"doc.zgw.tmp-Ab3xZ9", "pic.png.tmp-Notes1",
                                             ".doc.zgw.~gw-new-Ab3xZ9", ".pic.png.~gw-old-Ab3xZ9",
                                             "real/doc.zgw.tmp-abc123"};
    for (const std::string& name : userFiles)
        std::ofstream(Path(name)) << "notes";
    const std::pair<std::string, int> runs[] = {
        {"--save " + Path("doc.zgw") + " -o " + Path("pic.png"), 0},
        {"--save " + Path("link.zgw"), 0},
        {"--save " + Path("doc.zgw") + " -o " + Path("nodir/x.png"), 1},
    };
    for (const auto& [arguments, exitCode] : runs)
        EXPECT_EQ(Render(arguments).exitCode, exitCode) << arguments;
    std::set<std::string> expected = userFiles;
    expected.insert({"doc.zgw", "pic.png", "link.zgw", "real", "real/doc.zgw"});
    EXPECT_EQ(Listing(), expected);
    for (const std::string& name : userFiles)
        EXPECT_EQ(Contents(Path(name)), "notes") << name;
}

// The commit's renames, counted, with one of them failing or interrupted by SIGTERM.
int g_renames = 0, g_failAt = -1, g_signalAt = -1;
int ChosenRename(const char* from, const char* to) {
    const int position = g_renames++;
    if (position == g_signalAt) ::raise(SIGTERM);
    if (position == g_failAt) {
        errno = EISDIR;
        return -1;
    }
    return std::rename(from, to);
}

TEST_F(OutputTransaction, ACommitPutsEveryFileInPlaceOrNone) {
    struct Case {
        int failAt, signalAt;
    };
    const Case cases[] = {{0, -1}, {1, -1}, {2, -1}, {-1, 0}, {-1, 1}, {-1, 2}};
    // The first and the last target exist, the middle one is new.
    const char* targets[] = {"a.zgw", "b.png", "c/d.png"};
    for (const Case& c : cases) {
        fs::remove_all(dir_);
        fs::create_directories(Path("c"));
        std::ofstream(Path("a.zgw")) << "old";
        std::ofstream(Path("c/d.png")) << "old";
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CleanUpOnSignals();
            g_failAt = c.failAt;
            g_signalAt = c.signalAt;
            SetRenameForTesting(ChosenRename);
            std::vector<StagedFile> files(3);
            for (int i = 0; i < 3; ++i) {
                const std::string text = std::string("new ") + targets[i];
                if (files[i].Open(Path(targets[i])) != ReplaceStatus::Ok ||
                    !WriteAll(files[i].Fd(), reinterpret_cast<const std::uint8_t*>(text.data()),
                              text.size()) ||
                    files[i].Finish() != ReplaceStatus::Ok)
                    ::_exit(3);
            }
            std::string failed;
            ::_exit(CommitStagedFiles(files, failed) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const std::string at = std::to_string(c.failAt) + "/" + std::to_string(c.signalAt);
        if (c.signalAt >= 0) {
            // A signal waits for the commit, which finishes, and then ends the process.
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << at;
            EXPECT_EQ(Listing(), (std::set<std::string>{"a.zgw", "b.png", "c", "c/d.png"})) << at;
            for (const char* target : targets)
                EXPECT_EQ(Contents(Path(target)), std::string("new ") + target) << at;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << at;
            EXPECT_EQ(Listing(), (std::set<std::string>{"a.zgw", "c", "c/d.png"})) << at;
            EXPECT_EQ(Contents(Path("a.zgw")), "old") << at;
            EXPECT_EQ(Contents(Path("c/d.png")), "old") << at;
        }
    }
}

TEST_F(OutputTransaction, AWriteBeyondTheFileSizeLimitFailsLikeAFullDisk) {
    for (const std::string& output :
         {"--save " + Path("doc.zgw"), "-o " + Path("pic.bmp"), "--stages " + Path("layers")}) {
        const auto run = Render(output, "ulimit -f 2; ");
        EXPECT_EQ(run.exitCode, 1) << output;
        EXPECT_NE(run.errors.find("nicht schreiben"), std::string::npos) << run.errors;
        EXPECT_TRUE(Listing().empty()) << output;
    }
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
            const int slot = RememberTemporary(folder, true);
            struct stat made {};
            if (slot < 0 || ::mkdir(folder, 0777) != 0 || ::lstat(folder, &made) != 0) ::_exit(4);
            MadeTemporary(slot, made.st_dev, made.st_ino);
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
