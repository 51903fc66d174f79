#include "app/RenderSchedule.h"

#include <QTimer>

namespace gw {

TRenderSchedule::TRenderSchedule(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("RenderSchedule"));
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(1000);
    timer_->setSingleShot(false);
    connect(timer_, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

void TRenderSchedule::SettingsUpdated() {
    if (SuppressRender || !Render) return;
    if (!Render()) return;
    ++renderCount_;
    emit rendered();
}

void TRenderSchedule::RestartCountdown() {
    timer_->stop();
    timer_->start();
}

void TRenderSchedule::StopCountdown() {
    timer_->stop();
}

void TRenderSchedule::Timer1Timer() {
    if (LoadingSettings) return;
    timer_->stop();
    SettingsUpdated();
}

}  // namespace gw
