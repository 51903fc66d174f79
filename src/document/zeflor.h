#pragma once
// Unit zeflor: the byte transfers of the lettering documents and their sized strings.
//
// Every transfer is checked; a source never reads past its end and says how much is left, so a
// reader can hold every count and size against the bytes actually there before it allocates.
// Numbers are little-endian whatever the machine.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads exactly n bytes; false when fewer are left or reading fails.
    virtual bool Read(void* destination, std::size_t n) = 0;
    // Bytes from the current position to the end.
    virtual std::uint64_t Remaining() const = 0;
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool Read(void* destination, std::size_t n) override;
    std::uint64_t Remaining() const override { return bytes_.size() - position_; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// Reads an open file descriptor (not owned) of a regular file whose size is known. The fields of
// a document are a few bytes each: they come from a buffer filled a stretch at a time, and the
// long pieces (pictures) straight from the file.
class FileSource final : public ByteSource {
  public:
    FileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    bool Read(void* destination, std::size_t n) override;
    std::uint64_t Remaining() const override { return size_ - position_; }

  private:
    bool ReadThrough(std::uint8_t* p, std::size_t n);
    int fd_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;  // of the bytes handed out
    std::vector<std::uint8_t> buffer_;
    std::size_t at_ = 0;  // the next byte of buffer_ to hand out
};

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // False when the bytes could not be written; a sink that failed once stays failed.
    virtual bool Write(const void* source, std::size_t n) = 0;
};

class MemorySink final : public ByteSink {
  public:
    bool Write(const void* source, std::size_t n) override;
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<std::uint8_t> bytes_;
};

// Buffered writes to an open file descriptor (not owned). Flush must succeed before the file
// counts as written.
class FileSink final : public ByteSink {
  public:
    explicit FileSink(int fd) : fd_(fd) {}
    bool Write(const void* source, std::size_t n) override;
    bool Flush();

  private:
    bool WriteThrough(const std::uint8_t* p, std::size_t n);
    int fd_;
    bool failed_ = false;
    std::vector<std::uint8_t> buffer_;
};

bool ReadByte(ByteSource& in, std::uint8_t& value);
bool ReadInt32(ByteSource& in, std::int32_t& value);
bool ReadFloat64(ByteSource& in, double& value);
bool WriteByte(ByteSink& out, std::uint8_t value);
bool WriteInt32(ByteSink& out, std::int32_t value);
bool WriteFloat64(ByteSink& out, double value);

// The bytes a document stores for a text held as UTF-8: Windows-1252 when every character has a
// place there, UTF-8 otherwise (and also when the Windows-1252 bytes would read back as UTF-8).
// Broken UTF-8 in the text is stored as U+FFFD.
std::string TextToDocumentBytes(std::string_view utf8);
// The text that stored bytes stand for: valid UTF-8 with at least one multi-byte sequence reads
// as UTF-8, anything else as Windows-1252 (its five unassigned bytes as the C1 controls of the
// same number).
std::string TextFromDocumentBytes(std::string_view bytes);

// A sized string: int32 byte count n, then n bytes of text, no terminator.
bool WriteSizedString(ByteSink& out, std::string_view utf8);
// False when the count is negative or more than the bytes left; nothing is allocated then.
// False also when the string holds more than maxBytes bytes; nothing is allocated for it then.
bool ReadSizedString(ByteSource& in, std::string& utf8, std::size_t maxBytes = 0x7FFFFFFF);

}  // namespace gw
