#pragma once
// Runs glyphwerk-render as a process in a fresh folder of its own, for the tests that watch what
// a run leaves on disk.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace gw {

class RenderProcess : public ::testing::Test {
  protected:
    struct Result {
        int exitCode = -1;
        std::string errors;
    };

    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("glyphwerk-run-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // `environment` goes before the command, as in "NAME=VALUE ".
    Result Render(const std::string& arguments, const std::string& environment = "") const {
        const std::string errors =
            (dir_.parent_path() / (dir_.filename().string() + ".err")).string();
        const std::string command = environment + "'" GLYPHWERK_BIN_DIR "/glyphwerk-render' " +
                                    arguments + " 2>'" + errors + "' >/dev/null";
        const int status = std::system(command.c_str());
        Result run;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.errors = Contents(errors);
        std::filesystem::remove(errors);
        return run;
    }

    // Runs a shell line in the test's folder, its errors into errors.txt; $R is the renderer.
    int Shell(const std::string& line) const {
        const std::string command = "cd '" + dir_.string() +
                                    "' && R='" GLYPHWERK_BIN_DIR "/glyphwerk-render' && { " + line +
                                    "; } 2>errors.txt";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string File(const std::string& name) const { return Contents(Path(name)); }

    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Every name in the run's folder and below it, relative to the folder.
    std::set<std::string> Listing() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_))
            names.insert(entry.path().lexically_relative(dir_).string());
        return names;
    }

    std::filesystem::path dir_;
};

}  // namespace gw
