#include "render/PlainStages.h"

#include <atomic>

namespace gw {

namespace {
std::atomic<bool> plainStages{false};
}  // namespace

bool PlainStagesOn() {
    return plainStages.load(std::memory_order_relaxed);
}

PlainStagesScope::PlainStagesScope() : before_(plainStages.exchange(true)) {}

PlainStagesScope::~PlainStagesScope() {
    plainStages.store(before_);
}

}  // namespace gw
