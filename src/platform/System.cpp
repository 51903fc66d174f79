#include "platform/System.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <utility>

#include "platform/Catalogue.h"

namespace gw {

namespace {

std::mutex handlerMutex;
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

std::atomic<int> desktopDepth{24};

// The file that marks a folder as holding the program's data.
constexpr const char* kDataMarker = "glyphwerk-fonts.conf";

}  // namespace

MsgResult ShowMessageBox(std::string_view shownText, std::string_view shownCaption, MsgIcon icon,
                         MsgButtons buttons) {
    // A text the lower layers hand on in German because code compares it (the memory message,
    // the error caption) is put in the chosen language here, where it is shown; a text already
    // made in it passes unchanged.
    const std::string translatedText = catalogue::Tr(std::string(shownText).c_str());
    const std::string translatedCaption = catalogue::Tr(std::string(shownCaption).c_str());
    const std::string_view text = translatedText;
    const std::string_view caption = translatedCaption;
    MessageBoxHandler handler;
    {
        std::lock_guard lock(handlerMutex);
        handler = Handler();
    }
    if (handler) return handler(text, caption, icon, buttons);
    if (caption.empty()) {
        std::fprintf(stderr, "%.*s\n", int(text.size()), text.data());
    } else {
        std::fprintf(stderr, "%.*s: %.*s\n", int(caption.size()), caption.data(), int(text.size()),
                     text.data());
    }
    return MsgResult::Ok;
}

namespace {
thread_local std::vector<Notice> pendingNotices;
}  // namespace

void NoteFailure(std::string text, std::string caption, MsgIcon icon) {
    pendingNotices.push_back({std::move(text), std::move(caption), icon});
}

std::vector<Notice> TakeNotices() {
    return std::exchange(pendingNotices, {});
}

void ShowNotices(const std::vector<Notice>& notices) {
    for (const Notice& notice : notices)
        ShowMessageBox(notice.text, notice.caption, notice.icon);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(handlerMutex);
    MessageBoxHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

int DesktopColorDepth() {
    return desktopDepth.load();
}

void SetDesktopColorDepth(int bitsPerPixel) {
    desktopDepth.store(bitsPerPixel);
}

std::string ProgramFile() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

std::string ProgramFolder() {
    const std::string exe = ProgramFile();
    std::error_code ec;
    std::string folder = exe.empty() ? std::filesystem::current_path(ec).string()
                                     : std::filesystem::path(exe).parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::vector<std::string> DataFolderCandidates() {
    const std::string program = ProgramFolder();
    std::error_code ec;
    std::string shared =
        std::filesystem::weakly_canonical(program + "../share/glyphwerk/", ec).string();
    if (ec || shared.empty()) shared = program + "../share/glyphwerk/";
    if (shared.back() != '/') shared += '/';
    return {program, shared};
}

std::string MissingDataMessage(const std::string& what) {
    std::string folders;
    for (const std::string& folder : DataFolderCandidates())
        folders += (folders.empty() ? "" : ", ") + folder;
    return catalogue::Fill(
        catalogue::Tr("Die Programmdaten sind unvollständig: es fehlen %1. Gesucht wurde in: %2."),
        {what, folders});
}

std::string DataFolder() {
    const std::string program = ProgramFolder();
    std::error_code ec;
    if (std::filesystem::exists(program + kDataMarker, ec)) return program;
    const std::filesystem::path shared =
        std::filesystem::weakly_canonical(program + "../share/glyphwerk/", ec);
    if (!ec && std::filesystem::exists(shared / kDataMarker, ec)) {
        std::string folder = shared.string();
        if (folder.back() != '/') folder += '/';
        return folder;
    }
    return program;
}

}  // namespace gw
