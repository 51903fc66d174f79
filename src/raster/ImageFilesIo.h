#pragma once
// Whole-file reading and safe replacing of files, for the image files.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gw {

// Reads a regular file of at most maxBytes into `bytes`. False (and `bytes` empty) when the file
// is missing, unreadable, not a regular file or larger.
bool ReadWholeFile(const std::string& fileName, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes);

// Writes `bytes` to a new temporary file beside `fileName` and renames it into place once all of
// it is written and flushed, so that readers see either the old file or the whole new one. On
// failure the temporary file is removed and an existing file of that name stays untouched.
bool ReplaceFile(const std::string& fileName, const std::vector<std::uint8_t>& bytes);

}  // namespace gw
