#pragma once
// Reading whole files, and replacing files safely: a new file is written beside the old one and
// takes its place only when every byte went out, so a failed write never leaves a damaged file.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace gw {

// Reads a regular file of at most maxBytes into `bytes`. False (and `bytes` empty) when the file
// is missing, unreadable, not a regular file or larger.
bool ReadWholeFile(const std::string& fileName, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes);

// Opens a file for reading without waiting on a named pipe: the descriptor of a regular file and
// its size, or -1 when there is none.
int OpenRegularFile(const std::string& fileName, std::uint64_t& size);

enum class ReplaceStatus {
    Ok,
    NotCreated,  // the new file could not be made, or the old one may not be replaced
    NotWritten,  // a write failed; the old file is untouched
};

// Writes a new file through `write` (given a descriptor open for writing; true when everything was
// written) beside `fileName`, flushes it to disk and renames it into place. A link is followed, so
// the file it points to is replaced; a file that is not regular or not writable is left alone. The
// new file keeps the permissions of the file it replaces, else the usual 0644 less the umask.
ReplaceStatus ReplaceFile(const std::string& fileName, const std::function<bool(int fd)>& write);
ReplaceStatus ReplaceFile(const std::string& fileName, std::span<const std::uint8_t> bytes);

// Writes all bytes to the descriptor, continuing after partial writes and interruptions.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size);

}  // namespace gw
