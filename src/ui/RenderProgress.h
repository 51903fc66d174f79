#pragma once
// Long renders of the window (big exports, prints) run on a worker thread while a progress dialog
// with "Abbrechen" waits for them; the window stays painted meanwhile. The render core cannot be
// stopped halfway: a cancelled render runs to its end in the background, and its result is
// dropped, so nothing is written or printed.

#include <QString>
#include <functional>

class QProgressDialog;
class QWidget;

namespace gw {

// Runs `work` on a worker thread. True when it finished; false when the user cancelled first.
// `work` must own everything it touches (copies, shared results): after a cancel it may outlive
// the caller's frame.
bool RunWithProgress(QWidget* parent, const QString& label, std::function<void()> work);

// Called with every progress dialog as soon as it is made, before the work may have finished:
// a test cancels it there. Returns the previous hook.
using ProgressHook = std::function<void(QProgressDialog&)>;
ProgressHook SetProgressHook(ProgressHook hook);

}  // namespace gw
