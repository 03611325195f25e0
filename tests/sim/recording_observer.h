#pragma once

#include <functional>
#include <vector>

#include "platform/update_observer.h"

namespace tessel::sim {

// Keeps every outcome the dialog reports, in order.
class RecordingObserver final : public UpdateObserver {
public:
    void updateEnded(const UpdateOutcome& outcome) override {
        outcomes.push_back(outcome);
        if (onEnded) onEnded(outcome);
    }

    std::vector<UpdateOutcome> outcomes;
    // Runs at each report, while the dialog is as it was when the update ended.
    std::function<void(const UpdateOutcome&)> onEnded;
};

}  // namespace tessel::sim
