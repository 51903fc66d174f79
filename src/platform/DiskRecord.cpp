#include "platform/DiskRecord.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/FileAccess.h"
#include "platform/SignalMask.h"

namespace gw::fonts {

std::uint64_t Fnv(std::string_view bytes, std::uint64_t h) {
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ULL;
    }
    return h;
}

std::uint64_t Mix(std::string_view bytes) {
    std::uint64_t h = 0x9e3779b97f4a7c15ULL;
    for (const char c : bytes) {
        h = (h ^ static_cast<unsigned char>(c)) * 0xbf58476d1ce4e5b9ULL;
        h ^= h >> 29;
    }
    return h;
}

std::string Digest128(std::string_view bytes) {
    const std::uint64_t parts[2] = {Fnv(bytes), Mix(bytes)};
    return std::string(reinterpret_cast<const char*>(parts), sizeof parts);
}

std::optional<FileState> StateOf(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return FileState{std::int64_t(st.st_size), std::int64_t(st.st_mtim.tv_sec),
                     std::int64_t(st.st_mtim.tv_nsec)};
}

bool MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> ReadRecord(const std::string& path, std::string_view magic,
                                      std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes;
    if (path.empty() || !ReadWholeFile(path, maxBytes, bytes)) return std::nullopt;
    const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t head = magic.size() + sizeof(std::uint32_t);
    constexpr std::size_t kTail = sizeof(std::uint64_t);
    if (all.size() < head + kTail || all.substr(0, magic.size()) != magic) return std::nullopt;
    std::uint32_t length = 0;
    std::memcpy(&length, all.data() + magic.size(), sizeof length);
    if (all.size() != head + length + kTail) return std::nullopt;
    std::string payload(all.substr(head, length));
    std::uint64_t sum = 0;
    std::memcpy(&sum, all.data() + head + length, sizeof sum);
    if (sum != Fnv(payload)) return std::nullopt;
    return payload;
}

void WriteRecord(const std::string& path, std::string_view magic, std::string_view payload) {
    if (path.empty() || payload.size() > std::uint32_t(-1)) return;
    RecordWriter record;
    record.Bytes().append(magic);
    record.Put(static_cast<std::uint32_t>(payload.size()));
    record.Bytes() += payload;
    record.Put(Fnv(payload));

    // Without fsync: a record lost to a crash is only a slower start.
    std::string temp = path + ".XXXXXX";
    const TerminationSignalsHeld held;
    const int slot = RememberTemporary(temp.data(), false);
    if (slot < 0) return;
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    struct stat made {};
    if (fd < 0 || ::fstat(fd, &made) != 0) {
        if (fd >= 0) ::close(fd);
        ForgetTemporary(slot);
        return;
    }
    MadeTemporary(slot, std::uint64_t(made.st_dev), std::uint64_t(made.st_ino));
    const std::string& bytes = record.Bytes();
    bool ok = WriteAll(fd, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0)
        RemoveIfMade(temp.c_str(), std::uint64_t(made.st_dev), std::uint64_t(made.st_ino), false);
    ForgetTemporary(slot);
}

}  // namespace gw::fonts
