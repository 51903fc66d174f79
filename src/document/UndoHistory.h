#pragma once
// The undo history of one lettering: every step keeps the state before it (settings, picture
// size, boundary lines and both textures), so undoing a step puts back exactly
// what was there and the picture rendered from it is the same, byte for byte.
//
// Steps share a texture that did not change. The number of steps has no limit of its own; the
// history holds at most kMaxUndoBytes of state and drops the oldest steps first, which leaves
// hundreds of steps even with large textures changed often.

#include <cstddef>
#include <deque>
#include <memory>
#include <string>

#include "document/Lettering.h"

namespace gw {

inline constexpr std::size_t kMaxUndoBytes = std::size_t(256) << 20;

// The state of a lettering that a step can change.
struct LetteringState {
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
    void Reset(const Lettering& lettering);
    // `lettering` has changed by a step of this name since the last step.
    void Record(const Lettering& lettering, std::string name);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    const std::string& UndoName() const { return undo_.back().name; }
    const std::string& RedoName() const { return redo_.back().name; }
    std::size_t UndoCount() const { return undo_.size(); }

    // Puts the state before the last step (after the last undone step) into `lettering`.
    void Undo(Lettering& lettering);
    void Redo(Lettering& lettering);

    // The bytes the history holds, each shared texture once.
    std::size_t Bytes() const;

  private:
    struct Step {
        std::string name;
        LetteringState state;
    };
    LetteringState Capture(const Lettering& lettering) const;
    static void Restore(const LetteringState& state, Lettering& lettering);
    void Trim();

    std::deque<Step> undo_;
    std::deque<Step> redo_;
    LetteringState current_;
    std::size_t maxBytes_;
};

}  // namespace gw
