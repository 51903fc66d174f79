#pragma once
// Small records the font machinery keeps on disk between runs: a magic, the payload's length, the
// payload and its digest. A record is written beside its place and renamed into it, so processes
// writing at once leave one whole record, and every record is checked before it is believed. A
// record that cannot be written is quietly not written: it is only a faster start.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace gw::fonts {

std::uint64_t Fnv(std::string_view bytes, std::uint64_t h = 0xcbf29ce484222325ULL);
// A second, unrelated digest of the same bytes, so a key's 128 bits never depend on one hash.
std::uint64_t Mix(std::string_view bytes);
// Both digests of the bytes, as 16 bytes.
std::string Digest128(std::string_view bytes);

// A regular file's size and modification time; nullopt when it is none.
struct FileState {
    std::int64_t size = -1;
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
    friend bool operator==(const FileState&, const FileState&) = default;
};
std::optional<FileState> StateOf(const std::string& file);

// Makes the folder when it is missing; true when it is there.
bool MakeFolder(const std::string& path);

class RecordWriter {
  public:
    template <typename T>
    void Put(T value) {
        const auto* p = reinterpret_cast<const char*>(&value);
        bytes_.append(p, sizeof value);
    }
    void Text(std::string_view s) {
        Put(static_cast<std::uint32_t>(s.size()));
        bytes_ += s;
    }
    std::string& Bytes() { return bytes_; }

  private:
    std::string bytes_;
};

class RecordReader {
  public:
    explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}
    template <typename T>
    bool Get(T& value) {
        if (bytes_.size() - at_ < sizeof value) return false;
        std::memcpy(&value, bytes_.data() + at_, sizeof value);
        at_ += sizeof value;
        return true;
    }
    bool Text(std::string& s, std::size_t maxBytes) {
        std::uint32_t size = 0;
        if (!Get(size) || size > maxBytes || bytes_.size() - at_ < size) return false;
        s.assign(bytes_.data() + at_, size);
        at_ += size;
        return true;
    }
    // The next `size` bytes, in place; empty when fewer are left.
    std::string_view Take(std::size_t size) {
        if (bytes_.size() - at_ < size) return {};
        const std::string_view taken = bytes_.substr(at_, size);
        at_ += size;
        return taken;
    }
    std::size_t Left() const { return bytes_.size() - at_; }
    bool AtEnd() const { return at_ == bytes_.size(); }

  private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

// The payload of the record in `path` (`magic`: 8 bytes); nullopt when it is missing, bigger
// than `maxBytes` or damaged.
std::optional<std::string> ReadRecord(const std::string& path, std::string_view magic,
                                      std::size_t maxBytes);

void WriteRecord(const std::string& path, std::string_view magic, std::string_view payload);

}  // namespace gw::fonts
