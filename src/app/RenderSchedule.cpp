#include "app/RenderSchedule.h"

#include <QTimer>

namespace gw {

struct TRenderSchedule::State {
    QTimer* timer = nullptr;
    int renderCount = 0;
    // Nested quiet writes each hold the renders back until the outermost ends.
    int quiet = 0;
    bool firstRenderDone = false;
};

TRenderSchedule::TRenderSchedule(QObject* parent)
    : QObject(parent), state_(std::make_unique<State>()) {
    setObjectName(QStringLiteral("RenderSchedule"));
    state_->timer = new QTimer(this);
    state_->timer->setObjectName(QStringLiteral("Timer1"));
    state_->timer->setInterval(1000);
    state_->timer->setSingleShot(false);
    connect(state_->timer, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

TRenderSchedule::~TRenderSchedule() = default;

void TRenderSchedule::SettingsUpdated() {
    if (state_->quiet > 0 || !Render) return;
    if (!Render()) return;
    ++state_->renderCount;
    emit rendered();
}

void TRenderSchedule::WriteQuietly(const std::function<void()>& write) {
    ++state_->quiet;
    write();
    --state_->quiet;
    StopCountdown();
}

bool TRenderSchedule::FirstRenderDone() const {
    return state_->firstRenderDone;
}

void TRenderSchedule::RenderFirstTime() {
    if (state_->firstRenderDone) return;
    state_->firstRenderDone = true;
    SettingsUpdated();
}

void TRenderSchedule::ForgetFirstRender() {
    state_->firstRenderDone = false;
}

int TRenderSchedule::renderCount() const {
    return state_->renderCount;
}

void TRenderSchedule::RestartCountdown() {
    state_->timer->stop();
    state_->timer->start();
}

void TRenderSchedule::StopCountdown() {
    state_->timer->stop();
}

void TRenderSchedule::Timer1Timer() {
    state_->timer->stop();
    SettingsUpdated();
}

}  // namespace gw
