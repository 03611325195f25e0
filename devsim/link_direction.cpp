#include "devsim/link_direction.h"

#include <algorithm>

namespace tessel::devsim {

namespace {

constexpr qint64 kNsPerMs = 1'000'000;

}  // namespace

LinkDirection::LinkDirection(const LinkSettings& link, Deliver deliver, QObject* parent)
    : QObject(parent), link_(link), deliver_(std::move(deliver)) {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &LinkDirection::DeliverDue);
}

void LinkDirection::HoldFor(int ms) { holdUntilNs_ = clock_.nsecsElapsed() + ms * kNsPerMs; }

void LinkDirection::Send(const QByteArray& bytes, std::function<void()> then) {
    if (!link_.Shaped()) {
        if (!bytes.isEmpty()) deliver_(bytes);
        if (then) then();
        return;
    }
    const qint64 now = clock_.nsecsElapsed();
    // bits / (kbit/s * 1000) seconds, in nanoseconds.
    const qint64 onTheLine = link_.rateKbit > 0 ? bytes.size() * 8'000'000LL / link_.rateKbit : 0;
    lineFreeNs_ = std::max(now, lineFreeNs_) + onTheLine;
    const qint64 due = std::max(lineFreeNs_ + link_.delayMs * kNsPerMs, holdUntilNs_);
    inFlight_.push_back({due, bytes, std::move(then)});
    if (!timer_.isActive()) ArmTimer();
}

void LinkDirection::Clear() {
    timer_.stop();
    inFlight_.clear();
}

void LinkDirection::ArmTimer() {
    if (inFlight_.empty()) return;
    const qint64 waitNs = inFlight_.front().dueNs - clock_.nsecsElapsed();
    timer_.start(static_cast<int>(std::max<qint64>(0, (waitNs + kNsPerMs - 1) / kNsPerMs)));
}

void LinkDirection::DeliverDue() {
    while (!inFlight_.empty() && inFlight_.front().dueNs <= clock_.nsecsElapsed()) {
        InFlight due = std::move(inFlight_.front());
        inFlight_.pop_front();
        if (!due.bytes.isEmpty()) deliver_(due.bytes);
        if (due.then) due.then();
    }
    ArmTimer();
}

}  // namespace tessel::devsim
