#include "platform/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <utility>

#include "platform/FileAccessRecord.h"
#include "platform/SignalMask.h"

namespace gw {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    // Closing reports the write errors some file systems hold back until then.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

}  // namespace

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

bool ReadWholeFile(const std::string& fileName, std::size_t maxBytes,
                   std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    // Without O_NONBLOCK, opening a named pipe would wait for a writer forever; regular files
    // read the same either way.
    FileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) return false;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (info.st_size < 0 || std::uint64_t(info.st_size) > maxBytes) return false;
    bytes.resize(std::size_t(info.st_size));
    // The file may change size while we read: take what is there, but never more than maxBytes.
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size()) {
            if (have >= maxBytes) break;
            bytes.resize(std::min(maxBytes, have + 65536));
        }
        const ssize_t n = ::read(file.Get(), bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            bytes.clear();
            return false;
        }
        if (n == 0) break;
        have += std::size_t(n);
    }
    if (have == maxBytes) {
        // Exactly full: a further byte means the file grew past the limit.
        std::uint8_t probe = 0;
        if (::read(file.Get(), &probe, 1) > 0) {
            bytes.clear();
            return false;
        }
    }
    bytes.resize(have);
    return true;
}

int OpenRegularFile(const std::string& fileName, std::uint64_t& size) {
    // Without O_NONBLOCK, opening a named pipe would wait for a writer forever.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        ::close(fd);
        return -1;
    }
    size = std::uint64_t(info.st_size);
    return fd;
}

int OpenForReading(const std::string& fileName) {
    // Without O_NONBLOCK, opening a named pipe would wait for a writer forever; once open, reads
    // wait for data as usual, and a pipe nobody writes to ends at once.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

ReadStatus ReadAtMost(int fd, std::size_t maxBytes, std::vector<std::uint8_t>& bytes) {
    std::size_t have = bytes.size();
    for (;;) {
        // One byte beyond the limit tells a source that is too large from one that is exactly full.
        if (have == bytes.size()) {
            if (have > maxBytes) {
                bytes.clear();
                return ReadStatus::TooLarge;
            }
            bytes.resize(std::min(maxBytes + 1, std::max<std::size_t>(65536, have * 2)));
        }
        const ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            bytes.clear();
            return ReadStatus::Failed;
        }
        if (n == 0) break;
        have += std::size_t(n);
    }
    if (have > maxBytes) {
        bytes.clear();
        return ReadStatus::TooLarge;
    }
    bytes.resize(have);
    return ReadStatus::Ok;
}

namespace {

// The tables the signal handler reads: only lock-free atomics, so the handler sees each entry
// whole or not at all.
constexpr int kTemporarySlots = 64;
std::atomic<bool> g_slotUsed[kTemporarySlots];
std::atomic<bool> g_slotFolder[kTemporarySlots];
std::atomic<const char*> g_slotPath[kTemporarySlots];
std::atomic<std::uint64_t> g_slotDevice[kTemporarySlots];
std::atomic<std::uint64_t> g_slotInode[kTemporarySlots];  // 0 until the file is made

constexpr int kWorkerSlots = 64;
std::atomic<int> g_worker[kWorkerSlots];

// A commit that is renaming holds the signals back: the handler notes the signal, and the commit
// ends the program by it when its renames are all done or all undone.
std::atomic<int> g_commitsRunning{0};
std::atomic<int> g_heldSignal{0};

std::atomic<RenameFunction> g_rename{nullptr};

int RenameStep(const char* from, const char* to) {
    const RenameFunction rename = g_rename.load();
    return rename ? rename(from, to) : std::rename(from, to);
}

extern "C" void RemoveTemporariesAndDie(int signal);

sigset_t TerminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&signals, signal);
    return signals;
}

// The other termination signals wait while the handler runs: a second one (a worker gets its
// parent's signal passed on, and then the signal of its parent's death) would otherwise end the
// program halfway through the clean-up.
void InstallHandler(int signal) {
    struct sigaction action {};
    action.sa_handler = RemoveTemporariesAndDie;
    action.sa_mask = TerminationSignals();
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

void RemoveTemporaries() {
    // Files first, so that the folders they were written into are empty when their turn comes.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < kTemporarySlots; ++i) {
            const char* path = g_slotPath[i].load();
            if (!path || g_slotFolder[i].load() != (pass == 1)) continue;
            RemoveIfMade(path, g_slotDevice[i].load(), g_slotInode[i].load(), pass == 1);
        }
    }
}

namespace {

// Only async-signal-safe calls from here on.
void PassOnCleanUpAndRaise(int signal) {
    const sigset_t termination = TerminationSignals();
    ::pthread_sigmask(SIG_BLOCK, &termination, nullptr);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    for (std::atomic<int>& worker : g_worker) {
        const int pid = worker.load();
        if (pid > 0) ::kill(pid, signal);
    }
    RemoveTemporaries();
    // The signal's action is the default again and the signal is let through: this ends the
    // program the way the signal would have, so the caller sees 128 + signal.
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
}

extern "C" void RemoveTemporariesAndDie(int signal) {
    if (g_commitsRunning.load() > 0) {
        g_heldSignal.store(signal);
        InstallHandler(signal);
        // The commit may have ended on another thread while this one looked.
        if (g_commitsRunning.load() > 0 || g_heldSignal.exchange(0) == 0) return;
    }
    PassOnCleanUpAndRaise(signal);
}

class CommitScope {
  public:
    CommitScope() { g_commitsRunning.fetch_add(1); }
    ~CommitScope() {
        if (g_commitsRunning.fetch_sub(1) == 1)
            if (const int signal = g_heldSignal.exchange(0)) PassOnCleanUpAndRaise(signal);
    }
    CommitScope(const CommitScope&) = delete;
    CommitScope& operator=(const CommitScope&) = delete;
};

// Where a link points, following a chain of links, also to a file that does not exist yet.
std::filesystem::path FollowLinks(std::filesystem::path path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string link(4096, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || std::size_t(n) >= link.size()) return path;
        link.resize(std::size_t(n));
        const std::filesystem::path next(link);
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

}  // namespace

std::string MarkedName(const std::string& target, const char* kind, const std::string& tail) {
    const std::filesystem::path path(target);
    std::string name = ".";
    name.append(path.filename().string()).append(".~gw-").append(kind).append("-").append(tail);
    return path.has_parent_path() ? (path.parent_path() / name).string() : name;
}

bool RemoveIfMade(const char* path, std::uint64_t device, std::uint64_t inode, bool folder) {
    struct stat st {};
    if (inode == 0 || ::lstat(path, &st) != 0 || std::uint64_t(st.st_dev) != device ||
        std::uint64_t(st.st_ino) != inode || (folder ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode)))
        return false;
    return (folder ? ::rmdir(path) : ::unlink(path)) == 0;
}

int RememberTemporary(const char* path, bool folder) {
    for (int i = 0; i < kTemporarySlots; ++i) {
        if (g_slotUsed[i].exchange(true)) continue;
        g_slotFolder[i].store(folder);
        g_slotInode[i].store(0);
        g_slotPath[i].store(path);
        return i;
    }
    return -1;
}

void MadeTemporary(int slot, std::uint64_t device, std::uint64_t inode) {
    if (slot < 0 || slot >= kTemporarySlots) return;
    g_slotDevice[slot].store(device);
    g_slotInode[slot].store(inode);
}

void ForgetTemporary(int slot) {
    if (slot < 0 || slot >= kTemporarySlots) return;
    g_slotPath[slot].store(nullptr);
    g_slotInode[slot].store(0);
    g_slotUsed[slot].store(false);
}

void RememberWorker(int pid) {
    for (std::atomic<int>& worker : g_worker) {
        int free = 0;
        if (worker.compare_exchange_strong(free, pid)) return;
    }
}

void ForgetWorker(int pid) {
    for (std::atomic<int>& worker : g_worker) {
        int known = pid;
        worker.compare_exchange_strong(known, 0);
    }
}

void ForgetWorkers() {
    for (std::atomic<int>& worker : g_worker)
        worker.store(0);
}

void SetRenameForTesting(RenameFunction rename) {
    g_rename.store(rename);
}

void CleanUpOnSignals() {
    ::signal(SIGXFSZ, SIG_IGN);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        // A signal the caller chose to ignore (nohup, a background job) stays ignored.
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        InstallHandler(signal);
    }
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_)),
      temp_(std::move(other.temp_)),
      fd_(std::exchange(other.fd_, -1)),
      slot_(std::exchange(other.slot_, -1)),
      device_(std::exchange(other.device_, 0)),
      inode_(std::exchange(other.inode_, 0)) {}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept {
    if (this != &other) {
        Discard();
        target_ = std::move(other.target_);
        temp_ = std::move(other.temp_);
        fd_ = std::exchange(other.fd_, -1);
        slot_ = std::exchange(other.slot_, -1);
        device_ = std::exchange(other.device_, 0);
        inode_ = std::exchange(other.inode_, 0);
    }
    return *this;
}

std::string StagedFile::Folder() const {
    const std::filesystem::path target(target_);
    return target.has_parent_path() ? target.parent_path().string() : std::string(".");
}

ReplaceStatus StagedFile::Open(const std::string& fileName) {
    Discard();
    if (fileName.empty()) return ReplaceStatus::NotCreated;
    const std::filesystem::path target = FollowLinks(fileName);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    // A file we could not open for writing is not replaced behind its back.
    if (exists && (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0))
        return ReplaceStatus::NotCreated;

    target_ = target.string();
    const std::string name = MarkedName(target_, "new", "XXXXXX");
    temp_ = std::make_unique<char[]>(name.size() + 1);
    std::memcpy(temp_.get(), name.c_str(), name.size() + 1);
    {
        // A signal waits until the table knows the file made, so the clean-up never finds a
        // temporary it cannot tell from a user's file.
        const TerminationSignalsHeld held;
        slot_ = RememberTemporary(temp_.get(), false);
        if (slot_ < 0) {
            Discard();
            return ReplaceStatus::NotCreated;
        }
        // mkostemp creates exclusively: the name is new, and the file behind it ours.
        fd_ = ::mkostemp(temp_.get(), O_CLOEXEC);
        struct stat made {};
        if (fd_ < 0 || ::fstat(fd_, &made) != 0) {
            Discard();
            return ReplaceStatus::NotCreated;
        }
        device_ = std::uint64_t(made.st_dev);
        inode_ = std::uint64_t(made.st_ino);
        MadeTemporary(slot_, device_, inode_);
    }
    // mkstemp makes the file private; the new file gets the permissions of the one it replaces,
    // or those of any new file.
    mode_t mode = 0;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0644 & ~mask;
    }
    if (::fchmod(fd_, mode) != 0) {
        Discard();
        return ReplaceStatus::NotCreated;
    }
    return ReplaceStatus::Ok;
}

ReplaceStatus StagedFile::Finish() {
    if (fd_ < 0) return ReplaceStatus::NotWritten;
    bool ok = ::fsync(fd_) == 0;
    // Closing reports the write errors some file systems hold back until then.
    ok = ::close(std::exchange(fd_, -1)) == 0 && ok;
    if (!ok) {
        Discard();
        return ReplaceStatus::NotWritten;
    }
    return ReplaceStatus::Ok;
}

bool StagedFile::Commit() {
    if (!temp_ || fd_ >= 0) return false;
    RecoverInterruptedCommitsOnce(Folder());
    bool ok = false;
    {
        const CommitScope holdSignals;
        ok = RenameStep(temp_.get(), target_.c_str()) == 0;
        if (ok) {
            ForgetTemporary(std::exchange(slot_, -1));
            temp_.reset();
        }
    }
    Discard();
    return ok;
}

void StagedFile::Discard() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (temp_) RemoveIfMade(temp_.get(), device_, inode_, false);
    ForgetTemporary(std::exchange(slot_, -1));
    temp_.reset();
    device_ = inode_ = 0;
}

namespace {

// One file of a commit: where it was put, and how to undo that.
struct CommitStep {
    StagedFile* file = nullptr;
    FileIdentity made;   // the new file
    std::string backup;  // the replaced target under its hidden name; empty: there was none
    std::uint64_t backupDevice = 0, backupInode = 0;
    bool backupLinked = false;  // a second name of the target, made before the renames
    bool renamed = false;
};

// Names the backup of a target that is there, for the record.
bool PlanBackup(CommitStep& step) {
    const std::string& target = step.file->Target();
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT;
    step.backupDevice = std::uint64_t(st.st_dev);
    step.backupInode = std::uint64_t(st.st_ino);
    const char* temp = step.file->TemporaryName();
    step.backup = MarkedName(target, "old", std::string(temp + std::strlen(temp) - 6));
    return true;
}

// Keeps the replaced target under a second name, once the record names it. Where the file system
// has no hard links, the target is moved aside right before its rename instead.
bool LinkBackup(CommitStep& step) {
    if (step.backup.empty()) return true;
    step.backupLinked = ::link(step.file->Target().c_str(), step.backup.c_str()) == 0;
    return step.backupLinked || errno != EEXIST;
}

// The record names every file by its absolute name, so that a process started elsewhere finds
// them.
std::string Absolute(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

int WriteRecord(const std::vector<CommitStep>& steps, std::string& name) {
    std::vector<CommitRecordEntry> entries;
    for (const CommitStep& step : steps) {
        const StagedFile& file = *step.file;
        CommitRecordEntry& entry = entries.emplace_back();
        entry.temporary = Absolute(file.TemporaryName());
        entry.made = step.made;
        entry.target = Absolute(file.Target());
        if (!step.backup.empty()) entry.backup = Absolute(step.backup);
        entry.old = {step.backupDevice, step.backupInode};
    }
    return WriteCommitRecord(entries, name);
}

bool RenameInPlace(CommitStep& step) {
    StagedFile& file = *step.file;
    const char* target = file.Target().c_str();
    if (!step.backup.empty() && !step.backupLinked &&
        ::renameat2(AT_FDCWD, target, AT_FDCWD, step.backup.c_str(), RENAME_NOREPLACE) != 0)
        return false;
    if (RenameStep(file.TemporaryName(), target) == 0) return true;
    if (!step.backup.empty() && !step.backupLinked) {
        ::rename(step.backup.c_str(), target);
        step.backup.clear();
    }
    return false;
}

// Puts the target back as it was before the step's rename.
bool UndoStep(CommitStep& step, std::uint64_t device, std::uint64_t inode) {
    const char* target = step.file->Target().c_str();
    if (step.backup.empty()) return RemoveIfMade(target, device, inode, false);
    if (RenameStep(step.backup.c_str(), target) != 0) return false;
    step.backup.clear();
    return true;
}

}  // namespace

bool CommitStagedFiles(std::span<StagedFile> files, std::string& failedTarget) {
    if (files.empty()) return true;
    if (files.size() == 1) {
        if (files[0].Commit()) return true;
        failedTarget = files[0].Target();
        return false;
    }
    std::set<std::string> folders;
    for (const StagedFile& file : files)
        folders.insert(file.Folder());
    for (const std::string& folder : folders)
        RecoverInterruptedCommitsOnce(folder);
    const CommitScope holdSignals;
    std::vector<CommitStep> steps;
    for (StagedFile& file : files) {
        CommitStep& step = steps.emplace_back();
        step.file = &file;
        step.made = {file.device_, file.inode_};
    }
    std::string record;
    int recordFd = -1;
    bool ok = true;
    for (CommitStep& step : steps) {
        if (step.file->fd_ >= 0 || !step.file->temp_ || !PlanBackup(step)) {
            failedTarget = step.file->Target();
            ok = false;
            break;
        }
    }
    // Nothing is made on disk before the record: a process killed at any point leaves nothing
    // the record does not name.
    if (ok) recordFd = WriteRecord(steps, record);
    for (CommitStep& step : steps) {
        if (ok && !LinkBackup(step)) {
            failedTarget = step.file->Target();
            ok = false;
        }
    }
    std::size_t done = 0;
    for (; ok && done < steps.size(); ++done) {
        if (!RenameInPlace(steps[done])) {
            failedTarget = steps[done].file->Target();
            ok = false;
            break;
        }
        steps[done].renamed = true;
    }
    bool undone = true;
    if (!ok) {
        for (std::size_t i = done; i-- > 0;)
            undone = UndoStep(steps[i], files[i].device_, files[i].inode_) && undone;
    } else {
        for (StagedFile& file : files) {
            ForgetTemporary(std::exchange(file.slot_, -1));
            file.temp_.reset();
        }
    }
    for (const CommitStep& step : steps) {
        // A backup that could not be put back is the only copy of the old file: it stays.
        if (!step.backup.empty() && (ok || !step.renamed))
            RemoveIfMade(step.backup.c_str(), step.backupDevice, step.backupInode, false);
    }
    // A commit not wholly undone keeps its record, so the next commit into the folder undoes the
    // rest.
    if (undone) {
        DropCommitRecord(recordFd, record);
    } else if (recordFd >= 0) {
        ::close(recordFd);
    }
    for (StagedFile& file : files)
        file.Discard();
    return ok;
}

ReplaceStatus ReplaceFile(const std::string& fileName, const std::function<bool(int fd)>& write) {
    StagedFile file;
    const ReplaceStatus opened = file.Open(fileName);
    if (opened != ReplaceStatus::Ok) return opened;
    if (!write(file.Fd())) return ReplaceStatus::NotWritten;
    const ReplaceStatus finished = file.Finish();
    if (finished != ReplaceStatus::Ok) return finished;
    if (!file.Commit()) return ReplaceStatus::NotCreated;
    SyncFolder(file.Folder());
    return ReplaceStatus::Ok;
}

ReplaceStatus ReplaceFile(const std::string& fileName, std::span<const std::uint8_t> bytes) {
    return ReplaceFile(fileName,
                       [bytes](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

}  // namespace gw
