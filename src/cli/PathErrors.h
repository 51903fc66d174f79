#pragma once
// Why a path cannot be read or written, in German, for the line the renderer adds to a message
// that names a file only in part or gives no reason.

#include <string>

namespace gw {

// Our own words for the common errno values, the system's text for the rest (a fresh system has
// no German catalogue of its own).
std::string ErrnoReason(int error);

// Why `path` cannot be read: what opening it says, or that it is a folder; empty when it opens.
std::string ReadReason(const std::string& path);

// Why no file can be made at `path`: a folder in its place, a folder of the path missing or not
// writable; otherwise the reason of `savedErrno`, the error the write itself met (0: none known).
std::string WriteReason(const std::string& path, int savedErrno);

// The line itself: "\"PATH\": REASON".
std::string PathLine(const std::string& path, const std::string& reason);

}  // namespace gw
