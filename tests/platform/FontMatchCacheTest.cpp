#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "FontSetup.h"
#include "platform/FontEngine.h"
#include "platform/FontMatchCache.h"
#include "platform/TextTestSupport.h"

namespace gw {
namespace {

namespace fs = std::filesystem;
using testing::Font;

// The cache of matches in a folder of the test's own, for as long as it lives.
class CacheHome {
  public:
    explicit CacheHome(const std::string& home) {
        if (const char* previous = std::getenv("XDG_CACHE_HOME")) previous_ = previous;
        ::setenv("XDG_CACHE_HOME", home.c_str(), 1);
        ResetFontConfiguration();
    }
    ~CacheHome() {
        if (previous_) {
            ::setenv("XDG_CACHE_HOME", previous_->c_str(), 1);
        } else {
            ::unsetenv("XDG_CACHE_HOME");
        }
        ResetFontConfiguration();
    }

  private:
    std::optional<std::string> previous_;
};

struct Match {
    std::string file;
    bool bold = false, italic = false;
    std::string spelling, standIn;  // what a run naming the font is told of it
    bool configurationRead = false;
    friend bool operator==(const Match&, const Match&) = default;
};

Match Resolve(const LogFont& font) {
    ResetFontConfiguration();
    Match m;
    m.standIn = FontStandIn(font);
    m.spelling = ListedFontSpelling(font);
    auto lock = fonts::EngineLock();
    const fonts::FaceChoice choice = fonts::ChooseFace(font);
    m.file = fonts::FileOf(choice);
    m.bold = choice.syntheticBold;
    m.italic = choice.syntheticItalic;
    m.configurationRead = fonts::ConfigurationRead();
    return m;
}

enum class Change { None, FontReplaced, RecordDamaged, FolderReadOnly, NoFolder };

TEST(FontMatchCache, AMatchFromDiskIsFontconfigsOrIsNotUsed) {
    struct Case {
        std::vector<std::string> files;
        bool rules;
        LogFont font;
        Change change;
        std::string spelling, standIn;
    };
    const std::vector<std::string> dejaVu = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"};
    const std::vector<std::string> lato = {"Lato-Black.ttf", "DejaVuSans.ttf"};
    const std::string d = "DejaVu Sans";
    const Case cases[] = {
        {dejaVu, false, Font(d, -40), Change::None, d, ""},
        {dejaVu, false, Font(d, -40, true, true), Change::None, d, ""},
        {{"DejaVuSans.ttf"}, true, Font(d, -40, true, true), Change::None, d, ""},
        {lato, false, Font("Lato Black", -40), Change::None, "Lato Black", ""},
        {lato, false, Font("lato BLACK", -40), Change::None, "Lato Black", "Lato Black"},
        {dejaVu, false, Font("No Such Family", -40, true), Change::None, "", d},
        {dejaVu, false, Font(d, -40), Change::FontReplaced, d, ""},
        {dejaVu, false, Font(d, -40, true), Change::RecordDamaged, d, ""},
        {dejaVu, false, Font("No Such Family", -40), Change::RecordDamaged, "", d},
        {dejaVu, false, Font(d, -40), Change::FolderReadOnly, d, ""},
        {dejaVu, false, Font("dejavu sans", -40), Change::NoFolder, d, d},
    };
    // Hebrew: Lato lacks it, DejaVu Sans has it, so the line needs a fallback face.
    const std::string text = "Hamburg \xD7\xA9";
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(n));
        const fs::path home =
            fs::temp_directory_path() /
            ("glyphwerk-match-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
        fs::remove_all(home);
        fs::create_directories(home);
        const fs::path folder = home / "glyphwerk";
        {
            testing::FontSetup setup(c.files, c.rules);
            CacheHome cache(c.change == Change::NoFolder ? "/proc/self/no-such-folder"
                                                         : home.string());
            Match asked = Resolve(c.font);
            const Bitmap drawn = testing::Drawn(c.font, text);
            ASSERT_TRUE(asked.configurationRead);
            EXPECT_EQ(asked.spelling, c.spelling);
            EXPECT_EQ(asked.standIn, c.standIn);
            switch (c.change) {
                case Change::FontReplaced: {
                    // A copy has its own time: the record no longer describes the file.
                    const std::string file = asked.file;
                    fs::copy_file(file, file + ".copy");
                    fs::rename(file + ".copy", file);
                    break;
                }
                case Change::RecordDamaged: {
                    const std::string record = fonts::CachedMatchFile(folder.string(), c.font.name,
                                                                      c.font.bold, c.font.italic);
                    std::fstream f(record, std::ios::in | std::ios::out | std::ios::binary);
                    f.seekp(20);
                    f.put('\x7f');
                    break;
                }
                case Change::FolderReadOnly:
                    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
                    break;
                default:
                    break;
            }
            const bool fromDisk = c.change == Change::None || c.change == Change::FolderReadOnly;
            asked.configurationRead = !fromDisk;
            EXPECT_EQ(Resolve(c.font), asked);
            // A changed record is replaced by the next match fontconfig makes.
            asked.configurationRead = c.change == Change::NoFolder;
            EXPECT_EQ(Resolve(c.font), asked);
            EXPECT_TRUE(testing::SamePixels(testing::Drawn(c.font, text), drawn));
        }
        fs::permissions(home, fs::perms::owner_all, fs::perm_options::add);
        if (fs::exists(folder)) fs::permissions(folder, fs::perms::owner_all);
        fs::remove_all(home);
    }
}

// The disk's key made on another thread while this one opens the face: the same match, and a
// record of another set-up is not believed though its face was opened meanwhile.
TEST(FontMatchCache, AKeyMadeAlongsideGivesTheSameMatch) {
    const fs::path home =
        fs::temp_directory_path() / ("glyphwerk-match-key-" + std::to_string(::getpid()));
    testing::FontSetup setup({"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"});
    const LogFont font = Font("DejaVu Sans", -40);
    for (const bool otherSetUp : {false, true}) {
        fs::remove_all(home);
        CacheHome cache(home.string());
        const std::string fresh = Resolve(font).file;  // fontconfig's match, kept on disk
        if (otherSetUp) {
            fonts::CachedMatch other;
            other.file = ResolvedFontFile(Font("DejaVu Sans", -40, true));
            fonts::WriteCachedMatch((home / "glyphwerk").string(), "another set-up", font.name,
                                    false, false, other);
        }
        for (int round = 0; round < 3; ++round) {
            ResetFontConfiguration();
            std::thread maker(PrepareFontMatches);
            EXPECT_EQ(ResolvedFontFile(font), fresh) << otherSetUp << round;
            maker.join();
            EXPECT_EQ(fonts::ConfigurationRead(), otherSetUp && round == 0) << round;
        }
    }
    fs::remove_all(home);
}

TEST(FontMatchCache, ProcessesWritingAtOnceLeaveAWholeRecord) {
    const fs::path home =
        fs::temp_directory_path() / ("glyphwerk-match-writers-" + std::to_string(::getpid()));
    fs::remove_all(home);
    fs::create_directories(home);
    const std::string folder = home.string();
    const std::string font = ResolvedFontFile(Font("DejaVu Sans", -40));
    const std::string key = "0123456789abcdef";
    pid_t writers[2] = {};
    for (int w = 0; w < 2; ++w) {
        writers[w] = ::fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            for (int i = 0; i < 300; ++i) {
                fonts::CachedMatch match;
                match.file = font;
                match.askedWeight = w * 1000 + i;
                match.listedSpelling = "DejaVu Sans";
                match.faceWeight = w * 1000 + i;
                match.faceFamily = "DejaVu Sans";
                fonts::WriteCachedMatch(folder, key, "DejaVu Sans", false, false, match);
            }
            ::_exit(0);
        }
    }
    int torn = 0;
    for (int i = 0; i < 300; ++i) {
        // Once a record is in place, every read finds a whole one.
        if (fs::exists(fonts::CachedMatchFile(folder, "DejaVu Sans", false, false)) &&
            !fonts::ReadCachedMatch(folder, key, "DejaVu Sans", false, false))
            ++torn;
    }
    for (const pid_t writer : writers) {
        int status = 0;
        ::waitpid(writer, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(torn, 0);
    const auto last = fonts::ReadCachedMatch(folder, key, "DejaVu Sans", false, false);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->file, font);
    EXPECT_EQ(last->askedWeight % 1000, 299);
    EXPECT_EQ(last->listedSpelling, "DejaVu Sans");
    EXPECT_EQ(last->faceWeight, last->askedWeight);
    EXPECT_EQ(last->faceFamily, "DejaVu Sans");
    EXPECT_EQ(std::distance(fs::directory_iterator(home), fs::directory_iterator()), 1);
    fs::remove_all(home);
}

}  // namespace
}  // namespace gw
