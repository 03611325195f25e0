#include "sim_scheduler.h"

#include <algorithm>

namespace tessel::sim {

SimScheduler::EventId SimScheduler::schedule(Millis delay, std::function<void()> action) {
    const EventId id = nextId_++;
    const Millis due = now_ + std::max<Millis>(delay, 0);
    queue_.emplace(std::make_pair(due, id), std::move(action));
    due_.emplace(id, due);
    return id;
}

void SimScheduler::cancel(EventId id) {
    const auto found = due_.find(id);
    if (found == due_.end()) return;
    queue_.erase(std::make_pair(found->second, id));
    due_.erase(found);
}

bool SimScheduler::runNext() {
    if (queue_.empty()) return false;
    auto first = queue_.begin();
    const auto [due, id] = first->first;
    std::function<void()> action = std::move(first->second);
    queue_.erase(first);
    due_.erase(id);
    now_ = std::max(now_, due);
    action();
    if (afterEachEvent) afterEachEvent();
    return true;
}

void SimScheduler::runUntil(Millis time) {
    while (!queue_.empty() && queue_.begin()->first.first <= time) runNext();
    now_ = std::max(now_, time);
}

bool SimScheduler::runUntilIdle(std::size_t maxEvents) {
    for (std::size_t i = 0; i < maxEvents; ++i) {
        if (!runNext()) return true;
    }
    return queue_.empty();
}

}  // namespace tessel::sim
