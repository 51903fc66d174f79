#pragma once
// The live thumbnails of the edge, shadow and frame galleries: the user's own lettering with each
// preset applied, made after a render by one low-priority thread of their own. A set works on a
// copy of the lettering taken when it starts; a newer set makes an older one stop, and whatever
// the older one still delivers is dropped. Until a gallery's pictures are there, its drawn
// thumbnails stand in. Everything but the rendering happens on the window's thread.

#include <QObject>
#include <QThreadPool>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Bitmap.h"

namespace gw {

struct Lettering;

enum class PresetGallery { Edge, Shadow, Frame };

class TLiveThumbnails : public QObject {
    Q_OBJECT

  public:
    // Thumbnails of width x height, the galleries' cell size.
    TLiveThumbnails(std::int32_t width, std::int32_t height, QObject* parent);
    ~TLiveThumbnails() override;

    // Switched off, no set starts and the drawn thumbnails show again.
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    // At the lowest priority (the default) a set waits while anything else wants the cores;
    // tests that wait for a set on a busy machine turn that off before the first set starts.
    void SetLowPriority(bool low) { lowPriority_ = low; }

    // Each thumbnail is made with `scale` pixels a unit of its size, for a screen of that pixel
    // ratio; from the next set on.
    void SetPixelScale(std::int32_t scale) { scale_ = scale < 1 ? 1 : scale; }

    // Starts a set for the lettering as it is now.
    void Start(const Lettering& lettering);
    // The gallery's pictures by preset number; empty while the drawn ones stand in.
    const std::vector<Bitmap>& Pictures(PresetGallery gallery) const;
    // Waits until the set being made is finished and takes in what it delivered.
    void WaitForDone();
    // Waits until the set being made is finished; what it delivered waits for the event loop.
    void WaitForWorker();

  signals:
    // A gallery's pictures have changed.
    void ready();

  private:
    void Take(std::uint64_t set, int gallery, std::shared_ptr<std::vector<Bitmap>> pictures);

    std::int32_t width_;
    std::int32_t height_;
    std::int32_t scale_ = 1;
    bool enabled_ = true;
    bool lowPriority_ = true;
    QThreadPool pool_;
    // The newest set; the worker reads it to stop a set that is no longer wanted.
    std::shared_ptr<std::atomic<std::uint64_t>> latest_;
    std::array<std::vector<Bitmap>, 3> pictures_;
};

}  // namespace gw
