#include "platform/FileAccess.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <utility>

namespace gw {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    // Closing reports the write errors some file systems hold back until then.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

}  // namespace

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

bool ReadWholeFile(const std::string& fileName, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    // Without O_NONBLOCK, opening a named pipe would wait for a writer forever; regular files
    // read the same either way.
    FileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) return false;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (info.st_size < 0 || std::uint64_t(info.st_size) > maxBytes) return false;
    bytes.resize(std::size_t(info.st_size));
    // The file may change size while we read: take what is there, but never more than maxBytes.
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (have >= maxBytes) break;
            bytes.resize(std::min(maxBytes, have + 65536));
        }
        const ssize_t n = ::read(file.Get(), bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            bytes.clear();
            return false;
        }
        if (n == 0) break;
        have += std::size_t(n);
    }
    if (have == maxBytes) {
        // Exactly full: a further byte means the file grew past the limit.
        std::uint8_t probe = 0;
        if (::read(file.Get(), &probe, 1) > 0) {
            bytes.clear();
            return false;
        }
    }
    bytes.resize(have);
    return true;
}

int OpenRegularFile(const std::string& fileName, std::uint64_t& size) {
    // Without O_NONBLOCK, opening a named pipe would wait for a writer forever.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        ::close(fd);
        return -1;
    }
    size = std::uint64_t(info.st_size);
    return fd;
}

namespace {

// The table the signal handler reads: only lock-free atomics, so the handler sees each entry
// whole or not at all.
constexpr int kTemporarySlots = 64;
std::atomic<bool> g_slotUsed[kTemporarySlots];
std::atomic<bool> g_slotFolder[kTemporarySlots];
std::atomic<const char*> g_slotPath[kTemporarySlots];

extern "C" void RemoveTemporariesAndDie(int signal) {
    // Files first, so that the folders they were written into are empty when their turn comes.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < kTemporarySlots; ++i) {
            const char* path = g_slotPath[i].load();
            if (!path || g_slotFolder[i].load() != (pass == 1)) continue;
            if (pass == 0) {
                ::unlink(path);
            } else {
                ::rmdir(path);
            }
        }
    }
    // The handler was reset on entry and the signal is not blocked: this ends the program the way
    // the signal would have, so the caller sees 128 + signal.
    ::raise(signal);
}

// Where a link points, following a chain of links, also to a file that does not exist yet.
std::filesystem::path FollowLinks(std::filesystem::path path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(4096, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || std::size_t(n) >= link.size()) return path;
        link.resize(std::size_t(n));
        const std::filesystem::path next(link);
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

bool IsTemporaryName(const std::string& name, const std::string& base) {
    constexpr std::size_t kSuffix = 6;  // what mkstemp puts in place of XXXXXX
    const std::string prefix = base + ".tmp-";
    if (name.size() != prefix.size() + kSuffix || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    return std::all_of(name.begin() + std::ptrdiff_t(prefix.size()), name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

// A temporary of this target that no living writer holds a lock on was left by a run that was
// killed outright (or by a power loss): nobody will finish it.
void RemoveStaleTemporaries(const std::filesystem::path& target) {
    const std::string base = target.filename().string();
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!IsTemporaryName(name, base)) continue;
        FileDescriptor file(
            ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (file.Get() < 0 || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (::flock(file.Get(), LOCK_EX | LOCK_NB) == 0) ::unlink(it->path().c_str());
    }
}

}  // namespace

int RememberTemporary(const char* path, bool folder) {
    for (int i = 0; i < kTemporarySlots; ++i) {
        if (g_slotUsed[i].exchange(true)) continue;
        g_slotFolder[i].store(folder);
        g_slotPath[i].store(path);
        return i;
    }
    return -1;
}

void ForgetTemporary(int slot) {
    if (slot < 0 || slot >= kTemporarySlots) return;
    g_slotPath[slot].store(nullptr);
    g_slotUsed[slot].store(false);
}

void CleanUpOnSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        // A signal the caller chose to ignore (nohup, a background job) stays ignored.
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = RemoveTemporariesAndDie;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        ::sigaction(signal, &action, nullptr);
    }
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_)),
      temp_(std::move(other.temp_)),
      fd_(std::exchange(other.fd_, -1)),
      lock_(std::exchange(other.lock_, -1)),
      slot_(std::exchange(other.slot_, -1)) {}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept {
    if (this != &other) {
        Discard();
        target_ = std::move(other.target_);
        temp_ = std::move(other.temp_);
        fd_ = std::exchange(other.fd_, -1);
        lock_ = std::exchange(other.lock_, -1);
        slot_ = std::exchange(other.slot_, -1);
    }
    return *this;
}

std::string StagedFile::Folder() const {
    const std::filesystem::path target(target_);
    return target.has_parent_path() ? target.parent_path().string() : std::string(".");
}

ReplaceStatus StagedFile::Open(const std::string& fileName) {
    Discard();
    if (fileName.empty()) return ReplaceStatus::NotCreated;
    const std::filesystem::path target = FollowLinks(fileName);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    // A file we could not open for writing is not replaced behind its back.
    if (exists && (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return ReplaceStatus::NotCreated;
    RemoveStaleTemporaries(target);

    target_ = target.string();
    const std::string name = target_ + ".tmp-XXXXXX";
    temp_ = std::make_unique<char[]>(name.size() + 1);
    std::memcpy(temp_.get(), name.c_str(), name.size() + 1);
    // In the table before the file exists: a signal between the two removes at most a name that
    // is not there yet.
    slot_ = RememberTemporary(temp_.get(), false);
    if (slot_ < 0) {
        Discard();
        return ReplaceStatus::NotCreated;
    }
    fd_ = ::mkostemp(temp_.get(), O_CLOEXEC);
    if (fd_ < 0) {
        Discard();
        return ReplaceStatus::NotCreated;
    }
    // The lock lives on a second descriptor, so it outlasts the close that reports write errors
    // and keeps other runs from taking the file for a stale one until it is renamed.
    lock_ = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    struct stat opened {
    }, named{};
    if (lock_ < 0 || ::flock(lock_, LOCK_EX) != 0 || ::fstat(fd_, &opened) != 0 ||
        ::stat(temp_.get(), &named) != 0 || opened.st_ino != named.st_ino ||
        opened.st_dev != named.st_dev) {
        // Another run took it for stale before the lock was on it.
        Discard();
        return ReplaceStatus::NotCreated;
    }
    // mkstemp makes the file private; the new file gets the permissions of the one it replaces,
    // or those of any new file.
    mode_t mode = 0;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0644 & ~mask;
    }
    if (::fchmod(fd_, mode) != 0) {
        Discard();
        return ReplaceStatus::NotCreated;
    }
    return ReplaceStatus::Ok;
}

ReplaceStatus StagedFile::Finish() {
    if (fd_ < 0) return ReplaceStatus::NotWritten;
    bool ok = ::fsync(fd_) == 0;
    // Closing reports the write errors some file systems hold back until then.
    ok = ::close(std::exchange(fd_, -1)) == 0 && ok;
    if (!ok) {
        Discard();
        return ReplaceStatus::NotWritten;
    }
    return ReplaceStatus::Ok;
}

bool StagedFile::Commit() {
    if (!temp_ || fd_ >= 0) return false;
    const bool ok = std::rename(temp_.get(), target_.c_str()) == 0;
    if (!ok) ::unlink(temp_.get());
    ForgetTemporary(std::exchange(slot_, -1));
    ::close(std::exchange(lock_, -1));
    temp_.reset();
    return ok;
}

void StagedFile::Discard() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (temp_) ::unlink(temp_.get());
    ForgetTemporary(std::exchange(slot_, -1));
    if (lock_ >= 0) ::close(std::exchange(lock_, -1));
    temp_.reset();
}

ReplaceStatus ReplaceFile(const std::string& fileName, const std::function<bool(int fd)>& write) {
    StagedFile file;
    const ReplaceStatus opened = file.Open(fileName);
    if (opened != ReplaceStatus::Ok) return opened;
    if (!write(file.Fd())) return ReplaceStatus::NotWritten;
    const ReplaceStatus finished = file.Finish();
    if (finished != ReplaceStatus::Ok) return finished;
    if (!file.Commit()) return ReplaceStatus::NotCreated;
    SyncFolder(file.Folder());
    return ReplaceStatus::Ok;
}

ReplaceStatus ReplaceFile(const std::string& fileName, std::span<const std::uint8_t> bytes) {
    return ReplaceFile(fileName,
                       [bytes](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

}  // namespace gw
