#pragma once
// The keyboard of the editing view on "Punkte bearbeiten": Tab and Shift+Tab pick the next or
// the previous boundary point (past either end the keys leave the view), the arrow keys move the
// picked point by one picture pixel, with Shift by ten. What the keys do is decided by the
// session (EnvelopeEditor, EditingSession); this turns the keys into its calls and says which
// point is picked, in the status bar and in the view's accessible description.

#include <QObject>
#include <QString>
#include <functional>

class QStatusBar;

namespace gw {

class EditingSession;
class TPaintBox;

class TPointKeys : public QObject {
    Q_OBJECT

  public:
    // `repaint` shows the lines anew after a key moved a point.
    TPointKeys(TPaintBox* view, EditingSession& session, QStatusBar* bar,
               std::function<void()> repaint);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Point mode with the tab "Verformen" in front.
    bool Active() const;
    // The view takes Tab only while the keys have points to pick.
    void FollowMode();
    void Tell();
    void Quiet();

    TPaintBox* view_;
    EditingSession& session_;
    QStatusBar* bar_;
    std::function<void()> repaint_;
    // What the view tells while a point is picked, and its description otherwise.
    QString told_;
    QString usual_;
};

}  // namespace gw
