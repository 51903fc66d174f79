#include "platform/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

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

ReplaceStatus ReplaceFile(const std::string& fileName, const std::function<bool(int fd)>& write) {
    if (fileName.empty()) return ReplaceStatus::NotCreated;
    // The new file takes the place of the file a link points to, not of the link.
    std::filesystem::path target(fileName);
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* resolved = ::realpath(target.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    const bool exists = ::stat(target.c_str(), &st) == 0;
    // A file we could not open for writing is not replaced behind its back.
    if (exists && (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return ReplaceStatus::NotCreated;

    std::string temp = target.string() + ".tmp-XXXXXX";
    FileDescriptor file(::mkstemp(temp.data()));
    if (file.Get() < 0) return ReplaceStatus::NotCreated;
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
    bool ok = ::fchmod(file.Get(), mode) == 0 && write(file.Get()) && ::fsync(file.Get()) == 0;
    ok = file.Close() && ok;
    if (!ok) {
        ::unlink(temp.c_str());
        return ReplaceStatus::NotWritten;
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return ReplaceStatus::NotCreated;
    }
    return ReplaceStatus::Ok;
}

ReplaceStatus ReplaceFile(const std::string& fileName, std::span<const std::uint8_t> bytes) {
    return ReplaceFile(fileName,
                       [bytes](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

}  // namespace gw
