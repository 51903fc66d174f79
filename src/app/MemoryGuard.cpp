#include "app/MemoryGuard.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTimer>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/AllocationLimit.h"
#include "platform/Catalogue.h"
#include "platform/System.h"

namespace gw {

namespace {

struct HeldMessage {
    std::string text;
    std::string caption;
    MsgIcon icon;
};

// Collects the step's messages for as long as it runs, and puts the previous handler back however
// the step ends.
class HoldMessages {
  public:
    HoldMessages() {
        previous_ = SetMessageBoxHandler(
            [this](std::string_view text, std::string_view caption, MsgIcon icon, MsgButtons) {
                held.push_back({std::string(text), std::string(caption), icon});
                return MsgResult::Ok;
            });
    }
    ~HoldMessages() { SetMessageBoxHandler(std::move(previous_)); }
    HoldMessages(const HoldMessages&) = delete;
    HoldMessages& operator=(const HoldMessages&) = delete;

    std::vector<HeldMessage> held;

  private:
    MessageBoxHandler previous_;
};

struct BusyCursor {
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

bool RunTakingPictures(const std::function<void()>& step) {
    const std::uint64_t failuresBefore = AllocationFailures();
    std::vector<HeldMessage> held;
    bool ok = true;
    {
        BusyCursor busy;
        HoldMessages messages;
        try {
            step();
        } catch (const std::bad_alloc&) {
            ok = false;
        }
        held = std::move(messages.held);
        for (Notice& notice : TakeNotices())
            held.push_back({std::move(notice.text), std::move(notice.caption), notice.icon});
    }
    if (AllocationFailures() != failuresBefore) ok = false;
    if (ok) {
        for (const HeldMessage& message : held)
            ShowMessageBox(message.text, message.caption, message.icon);
    }
    return ok;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        const bool handled = QApplication::notify(receiver, event);
        // What the drawing code noted during the event is told once the event is over.
        if (std::vector<Notice> notices = TakeNotices(); !notices.empty())
            QTimer::singleShot(0, [notices] { ShowNotices(notices); });
        return handled;
    } catch (const std::bad_alloc&) {
        NoteAllocationFailure();
        static bool pending = false;
        if (!pending) {
            pending = true;
            QTimer::singleShot(0, [] {
                ShowOutOfMemory();
                pending = false;
            });
        }
    } catch (const std::exception& failure) {
        qWarning("%s", failure.what());
    }
    return false;
}

void ShowOutOfMemory() {
    ShowMessageBox(catalogue::Tr(kOutOfMemoryMessage), catalogue::Tr("Fehler"), MsgIcon::Error);
}

}  // namespace gw
