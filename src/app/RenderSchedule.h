#pragma once
// When the lettering is rendered: at once, after the one-second countdown Timer1 that gathers
// quick changes (typing, spin fields), or not at all while the program itself writes controls.
// The main window owns one; it does the rendering through Render.

#include <QObject>
#include <functional>
#include <memory>

namespace gw {

class TRenderSchedule : public QObject {
    Q_OBJECT

  public:
    explicit TRenderSchedule(QObject* parent);
    ~TRenderSchedule() override;

    // Runs `write` with render requests returning at once, then stops the countdown: a preset or
    // an undo writes several controls, each of which would render, and the caller renders once
    // afterwards.
    void WriteQuietly(const std::function<void()>& write);
    // The first paint of the editing view renders; "Neu" makes the next paint render again.
    bool FirstRenderDone() const;
    void RenderFirstTime();
    void ForgetFirstRender();

    // Renders and shows the picture; false when the render failed (and was reported).
    std::function<bool()> Render;

    void SettingsUpdated();
    void RestartCountdown();
    void StopCountdown();
    // The countdown fell due.
    void Timer1Timer();

    // Completed renders since the schedule was made.
    int renderCount() const;

  signals:
    // A render has finished and the editing view shows its picture.
    void rendered();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace gw
