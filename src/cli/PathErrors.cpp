#include "cli/PathErrors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "platform/Catalogue.h"

namespace gw {

std::string ErrnoReason(int error) {
    static const std::pair<int, const char*> kReasons[] = {
        {ENOENT, N_("nicht gefunden")},
        {EACCES, N_("keine Berechtigung")},
        {EPERM, N_("keine Berechtigung")},
        {EISDIR, N_("ist ein Ordner")},
        {ENOTDIR, N_("ein Teil des Pfades ist kein Ordner")},
        {ENOSPC, N_("der Datenträger ist voll")},
        {EDQUOT, N_("der Datenträger ist voll (Kontingent erschöpft)")},
        {EROFS, N_("das Dateisystem ist nur lesbar")},
        {EFBIG, N_("die Datei wird zu groß")},
    };
    for (const auto& [number, reason] : kReasons)
        if (number == error) return catalogue::Tr(reason);
    return std::strerror(error);
}

std::string ReadReason(const std::string& path) {
    // Not blocking: a pipe nobody writes to must not hold the diagnosis up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return ErrnoReason(errno);
    struct stat st {};
    const bool folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    ::close(fd);
    return folder ? ErrnoReason(EISDIR) : std::string();
}

std::string WriteReason(const std::string& path, int savedErrno) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return ErrnoReason(EISDIR);
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    if (::stat(folder.c_str(), &st) != 0)
        return errno == ENOENT ? catalogue::Fill(catalogue::Tr("der Ordner \"%1\" fehlt"), {folder})
                               : ErrnoReason(errno);
    if (!S_ISDIR(st.st_mode)) return ErrnoReason(ENOTDIR);
    struct statvfs fs {};
    if (::statvfs(folder.c_str(), &fs) == 0 && (fs.f_flag & ST_RDONLY)) return ErrnoReason(EROFS);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return ErrnoReason(errno);
    return savedErrno != 0 ? ErrnoReason(savedErrno) : std::string();
}

std::string PathLine(const std::string& path, const std::string& reason) {
    return "\"" + path + "\": " + reason;
}

}  // namespace gw
