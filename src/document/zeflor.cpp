#include "document/zeflor.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Utf8.h"

namespace gw {
namespace {

constexpr std::size_t kFileBufferSize = 1 << 16;

// Windows-1252 bytes 0x80 .. 0x9F; the five unassigned ones stand for the C1 control of the
// same number, so that every byte has exactly one character and back.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t Cp1252ToChar(std::uint8_t b) {
    return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : char32_t(b);
}

// The Windows-1252 byte of a character; false when it has none.
bool CharToCp1252(char32_t c, std::uint8_t& b) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        b = static_cast<std::uint8_t>(c);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c) {
            b = static_cast<std::uint8_t>(0x80 + i);
            return true;
        }
    }
    return false;
}

// Decodes one well-formed UTF-8 sequence at text[i] (no overlong forms, no surrogates, nothing
// above U+10FFFF); returns its length, or 0 when the bytes there are not one.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& c) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t b0 = byte(i);
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    std::size_t len;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, c = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, c = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, c = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - i < len) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return len;
}

bool IsMultiByteUtf8(std::string_view bytes) {
    bool multi = false;
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c;
        const std::size_t len = DecodeUtf8(bytes, i, c);
        if (len == 0) return false;
        multi = multi || len > 1;
        i += len;
    }
    return multi;
}

}  // namespace

bool MemorySource::Read(void* destination, std::size_t n) {
    if (n > Remaining()) return false;
    if (n > 0) std::memcpy(destination, bytes_.data() + position_, n);
    position_ += n;
    return true;
}

bool FileSource::ReadThrough(std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t got = ::read(fd_, p, std::min<std::size_t>(n, std::size_t(1) << 30));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got;
        n -= std::size_t(got);
    }
    return true;
}

bool FileSource::Read(void* destination, std::size_t n) {
    if (n > Remaining()) return false;
    auto* p = static_cast<std::uint8_t*>(destination);
    const std::size_t held = std::min(n, buffer_.size() - at_);
    if (held > 0) std::memcpy(p, buffer_.data() + at_, held);  // an empty buffer has no data
    at_ += held;
    position_ += held;
    p += held;
    n -= held;
    if (n == 0) return true;
    // The buffer is used up here: the file's offset is the position.
    if (n >= kFileBufferSize) {
        if (!ReadThrough(p, n)) return false;
        position_ += n;
        return true;
    }
    buffer_.resize(std::size_t(std::min<std::uint64_t>(kFileBufferSize, Remaining())));
    at_ = 0;
    if (!ReadThrough(buffer_.data(), buffer_.size())) {
        buffer_.clear();
        return false;
    }
    std::memcpy(p, buffer_.data(), n);
    at_ = n;
    position_ += n;
    return true;
}

bool MemorySink::Write(const void* source, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(source);
    bytes_.insert(bytes_.end(), p, p + n);
    return true;
}

bool FileSink::WriteThrough(const std::uint8_t* p, std::size_t n) {
    while (n > 0 && !failed_) {
        const ssize_t put = ::write(fd_, p, std::min<std::size_t>(n, std::size_t(1) << 30));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            failed_ = true;
            break;
        }
        p += put;
        n -= std::size_t(put);
    }
    return !failed_;
}

bool FileSink::Write(const void* source, std::size_t n) {
    if (failed_) return false;
    const auto* p = static_cast<const std::uint8_t*>(source);
    if (buffer_.size() + n > kFileBufferSize) {
        if (!Flush()) return false;
        if (n >= kFileBufferSize) return WriteThrough(p, n);
    }
    buffer_.insert(buffer_.end(), p, p + n);
    return true;
}

bool FileSink::Flush() {
    if (!failed_ && !buffer_.empty()) WriteThrough(buffer_.data(), buffer_.size());
    buffer_.clear();
    return !failed_;
}

bool ReadByte(ByteSource& in, std::uint8_t& value) {
    return in.Read(&value, 1);
}

bool ReadInt32(ByteSource& in, std::int32_t& value) {
    std::uint8_t b[4];
    if (!in.Read(b, 4)) return false;
    value = static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                                      std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24);
    return true;
}

bool ReadFloat64(ByteSource& in, double& value) {
    std::uint8_t b[8];
    if (!in.Read(b, 8)) return false;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | b[i];
    std::memcpy(&value, &bits, 8);
    return true;
}

bool WriteByte(ByteSink& out, std::uint8_t value) {
    return out.Write(&value, 1);
}

bool WriteInt32(ByteSink& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const std::uint8_t b[4] = {std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16),
                               std::uint8_t(u >> 24)};
    return out.Write(b, 4);
}

bool WriteFloat64(ByteSink& out, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    std::uint8_t b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return out.Write(b, 8);
}

std::string TextToDocumentBytes(std::string_view utf8) {
    std::string valid;  // the text with broken sequences replaced
    std::string cp1252;
    bool fits = true;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c;
        std::size_t len = DecodeUtf8(utf8, i, c);
        if (len == 0) c = 0xFFFD, len = 1;
        AppendUtf8(valid, c);
        std::uint8_t b;
        if (fits && CharToCp1252(c, b))
            cp1252 += static_cast<char>(b);
        else
            fits = false;
        i += len;
    }
    // "Ã¤" in Windows-1252 is the UTF-8 of "ä"; such a text goes as UTF-8 so that it reads back.
    if (fits && !IsMultiByteUtf8(cp1252)) return cp1252;
    return valid;
}

std::string TextFromDocumentBytes(std::string_view bytes) {
    if (IsMultiByteUtf8(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes)
        AppendUtf8(out, Cp1252ToChar(static_cast<std::uint8_t>(b)));
    return out;
}

bool WriteSizedString(ByteSink& out, std::string_view utf8) {
    const std::string bytes = TextToDocumentBytes(utf8);
    if (bytes.size() > 0x7FFFFFFF) return false;
    return WriteInt32(out, static_cast<std::int32_t>(bytes.size())) &&
           out.Write(bytes.data(), bytes.size());
}

bool ReadSizedString(ByteSource& in, std::string& utf8, std::size_t maxBytes) {
    std::int32_t n;
    if (!ReadInt32(in, n) || n < 0 || std::uint64_t(n) > in.Remaining() ||
        std::uint64_t(n) > maxBytes)
        return false;
    std::string bytes(std::size_t(n), '\0');
    if (!in.Read(bytes.data(), bytes.size())) return false;
    utf8 = TextFromDocumentBytes(bytes);
    return true;
}

}  // namespace gw
