#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessel {

// A device whose autoscript an update has moved aside and not yet restored.
struct JournalEntry {
    std::string address;  // code page 932 bytes, as typed (the record is kept under the device's address)
    std::uint16_t ftpPort = 21;
    std::uint16_t consolePort = 8002;
    std::string started;  // UTC, ISO 8601
    std::string package;
};

// The record of updates that could leave a device without its autoscript: one small file per device (by the
// device's address in one spelling, and the console port), written atomically right before the move-aside
// runs on the device and removed once the restore has ended. A journal without a folder records nothing.
class InterruptionJournal {
public:
    InterruptionJournal() = default;
    explicit InterruptionJournal(std::string folder) : folder_(std::move(folder)) {}

    bool enabled() const { return !folder_.empty(); }
    std::string pathFor(const std::string& deviceAddress, std::uint16_t consolePort) const;
    // False when the entry cannot be written; the folder is made (owner-only) when missing.
    bool record(const std::string& deviceAddress, const JournalEntry& entry) const;
    // Why the journal cannot be trusted for the device, in a few words; empty when it can: its folder is the
    // user's own (made when missing), and the device's entry is either not there or a file that reads as one.
    std::string problem(const std::string& deviceAddress, std::uint16_t consolePort) const;
    // The entry of the device, when one is recorded and reads as one.
    std::optional<JournalEntry> find(const std::string& deviceAddress, std::uint16_t consolePort) const;
    void remove(const std::string& deviceAddress, std::uint16_t consolePort) const;

private:
    std::string folder_;
};

// The state folder of the platform ($XDG_STATE_HOME/tessel, else ~/.local/state/tessel; on Windows
// %LOCALAPPDATA%\Tessel); empty when it cannot be told.
std::string DefaultJournalFolder();

// Now, as the journal writes it.
std::string JournalTimeNow();

}  // namespace tessel
