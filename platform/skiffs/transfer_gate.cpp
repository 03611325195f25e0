#include "platform/skiffs/transfer_gate.h"

namespace tessel {

TransferGate::Pass::Pass(TransferGate& gate, const std::atomic<bool>& giveUp) : gate_(gate) {
    std::unique_lock lock(gate_.mutex_);
    gate_.freed_.wait(lock, [&] { return gate_.free_ > 0 || giveUp; });
    held_ = !giveUp;
    if (held_) --gate_.free_;
}

TransferGate::Pass::~Pass() {
    if (!held_) return;
    {
        std::lock_guard lock(gate_.mutex_);
        ++gate_.free_;
    }
    gate_.freed_.notify_all();
}

void TransferGate::wakeWaiting() {
    // Taking the lock first means that no waiter is between its check and its wait.
    { std::lock_guard lock(mutex_); }
    freed_.notify_all();
}

}  // namespace tessel
