#include "platform/skiffs/transfer_gate.h"

namespace tessel {

TransferGate::Pass::Pass(TransferGate& gate, const std::atomic<bool>& giveUp) : gate_(gate) {
    std::unique_lock lock(gate_.mutex_);
    gate_.freed_.wait(lock, [&] { return gate_.free_ > 0 || giveUp; });
    held_ = !giveUp;
    if (held_) --gate_.free_;
    // A transfer freed while this one gave up belongs to the next waiter.
    else if (gate_.free_ > 0) gate_.freed_.notify_one();
}

TransferGate::Pass::~Pass() {
    if (!held_) return;
    {
        std::lock_guard lock(gate_.mutex_);
        ++gate_.free_;
    }
    // One transfer ended: one waiter can have it; waking them all would set hundreds of threads racing for it.
    gate_.freed_.notify_one();
}

void TransferGate::wakeWaiting() {
    // Taking the lock first means that no waiter is between its check and its wait.
    { std::lock_guard lock(mutex_); }
    freed_.notify_all();
}

}  // namespace tessel
