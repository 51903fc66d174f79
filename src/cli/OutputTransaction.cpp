#include "cli/OutputTransaction.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <set>

#include "document/Lettering.h"
#include "document/LetteringFile.h"
#include "document/zeflor.h"
#include "platform/AllocationLimit.h"
#include "platform/Catalogue.h"
#include "platform/System.h"
#include "raster/ImageFiles.h"

namespace gw {

using catalogue::Fill;
using catalogue::Tr;

bool OutputTransaction::AddFolder(const std::string& folder, std::string& error) {
    const std::string message = Fill(Tr("Konnte den Ordner %1 nicht anlegen."), {folder});
    if (folder.empty()) {
        error = message;
        return false;
    }
    // The missing levels, outermost first, each made and remembered on its own so that an
    // interruption between two of them still finds every one.
    std::vector<std::filesystem::path> missing;
    for (std::filesystem::path level = std::filesystem::path(folder).lexically_normal();
         !level.empty(); level = level.parent_path()) {
        struct stat st {};
        if (::stat(level.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) {
                error = message;
                failedPath_ = folder;
                failedErrno_ = ENOTDIR;
                return false;
            }
            break;
        }
        missing.insert(missing.begin(), level);
        if (level == level.parent_path() || !level.has_parent_path()) break;
    }
    for (const std::filesystem::path& level : missing) {
        MadeFolder made;
        const std::string name = level.string();
        made.path = std::make_unique<char[]>(name.size() + 1);
        std::memcpy(made.path.get(), name.c_str(), name.size() + 1);
        made.slot = RememberTemporary(made.path.get(), true);
        struct stat st {};
        if (made.slot < 0 || ::mkdir(made.path.get(), 0777) != 0 ||
            ::lstat(made.path.get(), &st) != 0) {
            failedPath_ = folder;
            failedErrno_ = errno;
            ForgetTemporary(made.slot);
            error = message;
            return false;
        }
        made.device = std::uint64_t(st.st_dev);
        made.inode = std::uint64_t(st.st_ino);
        MadeTemporary(made.slot, made.device, made.inode);
        folders_.push_back(std::move(made));
    }
    return true;
}

bool OutputTransaction::Stage(const std::string& fileName, const std::function<bool(int fd)>& write,
                              std::string& notCreated, std::string& notWritten,
                              std::string& error) {
    StagedFile file;
    if (file.Open(fileName) != ReplaceStatus::Ok) {
        failedPath_ = fileName;
        failedErrno_ = errno;
        error = notCreated;
        return false;
    }
    if (!write(file.Fd()) || file.Finish() != ReplaceStatus::Ok) {
        failedPath_ = fileName;
        failedErrno_ = errno;
        error = notWritten;
        return false;
    }
    files_.push_back(std::move(file));
    return true;
}

bool OutputTransaction::AddFile(const std::string& fileName,
                                const std::function<bool(int fd)>& write, std::string& error) {
    std::string message = Fill(Tr("Konnte die Datei %1 nicht schreiben."), {fileName});
    return Stage(fileName, write, message, message, error);
}

bool OutputTransaction::AddImage(const DibImage& image, const std::string& fileName,
                                 ImageFileType type, std::string& error,
                                 const ImageExtras& extras) {
    std::vector<std::uint8_t> bytes;
    if (!EncodeImage(image, type, 92, bytes, &error, extras)) return false;
    return AddFile(
        fileName, [&bytes](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); }, error);
}

bool OutputTransaction::AddDocument(const Lettering& lettering, const std::string& fileName,
                                    std::string& error) {
    const std::string name = std::filesystem::path(fileName).filename().string();
    std::string notCreated =
        Fill(Tr("Zarbo-Glyphwerk Datei speichern: Konnte die Datei %1 nicht erstellen!"), {name});
    std::string notWritten =
        Fill(Tr("Zarbo-Glyphwerk Datei speichern: Konnte die Datei %1 nicht schreiben!"), {name});
    // The check that reads the document back needs memory of its own.
    const std::uint64_t failuresAtStart = AllocationFailures();
    const bool staged = Stage(
        fileName, [&lettering](int fd) { return WriteVerifiedLettering(lettering, fd); },
        notCreated, notWritten, error);
    if (!staged && AllocationFailures() != failuresAtStart) error = kOutOfMemoryMessage;
    return staged;
}

bool OutputTransaction::Commit(std::string& error) {
    std::set<std::string> touched;
    for (const StagedFile& file : files_)
        touched.insert(file.Folder());
    std::string failed;
    const bool ok = CommitStagedFiles(files_, failed);
    files_.clear();
    // What an earlier run left unfinished in these folders, and could not be set right.
    ShowNotices(TakeNotices());
    if (!ok) {
        failedPath_ = failed;
        failedErrno_ = errno;
        error = Fill(Tr("Konnte die Datei %1 nicht schreiben."), {failed});
        Abort();
        return false;
    }
    for (MadeFolder& made : folders_) {
        ForgetTemporary(made.slot);
        const std::filesystem::path path(made.path.get());
        touched.insert(path.has_parent_path() ? path.parent_path().string() : std::string("."));
    }
    folders_.clear();
    for (const std::string& folder : touched)
        SyncFolder(folder);
    return true;
}

void OutputTransaction::Abort() {
    files_.clear();
    for (auto made = folders_.rbegin(); made != folders_.rend(); ++made) {
        RemoveIfMade(made->path.get(), made->device, made->inode, true);
        ForgetTemporary(made->slot);
    }
    folders_.clear();
}

}  // namespace gw
