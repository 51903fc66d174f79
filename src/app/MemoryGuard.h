#pragma once
// The window's steps that take whole pictures (a render, a new picture size, an opened document,
// a picture for the printer or the clipboard) run through here, so that running out of memory
// in them is an answer, not the end of the program.

#include <QApplication>
#include <functional>

namespace gw {

// Runs `step` under the busy cursor. False when memory ran out in it: a std::bad_alloc, or an
// allocation the step did without (the render leaves out what it cannot have). The messages the
// step would show are held back until the cursor is normal again: shown when the step succeeded,
// dropped when it failed, as the caller then tells the user once, after taking its state back.
bool RunTakingPictures(const std::function<void()>& step);

// The window program's application: an exception that would leave an event handler ends here, so
// no handler is left half done by an unwinding through Qt. Running out of memory is told the user
// once the event is over.
class GuardedApplication : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

// "Fehler: nicht genug Speicher für diese Operation!" in a box.
void ShowOutOfMemory();

}  // namespace gw
