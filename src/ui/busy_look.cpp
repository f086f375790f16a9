#include "ui/busy_look.h"

#include <utility>

namespace ordinex {

bool BusyLook::Enter() {
    if (phase_ != Phase::Idle)
        return false;
    phase_ = Phase::Due;
    return true;
}

BusyLook::Parts BusyLook::ShowNow() {
    if (phase_ != Phase::Due)
        return {};
    phase_ = Phase::Shown;
    return {true, std::exchange(layoutWanted_, false), std::exchange(animationWanted_, false)};
}

bool BusyLook::AskLayout(bool busy) {
    if (busy && phase_ == Phase::Due) {
        layoutWanted_ = true;
        return false;
    }
    layoutWanted_ = false;
    // A frame that never grew is as it was.
    return busy || grown_;
}

bool BusyLook::AskAnimation() {
    if (phase_ == Phase::Due) {
        animationWanted_ = true;
        return false;
    }
    return true;
}

void BusyLook::Leave() {
    phase_ = Phase::Idle;
    layoutWanted_ = animationWanted_ = false;
}

} // namespace ordinex
