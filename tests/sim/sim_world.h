#pragma once

#include <cstdint>
#include <string>

#include "dialog/control_ids.h"
#include "recording_host.h"
#include "recording_observer.h"
#include "recording_uploader.h"
#include "scripted_device.h"
#include "sim_dialog.h"
#include "sim_network.h"
#include "sim_package.h"
#include "sim_scheduler.h"

namespace tessel::sim {

// One dialog, its window, its update package, the network and the device, all on one virtual clock. The
// dialog is initialised from the package as at start-up, and the operator has typed the device's login.
struct SimWorld {
    explicit SimWorld(std::uint64_t seed = 1) : device(network, seed) {
        dialog.InitDialog(package.dir());
        host.setControlText(kLoginIdEdit, device.loginId);
        host.setControlText(kPasswordEdit, device.password);
    }

    bool buttonsEnabled() const { return host.isEnabled(kFirmwareButton) && host.isEnabled(kScriptButton); }
    bool buttonsDisabled() const {
        return !host.isEnabled(kFirmwareButton) && !host.isEnabled(kScriptButton);
    }
    std::string status() const { return host.controlText(kStatusLine); }
    std::string lastBox() const { return host.boxes.empty() ? std::string{} : host.boxes.back().text; }
    // Runs until nothing is left to happen; false when the bound was not enough.
    bool settle(std::size_t maxEvents = 100000) { return scheduler.runUntilIdle(maxEvents); }
    // Runs events until the condition holds; false when nothing is left to run or the bound is reached.
    template <typename Condition>
    bool runUntil(Condition condition, std::size_t maxEvents = 100000) {
        for (std::size_t i = 0; i < maxEvents && !condition(); ++i) {
            if (!scheduler.runNext()) break;
        }
        return condition();
    }
    // The last outcome the dialog reported, or null before the first.
    const UpdateOutcome* outcome() const { return observer.outcomes.empty() ? nullptr : &observer.outcomes.back(); }
    bool succeeded() const { return outcome() != nullptr && outcome()->succeeded; }
    // Opens the console in the given mode and lets the connect and the device's greeting arrive at a step
    // without a handler, then forgets what was recorded: later events reach the controller only when a test
    // sends them.
    bool connectIn(UpdateMode mode) {
        constexpr std::int32_t kNoHandlerStep = 9;
        if (!dialog.ValidateInput()) return false;
        dialog.setMode(mode);
        if (!dialog.OpenConsole()) return false;
        dialog.setStep(kNoHandlerStep);
        if (!settle() || !dialog.consoleOpen()) return false;
        dialog.calls.clear();
        host.boxes.clear();
        host.statusHistory.clear();
        return true;
    }

    SimPackage package;
    SimScheduler scheduler;
    RecordingHost host{scheduler};
    SimNetwork network{scheduler};
    ScriptedDevice device;
    RecordingUploader uploader;
    RecordingObserver observer;
    SimDialog dialog{{host, host, host, network, uploader, observer}};
};

}  // namespace tessel::sim
