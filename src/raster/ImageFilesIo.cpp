#include "raster/ImageFilesIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

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

}  // namespace

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

bool ReplaceFile(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
    if (fileName.empty()) return false;
    std::string temp = fileName + ".tmp-XXXXXX";
    FileDescriptor file(::mkstemp(temp.data()));
    if (file.Get() < 0) return false;
    // mkstemp makes the file private; a picture gets the usual permissions, or those of the file
    // it replaces.
    struct stat old {};
    mode_t mode = 0644;
    if (::stat(fileName.c_str(), &old) == 0 && S_ISREG(old.st_mode)) mode = old.st_mode & 07777;
    bool ok = ::fchmod(file.Get(), mode) == 0 && WriteAll(file.Get(), bytes.data(), bytes.size()) &&
              ::fsync(file.Get()) == 0;
    ok = file.Close() && ok;
    ok = ok && std::rename(temp.c_str(), fileName.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace gw
