// A number of transfers that may run at once, shared by threads: one more waits until one ends, or until it is
// told to give up.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace tessel {

class TransferGate {
public:
    explicit TransferGate(int capacity) : free_(capacity) {}

    // Holds one of the gate's transfers for its scope; none when the wait ended because giveUp became true.
    class Pass {
    public:
        Pass(TransferGate& gate, const std::atomic<bool>& giveUp);
        ~Pass();
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;
        bool held() const { return held_; }

    private:
        TransferGate& gate_;
        bool held_ = false;
    };

    // After a giveUp flag has become true: its waiting passes see it now.
    void wakeWaiting();

private:
    std::mutex mutex_;
    std::condition_variable freed_;
    int free_;
};

}  // namespace tessel
