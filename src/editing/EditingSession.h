#pragma once
// The editing session: the one place where the lettering is changed. It owns the lettering, its
// undo history, the position the document was saved at, the step still open while the user
// types, and the envelope editor's marks. Every user action reaches it as a command value (its
// undo name, what it does, the change it causes); the session decides the reaction, records the
// step and tells its observers what changed. The window is a view: it turns events into
// commands and repaints on the notices.
//
// "Modified" is the state number the history is at against the one the document was saved at,
// never a comparison of bytes: undoing back to the saved state is no change, the editing mode
// (view state, no step) is none either, and a saved state the history has dropped for its
// budget never comes back, so the document stays modified until it is saved again.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/Lettering.h"
#include "document/Reactions.h"
#include "document/SettingsTable.h"
#include "document/UndoHistory.h"
#include "editing/EnvelopeEditor.h"

namespace gw {

// What a notice tells the views, as bits.
enum SessionChange : unsigned {
    kSettingsChanged = 1u << 0,  // the program changed settings: the controls show them anew
    kPictureSizeChanged = 1u << 1,
    kLinesChanged = 1u << 2,         // the boundary lines or the editor's marks
    kDocumentChanged = 1u << 3,      // another document, or its name
    kModifiedChanged = 1u << 4,      // the caption's "*"
    kHistoryChanged = 1u << 5,       // what undo and redo would do
    kCancelRender = 1u << 6,         // a render under way draws a state that is no more
    kPictureStaleChanged = 1u << 7,  // the picture started or stopped showing the settings
};

struct SessionNotice {
    unsigned what = 0;
    Reaction reaction = Reaction::Nothing;
};

// One user action.
struct Command {
    // The undo step's German name; empty for view state (the editing mode, the effect tab),
    // which makes no step and no modification.
    std::string name;
    Change change = Change::PictureOrDocument;
    // Changes the lettering; false when it refused and changed nothing. Empty: the change was
    // made already (the mouse editing moves the lines while the button is held).
    std::function<bool(Lettering&)> apply;
    // Typing: one step until the next pause (FinishOpenStep), however many keys.
    bool typed = false;
    // The condition of the event itself (see ChangeContext).
    bool eventCondition = true;
    // The control that sent it shows the new value already; other commands (presets) have the
    // controls written anew.
    bool fromControl = true;
};

// The command of a control of the settings table given a value (already in range).
Command SettingCommand(const SettingInfo& info, double value);

class EditingSession {
  public:
    using Observer = std::function<void(const SessionNotice&)>;

    explicit EditingSession(std::size_t undoBudget = kMaxUndoBytes);
    EditingSession(const EditingSession&) = delete;
    EditingSession& operator=(const EditingSession&) = delete;

    const Lettering& lettering() const { return lettering_; }
    // The mouse editing; its drags move the lines, and the release is a command.
    TEnvelopeEditor& editor() { return editor_; }
    const TEnvelopeEditor& editor() const { return editor_; }

    void Observe(Observer observer) { observers_.push_back(std::move(observer)); }

    // Runs a command: the reaction it asks for comes back and goes to the observers.
    SessionNotice Run(const Command& command);
    // The typing paused (a render came): the open step becomes a step of its own.
    void FinishOpenStep();
    // An arrow key on "Punkte bearbeiten" moves the picked point (TEnvelopeEditor::MovePicked).
    // A burst of keys is one step "Hülle bearbeiten", kept open like typing until the pause, and
    // the picture follows at the countdown. False when nothing moved.
    bool MovePickedPoint(std::int32_t dx, std::int32_t dy);

    bool Undo();
    bool Redo();
    bool CanUndo() const { return !openStep_.empty() || history_.CanUndo(); }
    bool CanRedo() const { return openStep_.empty() && history_.CanRedo(); }
    std::string UndoName() const;
    std::string RedoName() const;

    // Documents. The lettering as it is now becomes the unmodified start (the start textures
    // are set after the window shows); history and name are forgotten.
    void Restart(const std::function<void(Lettering&)>& prepare);
    // "Neu": a step like any other, and its undo brings back the document's name and the
    // position it was saved at.
    void New();
    // The opened lettering replaces this one and the history starts anew; until Settle the
    // lettering as it was can be taken back whole.
    void Open(Lettering opened, std::string fileName);
    // The picture size: a step that moves the editor's marks too; until Settle it can be taken
    // back whole. `scaleEffects` writes the scaled pixel measures, or nothing.
    void Resize(std::int32_t width, std::int32_t height, bool scaleLines,
                const std::vector<ScaledMeasure>& scaledEffects);
    // The last Open or Resize could not get its picture: everything as it was before.
    void TakeBack();
    // The last Open or Resize has its picture and stays.
    void Settle();
    // The document was saved under this name.
    void Saved(std::string fileName);
    const std::string& fileName() const { return fileName_; }
    bool Modified() const;

    // The picture. Each change of the lettering gets a new number; a render started with the
    // number of the moment shows the settings only if nothing changed meanwhile.
    std::uint64_t Generation() const { return generation_; }
    void RenderStarted();
    void PictureRendered(std::uint64_t generation);
    // Esc, a failed render: the picture stays as it was.
    void RenderStopped();
    bool RenderBusy() const { return renderBusy_; }
    bool PictureCurrent() const { return pictureGeneration_ == generation_; }
    bool FirstRenderDone() const { return firstRenderDone_; }

  private:
    struct Identity {
        std::string fileName;
        std::uint64_t savedPosition = 0;
    };
    // The step of "Neu", with the document before and after it.
    struct NewStep {
        std::uint64_t before = 0;
        std::uint64_t after = 0;
        Identity was;
        Identity now;
    };
    // What an opened document replaced, kept until it settles.
    struct Replaced {
        Lettering lettering;
        UndoHistory history;
        Identity identity;
        std::vector<NewStep> newSteps;
        EditorMarks marks;
        bool firstRenderDone = false;
    };

    EditorMarks Marks() const { return {editor_.Pivot, editor_.RotationHandle}; }
    void Record(std::string name);
    // Undo or redo: the history moves, and what it moved tells the observers.
    bool Step(bool back);
    void Changed() { ++generation_; }
    void Notify(SessionNotice notice);
    unsigned ModifiedBit(bool before) const {
        return before != Modified() ? unsigned(kModifiedChanged) : 0u;
    }

    Lettering lettering_;
    TEnvelopeEditor editor_;
    UndoHistory history_;
    std::size_t undoBudget_;
    std::string openStep_;
    std::string fileName_;
    std::uint64_t savedPosition_ = 0;
    std::vector<NewStep> newSteps_;
    std::optional<Replaced> replaced_;
    bool resizePending_ = false;
    std::uint64_t generation_ = 1;
    std::uint64_t pictureGeneration_ = 0;
    bool renderBusy_ = false;
    bool firstRenderDone_ = false;
    std::vector<Observer> observers_;
};

}  // namespace gw
