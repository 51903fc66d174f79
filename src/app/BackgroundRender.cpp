#include "app/BackgroundRender.h"

#include <new>
#include <thread>
#include <utility>

#include "platform/AllocationLimit.h"

namespace gw {

struct TBackgroundRender::Job {
    Lettering lettering;
    RenderImages images;
    std::vector<Notice> notices;
    bool ok = false;
};

struct TBackgroundRender::State {
    std::thread thread;
    std::shared_ptr<Job> running;
    std::unique_ptr<Lettering> waiting;
    // The picture of the newest request is still to be shown.
    bool wanted = false;
};

TBackgroundRender::TBackgroundRender(QObject* parent)
    : QObject(parent), state_(std::make_unique<State>()) {}

bool TBackgroundRender::Busy() const {
    return state_->wanted;
}

TBackgroundRender::~TBackgroundRender() {
    if (state_->thread.joinable()) state_->thread.join();
}

void TBackgroundRender::Start(const Lettering& lettering) {
    state_->wanted = true;
    if (state_->running) {
        state_->waiting = std::make_unique<Lettering>(RenderSnapshot(lettering));
        return;
    }
    Launch(RenderSnapshot(lettering));
}

void TBackgroundRender::Cancel() {
    state_->wanted = false;
    state_->waiting.reset();
}

void TBackgroundRender::Launch(Lettering snapshot) {
    if (state_->thread.joinable()) state_->thread.join();
    auto job = std::make_shared<Job>();
    job->lettering = std::move(snapshot);
    state_->running = job;
    state_->thread = std::thread([this, job] {
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
    if (job != state_->running) return;
    state_->running.reset();
    if (state_->waiting) {
        std::unique_ptr<Lettering> next = std::move(state_->waiting);
        Launch(std::move(*next));
        return;
    }
    if (!state_->wanted) return;
    state_->wanted = false;
    images = std::move(job->images);
    notices = std::move(job->notices);
    emit finished(job->ok);
}

}  // namespace gw
