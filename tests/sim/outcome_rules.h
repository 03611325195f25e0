#pragma once

#include <cstddef>
#include <string>

#include "sim_world.h"

namespace tessel::sim {

// What an update's reported outcome must agree with: it comes once, tells what the operator saw at that
// moment, and nothing reaches the device after it. Each check returns the first broken rule, or an empty text.
class OutcomeRules {
public:
    explicit OutcomeRules(const SimWorld& world) : world_(world) {}

    std::string atReport(const UpdateOutcome& outcome) {
        sentAtEnd_ = world_.network.allSent().size();
        uploadsAtEnd_ = world_.uploader.uploads.size();
        if (world_.observer.outcomes.size() > 1) return "a second outcome";
        if (!outcome.finalMessage || outcome.finalMessage->text != world_.lastBox()) {
            return "the outcome's message is not the last box";
        }
        if (outcome.statusLine != world_.status()) return "the outcome's status line is not the window's";
        return {};
    }

    // Once the world has settled.
    std::string atEnd() const {
        if (world_.observer.outcomes.size() != 1) return "the update did not report exactly one outcome";
        if (world_.network.allSent().size() != sentAtEnd_ || world_.uploader.uploads.size() != uploadsAtEnd_) {
            return "the device was reached after the update ended";
        }
        return {};
    }

private:
    const SimWorld& world_;
    std::size_t sentAtEnd_ = 0;
    std::size_t uploadsAtEnd_ = 0;
};

}  // namespace tessel::sim
