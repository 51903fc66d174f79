#pragma once
// Reading whole files, and replacing files safely: a new file is written beside the old one and
// takes its place only when every byte went out, so a failed write never leaves a damaged file,
// and an interrupted one no temporary file.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
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

// A new file written beside its target under a temporary name (target + ".tmp-" + six characters)
// and put in the target's place by Commit; dropped without Commit, it leaves no trace. A link is
// followed, also one that points nowhere yet, so the file it points to is replaced; a file that is
// not regular or not writable is left alone. The new file keeps the permissions of the file it
// replaces, else the usual 0644 less the umask.
//
// While it exists, its name stands in a table that CleanUpOnSignals' handler empties, and it holds
// a lock on the file; a temporary of the same target nobody holds a lock on was left by a killed
// run, and Open removes it.
class StagedFile {
  public:
    StagedFile() = default;
    ~StagedFile() { Discard(); }
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    ReplaceStatus Open(const std::string& fileName);
    int Fd() const { return fd_; }
    // Flushes the written file to disk and closes it; NotWritten (and the file discarded) when that
    // fails, as some file systems report a failed write only then.
    ReplaceStatus Finish();
    // Renames the finished file into place. The folder is not synced: SyncFolder of Folder().
    bool Commit();
    void Discard();

    const std::string& Target() const { return target_; }
    std::string Folder() const;

  private:
    std::string target_;
    std::unique_ptr<char[]> temp_;  // stays in place while the signal table points at it
    int fd_ = -1;
    int lock_ = -1;
    int slot_ = -1;
};

// Makes the renames in a folder durable.
void SyncFolder(const std::string& folder);

// Keeps a name in the table of temporaries removed on SIGINT, SIGTERM and SIGHUP (a folder is
// removed when empty). The string must stay where it is until ForgetTemporary. -1 when the table
// is full.
int RememberTemporary(const char* path, bool folder);
void ForgetTemporary(int slot);

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove every remembered temporary, then
// end the program by the same signal.
void CleanUpOnSignals();

// Writes a new file through `write` (given a descriptor open for writing; true when everything was
// written) as a StagedFile and renames it into place, syncing the folder.
ReplaceStatus ReplaceFile(const std::string& fileName, const std::function<bool(int fd)>& write);
ReplaceStatus ReplaceFile(const std::string& fileName, std::span<const std::uint8_t> bytes);

// Writes all bytes to the descriptor, continuing after partial writes and interruptions.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size);

}  // namespace gw
