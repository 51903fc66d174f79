#include "document/UndoHistory.h"

#include <cstring>
#include <unordered_set>

namespace gw {
namespace {

bool SameImage(const DibImage& a, const DibImage& b) {
    if (a.Empty() || b.Empty()) return a.Empty() && b.Empty();
    return std::memcmp(a.Info.get(), b.Info.get(), sizeof(BitmapInfo)) == 0 &&
           a.Stride == b.Stride && DibImageSize(a) == DibImageSize(b) &&
           std::memcmp(a.Bits.get(), b.Bits.get(), DibImageSize(a)) == 0;
}

// The texture as the last state held it when it is unchanged, else a copy of its own.
std::shared_ptr<const DibImage> Share(const DibImage& texture,
                                      const std::shared_ptr<const DibImage>& last) {
    if (last && SameImage(texture, *last)) return last;
    return std::make_shared<const DibImage>(MakeDIBCopy(texture));
}

std::size_t LineBytes(const TLine& line) {
    return (line.Points().size() + line.Outline().size()) * sizeof(TPoint);
}

std::size_t StateBytes(const LetteringState& s, std::unordered_set<const DibImage*>& counted) {
    std::size_t bytes = sizeof(LetteringState) + LineBytes(s.upper) + LineBytes(s.lower);
    for (const std::string& line : s.settings.Memo1)
        bytes += line.size();
    for (const auto& texture : {s.textTexture, s.backgroundTexture})
        if (texture && counted.insert(texture.get()).second)
            bytes += DibImageSize(*texture) + sizeof(BitmapInfo);
    return bytes;
}

}  // namespace

LetteringState UndoHistory::Capture(const Lettering& lettering, const EditorMarks& marks) {
    LetteringState s;
    s.position = ++lastPosition_;
    s.marks = marks;
    s.settings = lettering.settings;
    s.width = lettering.width;
    s.height = lettering.height;
    s.upper = lettering.EnvelopeLines[0];
    s.lower = lettering.EnvelopeLines[1];
    s.textTexture = Share(lettering.TextTexture, current_.textTexture);
    s.backgroundTexture = Share(lettering.BackgroundTexture, current_.backgroundTexture);
    return s;
}

void UndoHistory::Restore(const LetteringState& s, Lettering& lettering) {
    lettering.settings = s.settings;
    lettering.width = s.width;
    lettering.height = s.height;
    lettering.EnvelopeLines[0] = s.upper;
    lettering.EnvelopeLines[1] = s.lower;
    if (!SameImage(lettering.TextTexture, *s.textTexture))
        lettering.TextTexture = MakeDIBCopy(*s.textTexture);
    if (!SameImage(lettering.BackgroundTexture, *s.backgroundTexture))
        lettering.BackgroundTexture = MakeDIBCopy(*s.backgroundTexture);
}

void UndoHistory::Reset(const Lettering& lettering, EditorMarks marks) {
    undo_.clear();
    redo_.clear();
    current_ = {};
    current_ = Capture(lettering, marks);
}

void UndoHistory::Record(const Lettering& lettering, std::string name, EditorMarks marks) {
    LetteringState now = Capture(lettering, marks);
    undo_.push_back({std::move(name), std::move(current_)});
    current_ = std::move(now);
    redo_.clear();
    Trim();
}

void UndoHistory::Undo(Lettering& lettering) {
    if (undo_.empty()) return;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    Restore(step.state, lettering);
    redo_.push_back({step.name, std::move(current_)});
    current_ = std::move(step.state);
}

void UndoHistory::TakeBack(Lettering& lettering) {
    if (undo_.empty()) return;
    Undo(lettering);
    redo_.pop_back();
}

void UndoHistory::Redo(Lettering& lettering) {
    if (redo_.empty()) return;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    Restore(step.state, lettering);
    undo_.push_back({step.name, std::move(current_)});
    current_ = std::move(step.state);
}

std::size_t UndoHistory::Bytes() const {
    std::unordered_set<const DibImage*> counted;
    std::size_t bytes = StateBytes(current_, counted);
    for (const auto* steps : {&undo_, &redo_})
        for (const Step& step : *steps)
            bytes += StateBytes(step.state, counted);
    return bytes;
}

void UndoHistory::Trim() {
    // The oldest steps go first; the newest step stays even when it alone is too big.
    while (undo_.size() > 1 && Bytes() > maxBytes_)
        undo_.pop_front();
}

}  // namespace gw
