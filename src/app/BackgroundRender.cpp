#include "app/BackgroundRender.h"

#include <new>
#include <utility>

#include "platform/AllocationLimit.h"

namespace gw {

struct TBackgroundRender::Job {
    Lettering lettering;
    RenderImages images;
    std::vector<Notice> notices;
    bool ok = false;
};

TBackgroundRender::TBackgroundRender(QObject* parent) : QObject(parent) {}

TBackgroundRender::~TBackgroundRender() {
    if (thread_.joinable()) thread_.join();
}

void TBackgroundRender::Start(const Lettering& lettering) {
    wanted_ = true;
    if (running_) {
        waiting_ = std::make_unique<Lettering>(RenderSnapshot(lettering));
        return;
    }
    Launch(RenderSnapshot(lettering));
}

void TBackgroundRender::Cancel() {
    wanted_ = false;
    waiting_.reset();
}

void TBackgroundRender::Launch(Lettering snapshot) {
    if (thread_.joinable()) thread_.join();
    auto job = std::make_shared<Job>();
    job->lettering = std::move(snapshot);
    running_ = job;
    thread_ = std::thread([this, job] {
        const std::uint64_t failuresBefore = AllocationFailures();
        try {
            MakeWhitePicture(job->lettering, job->images.Picture);
            if (job->images.Picture.Bits) RenderLettering(job->lettering, job->images);
            job->ok = job->images.Picture.Bits != nullptr;
        } catch (const std::bad_alloc&) {
            job->ok = false;
        }
        // Failures of other threads may count here too; a picture is refused rather than shown
        // with parts left out.
        if (AllocationFailures() != failuresBefore) job->ok = false;
        job->notices = TakeNotices();
        if (!job->ok) job->images = RenderImages();
        // Handed to the window's thread; the destructor waits for this thread, so `this` is
        // alive when the call is queued.
        QMetaObject::invokeMethod(
            this, [this, job] { Ended(job); }, Qt::QueuedConnection);
    });
}

void TBackgroundRender::Ended(std::shared_ptr<Job> job) {
    if (job != running_) return;
    running_.reset();
    if (waiting_) {
        std::unique_ptr<Lettering> next = std::move(waiting_);
        Launch(std::move(*next));
        return;
    }
    if (!wanted_) return;
    wanted_ = false;
    images = std::move(job->images);
    notices = std::move(job->notices);
    emit finished(job->ok);
}

}  // namespace gw
