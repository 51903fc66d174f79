#include "ui/PointKeys.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QStatusBar>

#include "editing/EditingSession.h"
#include "ui/PaintBox.h"
#include "ui/QtBridge.h"

namespace gw {

TPointKeys::TPointKeys(TPaintBox* view, EditingSession& session, QStatusBar* bar,
                       std::function<void()> repaint)
    : QObject(view), view_(view), session_(session), bar_(bar), repaint_(std::move(repaint)) {
    setObjectName(QStringLiteral("PointKeys"));
    view->installEventFilter(this);
    // The mode and the tab change through the session; the window may go before it.
    QPointer<TPointKeys> self(this);
    session.Observe([self](const SessionNotice&) {
        if (self) self->FollowMode();
    });
    FollowMode();
}

bool TPointKeys::Active() const {
    const TEnvelopeEditor& editor = session_.editor();
    return editor.TabActive && session_.lettering().settings.editMode == EditMode::EdPointsCheck &&
           editor.KeyPointCount() > 0;
}

void TPointKeys::FollowMode() {
    view_->setFocusPolicy(Active() ? Qt::StrongFocus : Qt::ClickFocus);
    if (!Active()) Quiet();
}

void TPointKeys::Tell() {
    if (told_.isEmpty()) usual_ = view_->accessibleDescription();
    told_ = ToQString(session_.editor().PickedPointText());
    view_->setAccessibleDescription(told_);
    if (bar_) bar_->showMessage(told_);
}

void TPointKeys::Quiet() {
    if (told_.isEmpty()) return;
    if (bar_ && bar_->currentMessage() == told_) bar_->clearMessage();
    view_->setAccessibleDescription(usual_);
    told_.clear();
}

bool TPointKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn && Active()) {
        // Coming in with Tab starts at the first point, with Shift+Tab at the last.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        TEnvelopeEditor& editor = session_.editor();
        if (reason == Qt::TabFocusReason) editor.PickIndex(0);
        if (reason == Qt::BacktabFocusReason) editor.PickIndex(editor.KeyPointCount() - 1);
        Tell();
        if (repaint_) repaint_();
    } else if (event->type() == QEvent::FocusOut) {
        Quiet();
        view_->update();  // the keyboard's frame goes with the keys
    } else if (event->type() == QEvent::KeyPress && Active()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
        const int step = key->modifiers() & Qt::ShiftModifier ? 10 : 1;
        int dx = 0;
        int dy = 0;
        switch (key->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                // Past the last point Tab goes on to the next control, as anywhere else.
                if (!session_.editor().PickNext(key->key() == Qt::Key_Backtab)) return false;
                Tell();
                if (repaint_) repaint_();
                return true;
            case Qt::Key_Left:
                dx = -step;
                break;
            case Qt::Key_Right:
                dx = step;
                break;
            case Qt::Key_Up:
                dy = -step;
                break;
            case Qt::Key_Down:
                dy = step;
                break;
            default:
                return false;
        }
        if (session_.MovePickedPoint(dx, dy) && repaint_) repaint_();
        Tell();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace gw
