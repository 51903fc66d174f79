#include "platform/FileAccessRecord.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>
#include <string_view>
#include <utility>

#include "platform/Catalogue.h"
#include "platform/FileAccess.h"
#include "platform/System.h"

namespace gw {

namespace {

constexpr std::string_view kHeader = "glyphwerk commit 1";
constexpr std::string_view kEnd = "end";
constexpr std::string_view kRecordMarker = ".~gw-commit-";
constexpr std::size_t kTailLength = 6;
constexpr std::size_t kMostEntries = 4096;
constexpr std::size_t kLargestRecord = std::size_t(1) << 22;

std::string Serialize(const std::vector<CommitRecordEntry>& entries) {
    std::string text;
    const auto field = [&text](std::string_view part) { text.append(part).push_back('\0'); };
    field(kHeader);
    field(std::to_string(entries.size()));
    for (const CommitRecordEntry& entry : entries) {
        field(entry.temporary);
        field(std::to_string(entry.made.device));
        field(std::to_string(entry.made.inode));
        field(entry.target);
        field(entry.backup);
        field(std::to_string(entry.old.device));
        field(std::to_string(entry.old.inode));
    }
    field(kEnd);
    return text;
}

std::string RandomTail() {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[kTailLength] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != ssize_t(sizeof bytes)) {
        // Without randomness the process id and a counter still make a name unlikely to be taken.
        static unsigned counter = 0;
        const unsigned seed = unsigned(::getpid()) * 2654435761u + counter++;
        for (std::size_t i = 0; i < kTailLength; ++i)
            bytes[i] = static_cast<unsigned char>(seed >> (i * 5));
    }
    std::string tail;
    for (const unsigned char byte : bytes)
        tail.push_back(kLetters[byte % (sizeof kLetters - 1)]);
    return tail;
}

std::string FolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

}  // namespace

int WriteCommitRecord(const std::vector<CommitRecordEntry>& entries, std::string& name) {
    if (entries.empty()) return -1;
    const std::string text = Serialize(entries);
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::string& first = entries.front().target;
    // An unnamed file gets its name only once it is written and locked.
    int fd = ::open(FolderOf(first).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) {
        if (WriteAll(fd, data, text.size()) && ::fsync(fd) == 0 && ::flock(fd, LOCK_EX) == 0) {
            const std::string self = "/proc/self/fd/" + std::to_string(fd);
            for (int attempt = 0; attempt < 16; ++attempt) {
                name = MarkedName(first, "commit", RandomTail());
                if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) ==
                    0)
                    return fd;
                if (errno != EEXIST) break;
            }
        }
        ::close(fd);
    }
    // Where the file system has no unnamed files, the record is locked the moment it is made; a
    // process that looks in between finds it empty and leaves it alone.
    name = MarkedName(first, "commit", "XXXXXX");
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX) == 0 && WriteAll(fd, data, text.size()) && ::fsync(fd) == 0) return fd;
    ::unlink(name.c_str());
    ::close(fd);
    return -1;
}

void DropCommitRecord(int fd, const std::string& name) {
    if (fd < 0) return;
    ::unlink(name.c_str());
    ::close(fd);
}

namespace {

bool ReadNumber(std::string_view text, std::uint64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// The name beside `target` with our marker of `kind` and any six-character tail.
bool IsMarkedName(const std::string& path, const std::string& target, const char* kind) {
    const std::string pattern = MarkedName(target, kind, std::string(kTailLength, '?'));
    if (path.size() != pattern.size()) return false;
    const std::size_t tail = pattern.size() - kTailLength;
    return path.compare(0, tail, pattern, 0, tail) == 0 &&
           path.find('/', tail) == std::string::npos;
}

// Reads the record's entries; false when it is not a whole record of ours whose names all lie
// beside their targets, the first of them in `folder`.
bool ParseRecord(std::string_view text, const std::string& recordName, const struct stat& folder,
                 std::vector<CommitRecordEntry>& entries) {
    std::vector<std::string_view> fields;
    while (!text.empty()) {
        const std::size_t end = text.find('\0');
        if (end == std::string_view::npos) return false;
        fields.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    std::uint64_t count = 0;
    if (fields.size() < 3 || fields.front() != kHeader || fields.back() != kEnd ||
        !ReadNumber(fields[1], count) || count == 0 || count > kMostEntries ||
        fields.size() != 3 + 7 * count)
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view* f = &fields[2 + 7 * i];
        CommitRecordEntry entry;
        entry.temporary = f[0];
        entry.target = f[3];
        entry.backup = f[4];
        if (!ReadNumber(f[1], entry.made.device) || !ReadNumber(f[2], entry.made.inode) ||
            !ReadNumber(f[5], entry.old.device) || !ReadNumber(f[6], entry.old.inode) ||
            entry.made.inode == 0 || entry.target.empty() || entry.target.front() != '/' ||
            entry.target.back() == '/' || !IsMarkedName(entry.temporary, entry.target, "new") ||
            (!entry.backup.empty() &&
             (entry.old.inode == 0 || !IsMarkedName(entry.backup, entry.target, "old"))))
            return false;
        entries.push_back(std::move(entry));
    }
    // The record stands beside its first target, under that target's name.
    struct stat first {};
    return ::stat(FolderOf(entries.front().target).c_str(), &first) == 0 &&
           first.st_dev == folder.st_dev && first.st_ino == folder.st_ino &&
           IsMarkedName(
               (std::filesystem::path(entries.front().target).parent_path() / recordName).string(),
               entries.front().target, "commit");
}

enum class Found { Absent, Made, Old, Other };

// What stands at `path`, never following a link: the new file, the replaced one, or something
// the commit did not make.
Found Look(const std::string& path, const CommitRecordEntry& entry) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? Found::Absent : Found::Other;
    if (!S_ISREG(st.st_mode)) return Found::Other;
    const auto is = [&st](const FileIdentity& id) {
        return id.inode != 0 && std::uint64_t(st.st_dev) == id.device &&
               std::uint64_t(st.st_ino) == id.inode;
    };
    if (is(entry.made)) return Found::Made;
    if (!entry.backup.empty() && is(entry.old)) return Found::Old;
    return Found::Other;
}

struct EntryState {
    Found target, temporary, backup;
};

enum class Outcome { Recovered, Changed, Failed };

// Finishes the commit when every new file is in place or still waiting beside its target, else
// undoes it when every replaced file is still there to be put back. Each step leaves a state the
// same choice is made from again, so a recovery that is itself interrupted can be run once more.
Outcome Recover(const std::vector<CommitRecordEntry>& entries) {
    std::vector<EntryState> states;
    bool forward = true, back = true;
    for (const CommitRecordEntry& entry : entries) {
        EntryState s{Look(entry.target, entry), Look(entry.temporary, entry),
                     entry.backup.empty() ? Found::Absent : Look(entry.backup, entry)};
        if (s.temporary != Found::Made) s.temporary = Found::Absent;
        if (s.backup != Found::Old) s.backup = Found::Absent;
        forward =
            forward &&
            (s.target == Found::Made ||
             (s.temporary == Found::Made && (s.target == Found::Absent || s.target == Found::Old)));
        back =
            back && (s.target == Found::Old || s.target == Found::Absent ||
                     (s.target == Found::Made && (entry.backup.empty() || s.backup == Found::Old)));
        states.push_back(s);
    }
    if (!forward && !back) return Outcome::Changed;
    bool ok = true;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const CommitRecordEntry& entry = entries[i];
        const EntryState& s = states[i];
        if (forward) {
            if (s.target != Found::Made)
                ok = ::rename(entry.temporary.c_str(), entry.target.c_str()) == 0 && ok;
        } else if (s.target != Found::Old && s.backup == Found::Old) {
            ok = ::rename(entry.backup.c_str(), entry.target.c_str()) == 0 && ok;
        } else if (s.target == Found::Made) {
            ok = RemoveIfMade(entry.target.c_str(), entry.made.device, entry.made.inode, false) &&
                 ok;
        }
    }
    if (!ok) return Outcome::Failed;
    for (const CommitRecordEntry& entry : entries) {
        RemoveIfMade(entry.temporary.c_str(), entry.made.device, entry.made.inode, false);
        if (!entry.backup.empty())
            RemoveIfMade(entry.backup.c_str(), entry.old.device, entry.old.inode, false);
    }
    return Outcome::Recovered;
}

bool IsRecordName(std::string_view name) {
    const std::size_t marker = name.rfind(kRecordMarker);
    return name.size() > 1 && name.front() == '.' && marker != std::string_view::npos &&
           marker > 1 && name.size() == marker + kRecordMarker.size() + kTailLength;
}

void Warn(const std::string& text) {
    NoteFailure("Warnung: " + text, {}, MsgIcon::Warning);
}

// One record found in the folder open as `dir`.
void RecoverRecord(int dir, const struct stat& folder, const std::string& folderName,
                   const std::string& name) {
    const std::string path = folderName + "/" + name;
    const int fd = ::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    struct stat st {
    }, again{};
    // A record another user left, or one whose process still holds it, is none of ours.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::fstatat(dir, name.c_str(), &again, AT_SYMLINK_NOFOLLOW) != 0 ||
        again.st_dev != st.st_dev || again.st_ino != st.st_ino) {
        ::close(fd);
        return;
    }
    std::string text;
    bool whole = st.st_size >= 0 && std::size_t(st.st_size) <= kLargestRecord;
    if (whole) {
        text.resize(std::size_t(st.st_size));
        whole = ::pread(fd, text.data(), text.size(), 0) == ssize_t(text.size());
    }
    std::vector<CommitRecordEntry> entries;
    if (!whole || !ParseRecord(text, name, folder, entries)) {
        Warn(catalogue::Fill(
            catalogue::Tr("Der Vermerk %1 eines abgebrochenen Speicherns ist beschädigt; er und "
                          "alle Dateien bleiben, wie sie sind."),
            {path}));
    } else {
        switch (Recover(entries)) {
            case Outcome::Recovered:
                ::unlinkat(dir, name.c_str(), 0);
                break;
            case Outcome::Changed:
                Warn(catalogue::Fill(
                    catalogue::Tr("Das abgebrochene Speichern, das %1 vermerkt, lässt sich weder "
                                  "abschließen noch zurücknehmen, weil seine Dateien inzwischen "
                                  "verändert wurden; sie bleiben, wie sie sind."),
                    {path}));
                break;
            case Outcome::Failed:
                Warn(catalogue::Fill(
                    catalogue::Tr("Das abgebrochene Speichern, das %1 vermerkt, konnte nicht zu "
                                  "Ende gebracht werden; das nächste Speichern in diesen Ordner "
                                  "versucht es erneut."),
                    {path}));
                break;
        }
    }
    ::close(fd);
}

}  // namespace

void RecoverInterruptedCommits(const std::string& folder) {
    const std::string name = folder.empty() ? std::string(".") : folder;
    const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    DIR* dir = ::fstat(fd, &st) == 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        ::close(fd);
        return;
    }
    std::vector<std::string> records;
    while (const dirent* entry = ::readdir(dir)) {
        if (IsRecordName(entry->d_name)) records.emplace_back(entry->d_name);
    }
    for (const std::string& record : records)
        RecoverRecord(::dirfd(dir), st, name, record);
    ::closedir(dir);
}

void RecoverInterruptedCommitsOnce(const std::string& folder) {
    // A folder is looked into once a run: a batch writes thousands of files into one folder, and
    // reading it whole before each of them would make the batch quadratic.
    static std::mutex mutex;
    static std::set<std::pair<std::uint64_t, std::uint64_t>> seen;
    struct stat st {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!seen.insert({std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)}).second) return;
    }
    RecoverInterruptedCommits(folder);
}

}  // namespace gw
