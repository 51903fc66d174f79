#pragma once
// The record a commit of several files leaves beside its first target while it renames: enough
// for the next process that writes into the folder to finish or undo a commit whose process was
// killed halfway.

#include <cstdint>
#include <string>
#include <vector>

namespace gw {

struct FileIdentity {
    std::uint64_t device = 0, inode = 0;
};

// One file of the commit, every name absolute.
struct CommitRecordEntry {
    std::string temporary;  // the finished new file, ".NAME.~gw-new-XXXXXX"
    FileIdentity made;
    std::string target;
    std::string backup;  // ".NAME.~gw-old-XXXXXX", the replaced target; empty: there was none
    FileIdentity old;
};

// Writes the record complete and locked before its name appears, so no other process ever reads
// it half-written or takes it for one whose writer died. The descriptor holds the lock until
// DropCommitRecord; -1 (and no record) when it cannot be made.
int WriteCommitRecord(const std::vector<CommitRecordEntry>& entries, std::string& name);
void DropCommitRecord(int fd, const std::string& name);

// RecoverInterruptedCommits, but each folder only once in a run.
void RecoverInterruptedCommitsOnce(const std::string& folder);

// The hidden name beside `target` with our marker, `kind` ("new", "old", "commit") and a
// six-character tail.
std::string MarkedName(const std::string& target, const char* kind, const std::string& tail);

}  // namespace gw
