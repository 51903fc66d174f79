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

// Opens any file for reading, a named pipe without waiting for a writer: one that has none reads
// as empty. -1 when it cannot be opened.
int OpenForReading(const std::string& fileName);

enum class ReadStatus { Ok, TooLarge, Failed };
// Reads a descriptor to its end after what `bytes` holds already, but never beyond maxBytes in all:
// a source with more (a device that never ends, a pipe that keeps writing) is TooLarge, and
// `bytes` is emptied, as it is when a read fails.
ReadStatus ReadAtMost(int fd, std::size_t maxBytes, std::vector<std::uint8_t>& bytes);

enum class ReplaceStatus {
    Ok,
    NotCreated,  // the new file could not be made, or the old one may not be replaced
    NotWritten,  // a write failed; the old file is untouched
};

// A new file written beside its target under a hidden temporary name (".", the target's name,
// ".~gw-new-" and six characters) and put in the target's place by Commit; dropped without
// Commit, it leaves no trace. A link is followed, also one that points nowhere yet, so the file it
// points to is replaced; a file that is not regular or not writable is left alone. The new file
// keeps the permissions of the file it replaces, else the usual 0644 less the umask.
//
// While it exists, its name stands in a table that CleanUpOnSignals' handler empties. Nothing is
// ever removed by its name alone: the temporary is made exclusively, and it is removed only while
// the name still leads to the file made (same device and inode), so a user's file of any name
// stays, whatever it is called and wherever a link in the folder points.
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
    const char* TemporaryName() const { return temp_.get(); }

  private:
    friend bool CommitStagedFiles(std::span<StagedFile> files, std::string& failedTarget);

    std::string target_;
    std::unique_ptr<char[]> temp_;  // stays in place while the signal table points at it
    int fd_ = -1;
    int slot_ = -1;
    std::uint64_t device_ = 0, inode_ = 0;  // of the temporary made
};

// Puts every finished file in its place, or none of them. Before the first rename a commit record
// (the temporaries, their targets and the backups) is written beside the first target, and each
// target that is replaced is kept under a hidden backup name until every rename went through; a
// failed rename puts the done ones back. A commit killed halfway is finished or undone by the next
// commit into the record's folder (RecoverInterruptedCommits). A SIGINT, SIGTERM or SIGHUP
// meanwhile waits for the end of the commit and then ends the program. False with the target that
// failed in `failedTarget`; either way the files are spent.
bool CommitStagedFiles(std::span<StagedFile> files, std::string& failedTarget);

// Looks in the folder for the records of commits whose process died while renaming (the record is
// locked while its process lives, so a process id used again misleads nothing) and finishes each
// such commit, or undoes it where it cannot be finished, then removes the record and the backups.
// Only the files a record names are touched, only while they are still the files the commit made
// or replaced, and never through a link; a record of another user is not read, and a damaged one,
// or one whose files have changed since, stays with a warning among the notices. Every commit does
// this for its folders, once a run each.
void RecoverInterruptedCommits(const std::string& folder);

// For tests: the rename the commit uses (also to undo one), to make one of them fail. nullptr
// restores the real one.
using RenameFunction = int (*)(const char* from, const char* to);
void SetRenameForTesting(RenameFunction rename);

// Makes the renames in a folder durable.
void SyncFolder(const std::string& folder);

// Keeps a name in the table of temporaries removed on SIGINT, SIGTERM and SIGHUP (a folder is
// removed when empty), once Made tells which file it is: a name whose file is not the one made
// stays. The string must stay where it is until ForgetTemporary. -1 when the table is full.
int RememberTemporary(const char* path, bool folder);
void MadeTemporary(int slot, std::uint64_t device, std::uint64_t inode);
void ForgetTemporary(int slot);
// Removes every remembered temporary (as the signal handler does), for a run that has to end
// at once; async-signal-safe.
void RemoveTemporaries();
// Removes a temporary file or (empty) folder only when `path` still names the one made.
bool RemoveIfMade(const char* path, std::uint64_t device, std::uint64_t inode, bool folder);

// The processes that work for this one: the signal handler passes its signal on to them before
// it ends the program. A worker forgets its siblings with ForgetWorkers.
void RememberWorker(int pid);
void ForgetWorker(int pid);
void ForgetWorkers();

// Installs handlers for SIGINT, SIGTERM and SIGHUP that pass the signal on to the workers, remove
// every remembered temporary, then end the program by the same signal. SIGXFSZ is ignored, so a
// write beyond the file size limit fails like one on a full disk and is reported and cleaned up.
void CleanUpOnSignals();

// Writes a new file through `write` (given a descriptor open for writing; true when everything was
// written) as a StagedFile and renames it into place, syncing the folder.
ReplaceStatus ReplaceFile(const std::string& fileName, const std::function<bool(int fd)>& write);
ReplaceStatus ReplaceFile(const std::string& fileName, std::span<const std::uint8_t> bytes);

// Writes all bytes to the descriptor, continuing after partial writes and interruptions.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size);

}  // namespace gw
