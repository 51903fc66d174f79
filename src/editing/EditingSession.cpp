#include "editing/EditingSession.h"

#include <utility>

#include "document/PictureSize.h"

namespace gw {

Command SettingCommand(const SettingInfo& info, double value) {
    Command command;
    command.name = std::string(info.undoName);
    command.change = info.change;
    command.apply = [row = &info, value](Lettering& lettering) {
        row->set(lettering.settings, value);
        return true;
    };
    // Typing in a spin field is one step until the pause.
    command.typed = info.kind == SettingKind::IntegerSpin || info.kind == SettingKind::DecimalSpin;
    return command;
}

EditingSession::EditingSession(std::size_t undoBudget)
    : editor_(lettering_), history_(undoBudget), undoBudget_(undoBudget) {
    InitStartState(lettering_);
    history_.Reset(lettering_, Marks());
    savedPosition_ = history_.Position();
}

void EditingSession::Notify(SessionNotice notice) {
    for (const Observer& observer : observers_)
        observer(notice);
}

bool EditingSession::Modified() const {
    return !openStep_.empty() || history_.Position() != savedPosition_;
}

std::string EditingSession::UndoName() const {
    if (!openStep_.empty()) return openStep_;
    return history_.CanUndo() ? history_.UndoName() : std::string();
}

std::string EditingSession::RedoName() const {
    return CanRedo() ? history_.RedoName() : std::string();
}

void EditingSession::Record(std::string name) {
    history_.Record(lettering_, std::move(name), Marks());
    // A step made after a take-back point settles it: it is no longer the last.
    resizePending_ = false;
    replaced_.reset();
}

void EditingSession::FinishOpenStep() {
    if (openStep_.empty()) return;
    const bool modified = Modified();
    Record(std::exchange(openStep_, {}));
    const unsigned what = kHistoryChanged | ModifiedBit(modified);
    Notify({what, Reaction::Nothing});
}

bool EditingSession::MovePickedPoint(std::int32_t dx, std::int32_t dy) {
    bool moved = false;
    Command command{"Hülle bearbeiten", Change::LinesEdited,
                    [this, dx, dy, &moved](Lettering&) {
                        moved = editor_.MovePicked(dx, dy);
                        return moved;
                    },
                    true};
    // A key's step waits for the countdown, so the keys of a burst do not render one by one.
    command.eventCondition = false;
    Run(command);
    return moved;
}

SessionNotice EditingSession::Run(const Command& command) {
    const bool modified = Modified();
    SessionNotice notice;
    const bool step = !command.name.empty();
    if (step && !openStep_.empty() && (!command.typed || openStep_ != command.name))
        FinishOpenStep();
    const std::int32_t width = lettering_.width;
    const std::int32_t height = lettering_.height;
    if (command.apply && !command.apply(lettering_)) return notice;
    if (step) {
        Changed();
        if (command.typed) {
            openStep_ = command.name;
        } else {
            Record(command.name);
        }
        notice.what |= kHistoryChanged | kPictureStaleChanged;
    }
    if (!command.fromControl) notice.what |= kSettingsChanged;
    if (lettering_.width != width || lettering_.height != height)
        notice.what |= kPictureSizeChanged | kLinesChanged;
    if (command.change == Change::LinesEdited || command.change == Change::EnvelopePreset)
        notice.what |= kLinesChanged;
    notice.what |= ModifiedBit(modified);
    ChangeContext context;
    context.firstRenderDone = firstRenderDone_;
    context.eventCondition = command.eventCondition;
    notice.reaction = ReactionTo(command.change, lettering_.settings, context);
    Notify(notice);
    return notice;
}

bool EditingSession::Step(bool back) {
    if (renderBusy_) {
        // The picture on its way is of the state being left.
        Notify({kCancelRender, Reaction::Nothing});
        renderBusy_ = false;
    }
    FinishOpenStep();
    if (back ? !history_.CanUndo() : !history_.CanRedo()) return false;
    const bool modified = Modified();
    const std::uint64_t from = history_.Position();
    // The editing mode is the view's tool, not part of the lettering's look.
    const EditMode mode = lettering_.settings.editMode;
    const std::int32_t width = lettering_.width;
    const std::int32_t height = lettering_.height;
    if (back) {
        history_.Undo(lettering_);
    } else {
        history_.Redo(lettering_);
    }
    lettering_.settings.editMode = mode;
    resizePending_ = false;
    replaced_.reset();
    Changed();
    unsigned what = kSettingsChanged | kLinesChanged | kHistoryChanged | kPictureStaleChanged;
    if (lettering_.width != width || lettering_.height != height) {
        // Only a size step moves the editor's marks back: a pivot moved since stays.
        editor_.Pivot = history_.Marks()[0];
        editor_.RotationHandle = history_.Marks()[1];
        what |= kPictureSizeChanged;
    }
    const std::uint64_t to = history_.Position();
    for (const NewStep& step : newSteps_) {
        if (back && step.after == from && step.before == to) {
            fileName_ = step.was.fileName;
            savedPosition_ = step.was.savedPosition;
            what |= kDocumentChanged;
        } else if (!back && step.before == from && step.after == to) {
            fileName_ = step.now.fileName;
            savedPosition_ = step.now.savedPosition;
            what |= kDocumentChanged;
        }
    }
    what |= ModifiedBit(modified);
    Notify({what, Reaction::Render});
    return true;
}

bool EditingSession::Undo() {
    return Step(true);
}

bool EditingSession::Redo() {
    return Step(false);
}

void EditingSession::Restart(const std::function<void(Lettering&)>& prepare) {
    const bool modified = Modified();
    if (prepare) prepare(lettering_);
    openStep_.clear();
    history_.Reset(lettering_, Marks());
    savedPosition_ = history_.Position();
    fileName_.clear();
    newSteps_.clear();
    replaced_.reset();
    resizePending_ = false;
    Changed();
    Notify({kSettingsChanged | kLinesChanged | kHistoryChanged | kDocumentChanged |
                kPictureStaleChanged | ModifiedBit(modified),
            Reaction::Nothing});
}

void EditingSession::New() {
    FinishOpenStep();
    NewStep step;
    step.before = history_.Position();
    step.was = {fileName_, savedPosition_};
    const bool modified = Modified();
    ResetForNew(lettering_);
    Changed();
    Record("Neu");
    firstRenderDone_ = false;
    fileName_.clear();
    savedPosition_ = history_.Position();
    step.after = savedPosition_;
    step.now = {fileName_, savedPosition_};
    newSteps_.push_back(std::move(step));
    ChangeContext context;
    context.firstRenderDone = firstRenderDone_;
    Notify({kSettingsChanged | kLinesChanged | kHistoryChanged | kDocumentChanged |
                kPictureStaleChanged | ModifiedBit(modified),
            ReactionTo(Change::PictureOrDocument, lettering_.settings, context)});
}

void EditingSession::Open(Lettering opened, std::string fileName) {
    FinishOpenStep();
    Replaced replaced{std::move(lettering_),
                      std::move(history_),
                      {fileName_, savedPosition_},
                      std::move(newSteps_),
                      Marks(),
                      firstRenderDone_};
    const std::int32_t width = replaced.lettering.width;
    const std::int32_t height = replaced.lettering.height;
    lettering_ = std::move(opened);
    editor_.PictureResized(width, height, false);
    history_ = UndoHistory(undoBudget_);
    history_.Reset(lettering_, Marks());
    fileName_ = std::move(fileName);
    savedPosition_ = history_.Position();
    newSteps_.clear();
    replaced_ = std::move(replaced);
    resizePending_ = false;
    Changed();
    Notify({kSettingsChanged | kLinesChanged | kPictureSizeChanged | kHistoryChanged |
                kDocumentChanged | kModifiedChanged | kPictureStaleChanged,
            Reaction::Render});
}

void EditingSession::Resize(std::int32_t width, std::int32_t height, bool scaleLines,
                            const std::vector<ScaledMeasure>& scaledEffects) {
    Command command;
    command.name = "Bildgröße";
    command.change = Change::PictureOrDocument;
    command.fromControl = false;
    command.apply = [this, width, height, scaleLines, &scaledEffects](Lettering& lettering) {
        const std::int32_t W0 = lettering.width;
        const std::int32_t H0 = lettering.height;
        ResizeLettering(lettering, width, height, scaleLines);
        editor_.PictureResized(W0, H0, scaleLines);
        for (const ScaledMeasure& m : scaledEffects)
            m.info->set(lettering.settings, m.value);
        return true;
    };
    // The marks before the step are the ones the history holds for the state it leaves; a pivot
    // moved since the last step is taken along.
    FinishOpenStep();
    history_.SetMarks(Marks());
    Run(command);
    resizePending_ = true;
}

void EditingSession::TakeBack() {
    const bool modified = Modified();
    unsigned what = kSettingsChanged | kLinesChanged | kPictureSizeChanged | kHistoryChanged |
                    kPictureStaleChanged;
    if (replaced_) {
        Replaced& r = *replaced_;
        lettering_ = std::move(r.lettering);
        history_ = std::move(r.history);
        fileName_ = std::move(r.identity.fileName);
        savedPosition_ = r.identity.savedPosition;
        newSteps_ = std::move(r.newSteps);
        editor_.Pivot = r.marks[0];
        editor_.RotationHandle = r.marks[1];
        firstRenderDone_ = r.firstRenderDone;
        replaced_.reset();
        what |= kDocumentChanged;
    } else if (resizePending_) {
        const EditMode mode = lettering_.settings.editMode;
        history_.TakeBack(lettering_);
        lettering_.settings.editMode = mode;
        editor_.Pivot = history_.Marks()[0];
        editor_.RotationHandle = history_.Marks()[1];
        resizePending_ = false;
    } else {
        return;
    }
    Changed();
    Notify({what | ModifiedBit(modified), Reaction::Nothing});
}

void EditingSession::Settle() {
    replaced_.reset();
    resizePending_ = false;
}

void EditingSession::Saved(std::string fileName) {
    const bool modified = Modified();
    FinishOpenStep();
    fileName_ = std::move(fileName);
    savedPosition_ = history_.Position();
    // Redoing into the "Neu" just undone names the document this save named.
    for (NewStep& step : newSteps_)
        if (step.after == savedPosition_) step.now = {fileName_, savedPosition_};
    Notify({kDocumentChanged | ModifiedBit(modified), Reaction::Nothing});
}

void EditingSession::RenderStarted() {
    renderBusy_ = true;
    firstRenderDone_ = true;
}

void EditingSession::PictureRendered(std::uint64_t generation) {
    const bool current = PictureCurrent();
    renderBusy_ = false;
    firstRenderDone_ = true;
    pictureGeneration_ = generation;
    if (current != PictureCurrent()) Notify({kPictureStaleChanged, Reaction::Nothing});
}

void EditingSession::RenderStopped() {
    renderBusy_ = false;
    Notify({kPictureStaleChanged, Reaction::Nothing});
}

}  // namespace gw
