// --batch as a run of many: every line its own file, a list read with care, and workers that end
// with the run.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/RenderProcess.h"

namespace gw {
namespace {

namespace fs = std::filesystem;
using Batch = RenderProcess;

constexpr char kSmall[] = " --size 120x50 ";

TEST_F(Batch, EveryLineGetsAFileOfItsOwn) {
    const std::vector<std::string> lists[] = {
        {"Hallo!", "Hallo_-3", "Hallo?"},
        {"Hallo?", "Hallo!", "Hallo_-2"},
        {"Hallo_-2", "Hallo!", "Hallo?"},
        {"a", "a", "a-2", "a-3", "a-2-2"},
    };
    for (const auto& lines : lists) {
        fs::remove_all(dir_);
        fs::create_directories(Path("out"));
        std::ofstream list(Path("list.txt"));
        for (const std::string& line : lines)
            list << line << '\n';
        list.close();
        const std::string arguments =
            "--batch " + Path("list.txt") + kSmall + "-o '" + Path("out/{text}.png") + "'";
        EXPECT_EQ(Render(arguments).exitCode, 0) << lines[2];
        EXPECT_EQ(std::distance(fs::directory_iterator(Path("out")), {}),
                  std::ptrdiff_t(lines.size()))
            << lines[2];
    }
}

TEST_F(Batch, ListsAndDocumentsThatNeverEndAreRefused) {
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    const std::string pattern = " -o '" + Path("b{n}.png") + "'";
    const std::string runs[] = {
        "- -o " + Path("x.png") + " </dev/zero",
        "--batch /dev/zero" + pattern,
        "--batch - " + pattern + " </dev/zero",
        // No writer ever opens it.
        "--batch " + Path("fifo") + pattern,
    };
    for (const std::string& arguments : runs) {
        const auto run = Render(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments;
        EXPECT_NE(run.errors.find("glyphwerk-render: "), std::string::npos) << run.errors;
        EXPECT_EQ(Listing(), std::set<std::string>{"fifo"}) << arguments;
    }
}

TEST_F(Batch, WorkersEndWithTheRun) {
    if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one core: no workers";
    // The workers, orphaned, come to this process, which sees how they ended.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    {
        std::ofstream list(Path("list.txt"));
        for (int i = 0; i < 5000; ++i)
            list << "Zeile " << i << '\n';
    }
    const pid_t run = ::fork();
    ASSERT_GE(run, 0);
    if (run == 0) {
        const std::string list = Path("list.txt"), pattern = Path("b{n}.png");
        ::execl(GLYPHWERK_BIN_DIR "/glyphwerk-render", "glyphwerk-render", "--batch", list.c_str(),
                "--size", "120x50", "-o", pattern.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Once pictures appear, the workers are drawing.
    int status = 0;
    pid_t ended = 0;
    while ((!fs::exists(Path("b1.png")) || !fs::exists(Path("b2.png"))) &&
           (ended = ::waitpid(run, &status, WNOHANG)) == 0)
        ::usleep(10000);
    ASSERT_EQ(ended, 0) << "the run ended before it drew";
    ::kill(run, SIGTERM);
    ASSERT_EQ(::waitpid(run, &status, 0), run);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    int workers = 0;
    for (pid_t worker; (worker = ::waitpid(-1, &status, 0)) > 0; ++workers)
        EXPECT_TRUE(WIFSIGNALED(status)) << "a worker went on and ended with " << status;
    EXPECT_GT(workers, 0);
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    for (const std::string& name : Listing())
        EXPECT_EQ(name.find(".~gw-"), std::string::npos) << name;
}

}  // namespace
}  // namespace gw
