#pragma once
// When the lettering is rendered: at once, after the one-second countdown Timer1 that gathers
// quick changes (typing, spin fields), or not at all while the program itself writes controls.
// The main window owns one; it does the rendering through Render.

#include <QObject>
#include <functional>

class QTimer;

namespace gw {

class TRenderSchedule : public QObject {
    Q_OBJECT

  public:
    explicit TRenderSchedule(QObject* parent);

    // While set, a render request returns at once: a preset writes several controls, each of
    // which would render, and renders once afterwards.
    bool SuppressRender = false;
    // Cleared at start and by "Neu"; the first paint of the editing view renders.
    bool FirstRenderDone = false;
    // Set while "Neu" or an opened document writes the controls; a countdown that falls due
    // meanwhile stays armed.
    bool LoadingSettings = false;

    // Renders and shows the picture; false when the render failed (and was reported).
    std::function<bool()> Render;

    void SettingsUpdated();
    void RestartCountdown();
    void StopCountdown();
    // The countdown fell due.
    void Timer1Timer();

    // Completed renders since the schedule was made.
    int renderCount() const { return renderCount_; }

  signals:
    // A render has finished and the editing view shows its picture.
    void rendered();

  private:
    QTimer* timer_;
    int renderCount_ = 0;
};

}  // namespace gw
