#pragma once
// The undo history of one lettering: every step keeps the state before it (settings, picture
// size, boundary lines and both textures), so undoing a step puts back exactly
// what was there and the picture rendered from it is the same, byte for byte.
//
// Steps share a texture that did not change. The number of steps has no limit of its own; the
// history holds at most kMaxUndoBytes of state and drops the oldest steps first, which leaves
// hundreds of steps even with large textures changed often.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "document/Lettering.h"

namespace gw {

inline constexpr std::size_t kMaxUndoBytes = std::size_t(256) << 20;

// Points the mouse editing keeps beside the lettering (its pivot and rotation handle): not part
// of the lettering's look, but a size change moves them, so its step carries them both ways.
using EditorMarks = std::array<TPoint, 2>;

// The state of a lettering that a step can change.
struct LetteringState {
    // Tells the states apart: a state keeps its number while undo and redo move it between the
    // lists, so "the document as saved" is a number, and a dropped state never comes back.
    std::uint64_t position = 0;
    EditorMarks marks{};
    LetteringSettings settings;
    std::int32_t width = 0;
    std::int32_t height = 0;
    TLine upper;
    TLine lower;
    std::shared_ptr<const DibImage> textTexture;
    std::shared_ptr<const DibImage> backgroundTexture;
};

class UndoHistory {
  public:
    explicit UndoHistory(std::size_t maxBytes = kMaxUndoBytes) : maxBytes_(maxBytes) {}

    // Forgets every step; `lettering` is the state from which the next step starts.
    void Reset(const Lettering& lettering, EditorMarks marks = {});
    // `lettering` has changed by a step of this name since the last step.
    void Record(const Lettering& lettering, std::string name, EditorMarks marks = {});

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    const std::string& UndoName() const { return undo_.back().name; }
    const std::string& RedoName() const { return redo_.back().name; }
    std::size_t UndoCount() const { return undo_.size(); }

    // Puts the state before the last step (after the last undone step) into `lettering`.
    void Undo(Lettering& lettering);
    void Redo(Lettering& lettering);
    // Undoes the last step and forgets it, as if it had never been made.
    void TakeBack(Lettering& lettering);

    // The number of the state the lettering is in, and the editor's marks recorded with it.
    std::uint64_t Position() const { return current_.position; }
    const EditorMarks& Marks() const { return current_.marks; }
    // The marks moved since the state was recorded (the pivot dragged).
    void SetMarks(const EditorMarks& marks) { current_.marks = marks; }

    // The bytes the history holds, each shared texture once.
    std::size_t Bytes() const;

  private:
    struct Step {
        std::string name;
        LetteringState state;
    };
    LetteringState Capture(const Lettering& lettering, const EditorMarks& marks);
    static void Restore(const LetteringState& state, Lettering& lettering);
    void Trim();

    std::deque<Step> undo_;
    std::deque<Step> redo_;
    LetteringState current_;
    std::size_t maxBytes_;
    std::uint64_t lastPosition_ = 0;
};

}  // namespace gw
