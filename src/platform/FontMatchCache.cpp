#include "platform/FontMatchCache.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/DiskRecord.h"
#include "platform/System.h"

namespace gw::fonts {

namespace {

// A start-up looks at no more paths than this; a set-up with more keeps no matches.
constexpr int kMaxStats = 2048;
constexpr std::size_t kMaxEntries = 65536;
constexpr int kMaxDepth = 8;
constexpr std::size_t kMaxRecordBytes = 16384;
constexpr std::size_t kMaxNameBytes = 4096;
constexpr std::string_view kMagic = "GWFMATC4";
constexpr int kSlots = 256;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string Absolute(const std::string& path) {
    return !path.empty() && path[0] == '/' ? path : std::string();
}

class KeyText {
  public:
    void Variable(const char* name) {
        const char* value = std::getenv(name);
        text_ += name;
        text_ += value ? std::string("=") + value : std::string(" unset");
        text_ += '\n';
    }

    // Appends the path's state; true when it is a folder.
    bool Stat(const std::string& path) {
        if (++stats_ > kMaxStats) return false;
        struct stat st {};
        text_ += path;
        if (::stat(path.c_str(), &st) != 0) {
            text_ += " -\n";
            return false;
        }
        char line[160];
        std::snprintf(line, sizeof line, " %llu %llu %o %lld %lld.%09ld\n",
                      static_cast<unsigned long long>(st.st_dev),
                      static_cast<unsigned long long>(st.st_ino), unsigned(st.st_mode),
                      static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
                      st.st_mtim.tv_nsec);
        text_ += line;
        return S_ISDIR(st.st_mode);
    }

    // A configuration folder: itself and every entry (links followed).
    void Listed(const std::string& folder) {
        if (!Stat(folder)) return;
        for (const Entry& entry : Entries(folder))
            Stat(folder + "/" + entry.name);
    }

    // A font folder: itself and every folder below it. A font added or removed changes the time
    // of the folder it is in; the files themselves are not looked at.
    void Walked(const std::string& folder, int depth = 0) {
        if (!Stat(folder) || depth >= kMaxDepth) return;
        for (const Entry& entry : Entries(folder)) {
            if (entry.type == DT_REG) continue;
            const std::string path = folder + "/" + entry.name;
            if (entry.type == DT_DIR) {
                Walked(path, depth + 1);
                continue;
            }
            struct stat st {};
            if (++stats_ <= kMaxStats && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                Walked(path, depth + 1);
        }
    }

    std::string Digest() const {
        if (stats_ > kMaxStats || entries_ > kMaxEntries) return {};
        return Digest128(text_);
    }

  private:
    struct Entry {
        std::string name;
        unsigned char type;
    };

    std::vector<Entry> Entries(const std::string& folder) {
        std::vector<Entry> entries;
        DIR* dir = ::opendir(folder.c_str());
        if (!dir) return entries;
        while (const dirent* d = ::readdir(dir)) {
            if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) continue;
            if (++entries_ > kMaxEntries) break;
            entries.push_back({d->d_name, d->d_type});
        }
        ::closedir(dir);
        // The order of a folder's entries is the file system's; the key must not depend on it.
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.name < b.name; });
        return entries;
    }

    std::string text_;
    int stats_ = 0;
    std::size_t entries_ = 0;
};

}  // namespace

std::string MatchCacheFolder() {
    std::string base = Absolute(Env("XDG_CACHE_HOME"));
    if (base.empty()) {
        const std::string home = Absolute(Env("HOME"));
        if (home.empty()) return {};
        base = home + "/.cache";
    }
    if (!MakeFolder(base) || !MakeFolder(base + "/glyphwerk")) return {};
    return base + "/glyphwerk";
}

std::string MatchCacheKey() {
    KeyText key;
    for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT", "HOME",
                             "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        key.Variable(name);
    const std::string home = Absolute(Env("HOME"));
    std::string configHome = Absolute(Env("XDG_CONFIG_HOME"));
    if (configHome.empty() && !home.empty()) configHome = home + "/.config";
    std::string dataHome = Absolute(Env("XDG_DATA_HOME"));
    if (dataHome.empty() && !home.empty()) dataHome = home + "/.local/share";

    std::vector<std::string> configFolders;
    const std::string paths = Env("FONTCONFIG_PATH");
    for (std::size_t at = 0; at <= paths.size() && !paths.empty();) {
        const std::size_t end = std::min(paths.find(':', at), paths.size());
        if (end > at) configFolders.push_back(paths.substr(at, end - at));
        at = end + 1;
    }
    configFolders.push_back("/etc/fonts");
    const std::string file = Env("FONTCONFIG_FILE");
    if (!file.empty()) {
        if (file[0] == '/') {
            key.Stat(file);
        } else {
            for (const std::string& folder : configFolders)
                key.Stat(folder + "/" + file);
        }
    }
    for (const std::string& folder : configFolders) {
        key.Stat(folder + "/fonts.conf");
        key.Stat(folder + "/local.conf");
        key.Listed(folder + "/conf.d");
    }
    key.Listed("/usr/share/fontconfig/conf.avail");
    if (!configHome.empty()) {
        key.Stat(configHome + "/fontconfig/fonts.conf");
        key.Listed(configHome + "/fontconfig/conf.d");
    }
    if (!home.empty()) {
        key.Stat(home + "/.fonts.conf");
        key.Listed(home + "/.fonts.conf.d");
    }
    key.Stat(DataFolder() + "glyphwerk-fonts.conf");
    key.Walked("/usr/share/fonts");
    key.Walked("/usr/local/share/fonts");
    if (!dataHome.empty()) key.Walked(dataHome + "/fonts");
    if (!home.empty()) key.Walked(home + "/.fonts");
    return key.Digest();
}

std::string CachedMatchFile(const std::string& folder, const std::string& family, bool bold,
                            bool italic) {
    const std::uint64_t h = Fnv(family + '\0' + (bold ? 'b' : '-') + (italic ? 'i' : '-'));
    char name[32];
    std::snprintf(name, sizeof name, "/match-%02x", unsigned(h % kSlots));
    return folder + name;
}

std::optional<CachedMatch> ReadCachedMatch(const std::string& folder, const std::string& key,
                                           const std::string& family, bool bold, bool italic) {
    if (key.empty()) return std::nullopt;
    std::string storedKey;
    std::optional<CachedMatch> match = ReadCachedRecord(folder, family, bold, italic, storedKey);
    // A record of another set-up is out of date.
    if (storedKey != key) return std::nullopt;
    return match;
}

std::optional<CachedMatch> ReadCachedRecord(const std::string& folder, const std::string& family,
                                            bool bold, bool italic, std::string& storedKey) {
    storedKey.clear();
    if (folder.empty()) return std::nullopt;
    const std::optional<std::string> payload =
        ReadRecord(CachedMatchFile(folder, family, bold, italic), kMagic, kMaxRecordBytes);
    if (!payload) return std::nullopt;

    RecordReader in(*payload);
    std::string storedFamily;
    std::uint8_t storedBold = 0, storedItalic = 0, embolden = 0;
    CachedMatch match;
    FileState state;
    const auto text = [&in](std::string& s) { return in.Text(s, kMaxNameBytes); };
    FaceUnits& u = match.units;
    const bool read = text(storedKey) && text(storedFamily) && in.Get(storedBold) &&
                      in.Get(storedItalic) && text(match.file) && in.Get(match.index) &&
                      in.Get(state.size) && in.Get(state.seconds) && in.Get(state.nanoseconds) &&
                      in.Get(match.askedWeight) && in.Get(match.askedSlant) && in.Get(embolden) &&
                      in.Get(match.matrix) && text(match.listedSpelling) &&
                      in.Get(match.faceWeight) && in.Get(match.faceSlant) &&
                      text(match.faceFamily) && in.Get(u.unitsPerEm) && in.Get(u.ascent) &&
                      in.Get(u.descent) && in.Get(u.underlinePosition) &&
                      in.Get(u.underlineThickness) && in.Get(u.boldStrength) && in.AtEnd();
    // Another family may share the slot; the font file must be the one matched.
    if (!read || storedKey.empty() || storedFamily != family || storedBold != bold ||
        storedItalic != italic || match.file.empty() || match.file[0] != '/' || match.index < 0 ||
        u.unitsPerEm <= 0 || u.ascent < 0 || u.descent < 0 || u.ascent + u.descent <= 0 ||
        u.boldStrength < 1 || StateOf(match.file) != state) {
        storedKey.clear();
        return std::nullopt;
    }
    match.embolden = embolden != 0;
    return match;
}

void WriteCachedMatch(const std::string& folder, const std::string& key, const std::string& family,
                      bool bold, bool italic, const CachedMatch& match) {
    if (folder.empty() || key.empty() || family.size() > kMaxNameBytes ||
        match.file.size() > kMaxNameBytes || match.listedSpelling.size() > kMaxNameBytes ||
        match.faceFamily.size() > kMaxNameBytes)
        return;
    const std::optional<FileState> state = StateOf(match.file);
    if (!state) return;
    RecordWriter payload;
    payload.Text(key);
    payload.Text(family);
    payload.Put(std::uint8_t(bold));
    payload.Put(std::uint8_t(italic));
    payload.Text(match.file);
    payload.Put(match.index);
    payload.Put(state->size);
    payload.Put(state->seconds);
    payload.Put(state->nanoseconds);
    payload.Put(match.askedWeight);
    payload.Put(match.askedSlant);
    payload.Put(std::uint8_t(match.embolden));
    payload.Put(match.matrix);
    payload.Text(match.listedSpelling);
    payload.Put(match.faceWeight);
    payload.Put(match.faceSlant);
    payload.Text(match.faceFamily);
    for (const std::int32_t v :
         {match.units.unitsPerEm, match.units.ascent, match.units.descent,
          match.units.underlinePosition, match.units.underlineThickness, match.units.boldStrength})
        payload.Put(v);
    WriteRecord(CachedMatchFile(folder, family, bold, italic), kMagic, payload.Bytes());
}

}  // namespace gw::fonts
