#pragma once
// What the drawing layer knows of the system around it: message boxes, the screen, the folders
// of the program and its data.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace gw {

enum class MsgIcon { None, Error, Information, Question, Warning };
// SaveDiscardCancel asks about unsaved changes ("Speichern", "Verwerfen", "Abbrechen"); a handler
// that answers Ok there lets the command go on without saving, as Discard does.
enum class MsgButtons { Ok, OkCancel, SaveDiscardCancel };
enum class MsgResult { Ok, Cancel, Save, Discard };

using MessageBoxHandler =
    std::function<MsgResult(std::string_view text, std::string_view caption, MsgIcon, MsgButtons)>;

// Layers below the window report through this; the window installs a handler that shows a modal
// box, the headless renderer one that writes to standard error. Without a handler the text goes
// to standard error and the answer is Ok.
MsgResult ShowMessageBox(std::string_view text, std::string_view caption = {},
                         MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok);
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);  // returns the previous one

// A failure that drawing code met and went past. Such code may run on any thread, so it never
// asks the user itself: it notes the failure, and whoever called it takes the notices and shows
// them where the user can be asked.
struct Notice {
    std::string text;
    std::string caption;
    MsgIcon icon = MsgIcon::None;
    friend bool operator==(const Notice&, const Notice&) = default;
};
// Keeps the notice with the calling thread until taken.
void NoteFailure(std::string text, std::string caption = {}, MsgIcon icon = MsgIcon::None);
// The calling thread's notices, oldest first; it has none afterwards.
std::vector<Notice> TakeNotices();
// Each notice in a message box, in order.
void ShowNotices(const std::vector<Notice>& notices);

// Bits per pixel of the screen: 24 unless the window says otherwise (tests set 8 to reach the
// halftone path of DrawDib).
int DesktopColorDepth();
void SetDesktopColorDepth(int bitsPerPixel);

// The running program's file; empty when it cannot be told.
std::string ProgramFile();
// The folder of the running program file, ending in '/'.
std::string ProgramFolder();
// The folder of the data files: the program's folder when it holds them, else
// ../share/glyphwerk/ relative to it. Ends in '/'.
std::string DataFolder();
// The folders DataFolder() looks in, in order.
std::vector<std::string> DataFolderCandidates();
// The message for data files that are not there, naming the folders that were searched: "Die
// Programmdaten sind unvollständig: es fehlen WHAT. Gesucht wurde in: A, B."
std::string MissingDataMessage(const std::string& what);

}  // namespace gw
