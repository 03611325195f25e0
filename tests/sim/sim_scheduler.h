#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace tessel::sim {

using Millis = std::int64_t;

// A virtual clock with a queue of events. Time moves only when the harness runs events or when the simulated
// thread blocks (advance); nothing sleeps for real.
class SimScheduler {
public:
    using EventId = std::uint64_t;

    Millis now() const { return now_; }
    EventId schedule(Millis delay, std::function<void()> action);
    void cancel(EventId id);
    bool isPending(EventId id) const { return due_.contains(id); }
    Millis dueTime(EventId id) const { return due_.at(id); }
    std::size_t pendingCount() const { return queue_.size(); }

    // Runs the earliest event, moving the clock forward to it when it lies ahead. False when none is left.
    bool runNext();
    // Runs every event due by the given time (also those they schedule by then), then sets the clock to it.
    void runUntil(Millis time);
    void runFor(Millis duration) { runUntil(now_ + duration); }
    // Runs events until none is left; false when maxEvents were not enough.
    bool runUntilIdle(std::size_t maxEvents);
    // The simulated thread blocks: the clock moves on, but what falls due waits until the thread is back.
    void advance(Millis duration) { now_ += duration; }

    // Called after every event the harness runs, for checks of invariants.
    std::function<void()> afterEachEvent;

private:
    Millis now_ = 0;
    EventId nextId_ = 1;
    std::map<std::pair<Millis, EventId>, std::function<void()>> queue_;
    std::map<EventId, Millis> due_;
};

}  // namespace tessel::sim
