// The outputs of a run are one transaction: all of them take their places, or none does and
// nothing of the attempt stays on disk, even when the run is interrupted.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "RenderProcess.h"
#include "platform/FileAccess.h"
#include "platform/System.h"

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

// The commit's renames (the undoing ones too), counted, with one of them failing, interrupted by
// SIGTERM, killed at once or made to wait for the test.
int g_renames = 0, g_failAt = -1, g_signalAt = -1, g_dieAt = -1, g_pauseAt = -1;
int g_paused[2] = {-1, -1}, g_resume[2] = {-1, -1};
int ChosenRename(const char* from, const char* to) {
    const int position = g_renames++;
    if (position == g_signalAt) ::raise(SIGTERM);
    if (position == g_dieAt) ::_exit(9);
    if (position == g_pauseAt) {
        char byte = 0;
        if (::write(g_paused[1], &byte, 1) != 1 || ::read(g_resume[0], &byte, 1) < 0) ::_exit(8);
    }
    if (position == g_failAt) {
        errno = EISDIR;
        return -1;
    }
    return std::rename(from, to);
}

// The first and the last target exist, the middle one is new.
const char* const kTargets[] = {"a.zgw", "b.png", "c/d.png"};

void PrepareTargets(const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir / "c");
    std::ofstream(dir / "a.zgw") << "old";
    std::ofstream(dir / "c/d.png") << "old";
}

// In a child: writes the three targets as one commit, and ends with its result.
pid_t CommitInChild(const fs::path& dir, int failAt, int signalAt, int dieAt, int pauseAt) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    CleanUpOnSignals();
    g_failAt = failAt;
    g_signalAt = signalAt;
    g_dieAt = dieAt;
    g_pauseAt = pauseAt;
    if (pauseAt >= 0) {
        ::close(g_paused[0]);
        ::close(g_resume[1]);
    }
    SetRenameForTesting(ChosenRename);
    std::vector<StagedFile> files(3);
    for (int i = 0; i < 3; ++i) {
        const std::string text = std::string("new ") + kTargets[i];
        if (files[i].Open((dir / kTargets[i]).string()) != ReplaceStatus::Ok ||
            !WriteAll(files[i].Fd(), reinterpret_cast<const std::uint8_t*>(text.data()),
                      text.size()) ||
            files[i].Finish() != ReplaceStatus::Ok)
            ::_exit(3);
    }
    std::string failed;
    ::_exit(CommitStagedFiles(files, failed) ? 0 : 1);
}

// In a child: the next run's save of one more file into the folder.
int SaveAnotherFile(const fs::path& dir) {
    const pid_t child = ::fork();
    if (child == 0) {
        const std::uint8_t byte = 'x';
        ::_exit(ReplaceFile((dir / "next.png").string(), {&byte, 1}) == ReplaceStatus::Ok ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(OutputTransaction, ACommitPutsEveryFileInPlaceOrNone) {
    struct Case {
        int failAt, signalAt;
    };
    const Case cases[] = {{0, -1}, {1, -1}, {2, -1}, {-1, 0}, {-1, 1}, {-1, 2}};
    for (const Case& c : cases) {
        PrepareTargets(dir_);
        const pid_t child = CommitInChild(dir_, c.failAt, c.signalAt, -1, -1);
        ASSERT_GE(child, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const std::string at = std::to_string(c.failAt) + "/" + std::to_string(c.signalAt);
        if (c.signalAt >= 0) {
            // A signal waits for the commit, which finishes, and then ends the process.
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << at;
            EXPECT_EQ(Listing(), (std::set<std::string>{"a.zgw", "b.png", "c", "c/d.png"})) << at;
            for (const char* target : kTargets)
                EXPECT_EQ(Contents(Path(target)), std::string("new ") + target) << at;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << at;
            EXPECT_EQ(Listing(), (std::set<std::string>{"a.zgw", "c", "c/d.png"})) << at;
            EXPECT_EQ(Contents(Path("a.zgw")), "old") << at;
            EXPECT_EQ(Contents(Path("c/d.png")), "old") << at;
        }
    }
}

bool HasHiddenFiles(const std::set<std::string>& names) {
    return std::any_of(names.begin(), names.end(), [](const std::string& name) {
        return name.find(".~gw-") != std::string::npos;
    });
}

TEST_F(OutputTransaction, TheNextSaveFinishesOrUndoesACommitKilledHalfway) {
    struct Case {
        int failAt, dieAt;
        bool finished;
    };
    // Killed after the record, after one and two renames, and while undoing a failed third one.
    const Case cases[] = {{-1, 0, true}, {-1, 1, true}, {-1, 2, true}, {2, 3, false}};
    for (const Case& c : cases) {
        PrepareTargets(dir_);
        const pid_t child = CommitInChild(dir_, c.failAt, -1, c.dieAt, -1);
        ASSERT_GE(child, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const std::string at = std::to_string(c.failAt) + "/" + std::to_string(c.dieAt);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << at;
        ASSERT_TRUE(HasHiddenFiles(Listing())) << at;

        EXPECT_EQ(SaveAnotherFile(dir_), 0) << at;
        std::set<std::string> expected = {"a.zgw", "c", "c/d.png", "next.png"};
        if (c.finished) expected.insert("b.png");
        EXPECT_EQ(Listing(), expected) << at;
        for (const char* target : kTargets) {
            const std::string want = c.finished ? std::string("new ") + target : "old";
            if (fs::exists(Path(target))) {
                EXPECT_EQ(Contents(Path(target)), want) << at << target;
            }
        }
    }
}

TEST_F(OutputTransaction, TheRecordOfACommitStillRunningIsLeftAlone) {
    PrepareTargets(dir_);
    ASSERT_EQ(::pipe(g_paused), 0);
    ASSERT_EQ(::pipe(g_resume), 0);
    const pid_t child = CommitInChild(dir_, -1, -1, -1, 1);
    ASSERT_GE(child, 0);
    ::close(g_paused[1]);
    ::close(g_resume[0]);
    char byte = 0;
    ASSERT_EQ(::read(g_paused[0], &byte, 1), 1);
    // The commit waits between its renames while another run saves into the folder.
    const std::set<std::string> during = Listing();
    EXPECT_EQ(SaveAnotherFile(dir_), 0);
    std::set<std::string> after = Listing();
    after.erase("next.png");
    EXPECT_EQ(after, during);
    EXPECT_EQ(Contents(Path("c/d.png")), "old");

    ::close(g_resume[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(g_paused[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Listing(), (std::set<std::string>{"a.zgw", "b.png", "c", "c/d.png", "next.png"}));
    EXPECT_EQ(Contents(Path("c/d.png")), "new c/d.png");
}

TEST_F(OutputTransaction, ARecordThatCannotBeTrustedStaysWithAWarning) {
    const auto fields = [](std::initializer_list<std::string> parts) {
        std::string record;
        for (const std::string& part : parts)
            record.append(part).push_back('\0');
        return record;
    };
    const std::string cases[] = {
        "",
        "notes",
        fields({"glyphwerk commit 1", "1"}),
        // Whole, but naming a user's file as the new one: nothing the commit made.
        fields({"glyphwerk commit 1", "1", Path("notes.txt"), "1", "1", Path("a.zgw"), "", "0", "0",
                "end"}),
    };
    for (const std::string& record : cases) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        std::ofstream(Path("a.zgw")) << "old";
        std::ofstream(Path("notes.txt")) << "notes";
        std::ofstream(Path(".a.zgw.~gw-commit-Ab3xZ9"), std::ios::binary) << record;
        const auto before = Listing();
        RecoverInterruptedCommits(dir_.string());
        const std::vector<Notice> notices = TakeNotices();
        ASSERT_EQ(notices.size(), 1u) << record;
        EXPECT_NE(notices[0].text.find("beschädigt"), std::string::npos) << notices[0].text;
        EXPECT_EQ(Listing(), before) << record;
        EXPECT_EQ(Contents(Path("a.zgw")), "old");
        EXPECT_EQ(Contents(Path("notes.txt")), "notes");
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
