#pragma once
// A fontconfig set-up of a test's own: only the font files it names (found among the installed
// ones), so pixels of text come out the same on a bare machine and on one with a thousand fonts.
// FONTCONFIG_FILE points at it, for this process and for programs the test starts; the previous
// set-up comes back when it goes. The program's own font rule is loaded on top as usual.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextLayout.h"

namespace gw::testing {

class FontSetup {
  public:
    // `synthesisRules`: fontconfig's own rules that rewrite a match lacking the asked style.
    explicit FontSetup(const std::vector<std::string>& files, bool synthesisRules = false) {
        namespace fs = std::filesystem;
        static int count = 0;
        dir_ = fs::temp_directory_path() /
               ("glyphwerk-fonts-" + std::to_string(::getpid()) + "-" + std::to_string(++count));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "fonts");
        for (const std::string& file : files) {
            const fs::path found = Find(file);
            EXPECT_FALSE(found.empty()) << "font file " << file << " is not installed";
            if (!found.empty()) fs::create_symlink(found, dir_ / "fonts" / file);
        }
        const fs::path conf = dir_ / "fonts.conf";
        std::ofstream out(conf);
        out << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM "
               "\"urn:fontconfig:fonts.dtd\">\n"
            << "<fontconfig>\n  <dir>" << (dir_ / "fonts").string() << "</dir>\n  <cachedir>"
            << (dir_ / "cache").string() << "</cachedir>\n";
        if (synthesisRules)
            out << "  <include "
                   "ignore_missing=\"yes\">/etc/fonts/conf.d/90-synthetic.conf</include>\n";
        out << "</fontconfig>\n";
        out.close();
        if (const char* previous = std::getenv("FONTCONFIG_FILE")) previous_ = previous;
        ::setenv("FONTCONFIG_FILE", conf.c_str(), 1);
        ResetFontConfiguration();
    }
    FontSetup(const FontSetup&) = delete;
    FontSetup& operator=(const FontSetup&) = delete;
    ~FontSetup() {
        if (previous_) {
            ::setenv("FONTCONFIG_FILE", previous_->c_str(), 1);
        } else {
            ::unsetenv("FONTCONFIG_FILE");
        }
        ResetFontConfiguration();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

  private:
    static std::filesystem::path Find(std::string_view file) {
        namespace fs = std::filesystem;
        for (const char* root : {"/usr/share/fonts", "/usr/local/share/fonts"}) {
            std::error_code ec;
            for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end;
                 it.increment(ec))
                if (it->path().filename() == file) return it->path();
        }
        return {};
    }

    std::filesystem::path dir_;
    std::optional<std::string> previous_;
};

// The set-up of a whole test program, made before its first test.
class FontSetupEnvironment : public ::testing::Environment {
  public:
    explicit FontSetupEnvironment(std::vector<std::string> files) : files_(std::move(files)) {}
    void SetUp() override { setup_ = std::make_unique<FontSetup>(files_); }
    void TearDown() override { setup_.reset(); }

  private:
    std::vector<std::string> files_;
    std::unique_ptr<FontSetup> setup_;
};

}  // namespace gw::testing
