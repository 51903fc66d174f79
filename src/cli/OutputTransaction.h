#pragma once
// The files of one run, written as one: each output goes to a temporary file beside its target,
// and only when every one of them is complete are they renamed into place. Whatever fails before
// that, no target changes and no temporary file or folder remains; with CleanUpOnSignals
// installed, the same holds when the run is interrupted. A run that also writes to standard
// output does so after Commit, so that what it prints is already in place. A run of several jobs
// gives each job its own transaction.

#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileAccess.h"
#include "raster/DibService.h"
#include "raster/ImageFiles.h"

namespace gw {

struct Lettering;

class OutputTransaction {
  public:
    OutputTransaction() = default;
    ~OutputTransaction() { Abort(); }
    OutputTransaction(const OutputTransaction&) = delete;
    OutputTransaction& operator=(const OutputTransaction&) = delete;

    // Makes the folder and any missing parents; those made here are removed again unless the
    // transaction is committed. False with a German message in `error`.
    bool AddFolder(const std::string& folder, std::string& error);
    // Writes one output: `write` gets a descriptor and says whether every byte went out.
    bool AddFile(const std::string& fileName, const std::function<bool(int fd)>& write,
                 std::string& error);
    bool AddImage(const DibImage& image, const std::string& fileName, ImageFileType type,
                  std::string& error, const ImageExtras& extras = {});
    bool AddDocument(const Lettering& lettering, const std::string& fileName, std::string& error);

    // Renames every output into place, all of them or none, and syncs their folders.
    bool Commit(std::string& error);
    // Removes every temporary file and the folders made; also what the destructor does.
    void Abort();

    // After a failure: the path that failed, as given, and the errno it met (0: none known).
    const std::string& FailedPath() const { return failedPath_; }
    int FailedErrno() const { return failedErrno_; }

  private:
    bool Stage(const std::string& fileName, const std::function<bool(int fd)>& write,
               std::string& notCreated, std::string& notWritten, std::string& error);

    struct MadeFolder {
        std::unique_ptr<char[]> path;  // stays in place while the signal table points at it
        int slot = -1;
        std::uint64_t device = 0, inode = 0;
    };
    std::vector<StagedFile> files_;
    std::vector<MadeFolder> folders_;  // outermost first
    std::string failedPath_;
    int failedErrno_ = 0;
};

}  // namespace gw
