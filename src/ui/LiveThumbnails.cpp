#include "ui/LiveThumbnails.h"

#include <QCoreApplication>
#include <QThread>
#include <exception>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "document/Lettering.h"
#include "platform/System.h"
#include "render/Presets.h"
#include "render/Thumbnail.h"

namespace gw {

namespace {

// The galleries' workspace grey, so the margins of a thumbnail read as the gap between cells.
constexpr TColor kMargin = 0x808080;

struct GalleryPresets {
    int count;
    void (*apply)(LetteringSettings&, int);
};

constexpr std::array<GalleryPresets, 3> kGalleries = {{
    {kEdgePresetCount, ApplyEdgePreset},
    {kShadowPresetCount, ApplyShadowPreset},
    {kFramePresetCount, ApplyFramePreset},
}};

}  // namespace

TLiveThumbnails::TLiveThumbnails(std::int32_t width, std::int32_t height, QObject* parent)
    : QObject(parent),
      width_(width),
      height_(height),
      latest_(std::make_shared<std::atomic<std::uint64_t>>(0)) {
    setObjectName(QStringLiteral("LiveThumbnails"));
    // One thread: a set is cheap next to the window's own render and must never compete with it.
    pool_.setMaxThreadCount(1);
    pool_.setThreadPriority(QThread::LowestPriority);
}

TLiveThumbnails::~TLiveThumbnails() {
    ++*latest_;
    pool_.waitForDone();
}

void TLiveThumbnails::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) return;
    ++*latest_;
    for (std::vector<Bitmap>& pictures : pictures_)
        pictures.clear();
    emit ready();
}

void TLiveThumbnails::Start(const Lettering& lettering) {
    if (!enabled_) return;
    const std::uint64_t set = ++*latest_;
    // A copy that cannot be had means no set this time, not a message after every render: what
    // the copy notes is dropped, what was noted before it stays for the window to show.
    std::vector<Notice> earlier = TakeNotices();
    auto copy = std::make_shared<Lettering>(RenderSnapshot(lettering));
    TakeNotices();
    for (Notice& notice : earlier)
        NoteFailure(std::move(notice.text), std::move(notice.caption), notice.icon);
    if (copy->TextTexture.Empty() != lettering.TextTexture.Empty() ||
        copy->BackgroundTexture.Empty() != lettering.BackgroundTexture.Empty())
        return;
    const std::shared_ptr<std::atomic<std::uint64_t>> latest = latest_;
    const std::int32_t width = width_;
    const std::int32_t height = height_;
    const std::int32_t scale = scale_;
    const bool low = lowPriority_;
    pool_.start([this, set, latest, copy, width, height, scale, low] {
        // The thread priority above does nothing under Linux's ordinary scheduling; the thread's
        // nice value does, and lowering it needs no rights.
        if (low) setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 19);
        try {
            FitForThumbnail(*copy, width, height);
            const LetteringSettings base = copy->settings;
            for (int g = 0; g < int(kGalleries.size()); ++g) {
                auto pictures = std::make_shared<std::vector<Bitmap>>();
                for (int i = 0; i < kGalleries[std::size_t(g)].count; ++i) {
                    if (*latest != set) return;
                    copy->settings = base;
                    kGalleries[std::size_t(g)].apply(copy->settings, i);
                    pictures->push_back(
                        RenderThumbnail(*copy, width * scale, height * scale, kMargin));
                }
                QMetaObject::invokeMethod(
                    this, [this, set, g, pictures] { Take(set, g, pictures); },
                    Qt::QueuedConnection);
            }
        } catch (const std::exception&) {
            // Out of memory: the galleries keep what they show.
        }
        // What the renders noted is nobody's to show: a thumbnail is only a preview.
        TakeNotices();
    });
}

void TLiveThumbnails::Take(std::uint64_t set, int gallery,
                           std::shared_ptr<std::vector<Bitmap>> pictures) {
    if (set != *latest_ || !enabled_) return;
    pictures_[std::size_t(gallery)] = std::move(*pictures);
    emit ready();
}

const std::vector<Bitmap>& TLiveThumbnails::Pictures(PresetGallery gallery) const {
    return pictures_[std::size_t(gallery)];
}

void TLiveThumbnails::WaitForDone() {
    WaitForWorker();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TLiveThumbnails::WaitForWorker() {
    pool_.waitForDone();
}

}  // namespace gw
