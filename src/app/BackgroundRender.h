#pragma once
// Big pictures are rendered beside the window: a worker thread renders a snapshot of the
// lettering while the window goes on taking keys and clicks. One render runs at a time; a newer
// request supersedes it, so the newest settings win and a superseded picture is never shown.

#include <QObject>
#include <cstdint>
#include <memory>
#include <vector>

#include "document/Lettering.h"
#include "platform/System.h"
#include "render/Pipeline.h"

namespace gw {

// From this many pixels on, a render takes longer than a frame of the window (about 20 ms with
// every effect on the development machine) and runs beside it.
inline constexpr std::int64_t kBackgroundRenderPixels = 500'000;

class TBackgroundRender : public QObject {
    Q_OBJECT

  public:
    explicit TBackgroundRender(QObject* parent);
    // Waits for the render that is still running.
    ~TBackgroundRender() override;

    // Renders a snapshot of the lettering at its picture size. A render still running is
    // superseded: it runs to its end unseen, and the newest request then starts.
    void Start(const Lettering& lettering);
    // Drops the running render and the waiting request; the last picture stays.
    void Cancel();
    // A render is running or waiting whose picture will be shown.
    bool Busy() const;

    // The result of the last `finished`: the images, and what the render noted on its way.
    RenderImages images;
    std::vector<Notice> notices;

  signals:
    // The newest render has ended; false when memory ran out in it (images then hold nothing).
    void finished(bool ok);

  private:
    struct Job;
    void Launch(Lettering snapshot);
    void Ended(std::shared_ptr<Job> job);

    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace gw
