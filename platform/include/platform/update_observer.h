#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_host.h"

namespace tessel {

// The chain of procedures that one update button (or command) starts: an update, the query of the
// device's firmware version alone, or the autoscript restore alone.
enum class UpdateProcedure { Firmware, Script, VersionQuery, AutoscriptRestore };

// The autoscript restore that follows a script transfer with the move flag.
enum class RestoreResult {
    NotRun,
    // It ran through to the device's restart and reconnection.
    Completed,
    // It started but ended early: its upload, connection or console exchange failed.
    Failed,
};

struct ShownMessage {
    std::string text;  // UTF-8
    MessageIcon icon = MessageIcon::Warning;
};

// How an update ended.
struct UpdateOutcome {
    UpdateProcedure procedure = UpdateProcedure::Firmware;
    bool succeeded = false;
    // The last message box of the update; none when it ended without one.
    std::optional<ShownMessage> finalMessage;
    // The status line at the end, UTF-8.
    std::string statusLine;
    // Firmware passes started: 0 when the update ended before its first upload, at most 2.
    int firmwarePasses = 0;
    // The version text the device's version query gave in each pass that got that far, as the device sent
    // it (code page 932 bytes).
    std::vector<std::string> firmwareVersions;
    RestoreResult restore = RestoreResult::NotRun;
    // What a front end without the operator's eyes on the package adds to the final message: the file, and
    // the line of the management file, that made the update fail. UTF-8; empty when there is nothing to add.
    std::string detail;
};

// Told when an update has ended: nothing that could still change the device is pending. Every press of an
// update button ends in exactly one call, a press that input checks refuse included.
class UpdateObserver {
public:
    virtual ~UpdateObserver() = default;
    virtual void updateEnded(const UpdateOutcome& outcome) = 0;
};

}  // namespace tessel
