#include "procedures/interruption_journal.h"

#include <cstdlib>
#include <string_view>

#include "dialog/local_file.h"
#include "platform/os/clock.h"
#include "platform/os/files.h"
#include "platform/os/folders.h"
#include "platform/os/process.h"

namespace tessel {
namespace {

constexpr std::size_t kMaxEntryBytes = 16 * 1024;

// A value may not break its line.
std::string OneLine(const std::string& value) {
    std::string line;
    for (const char c : value) line += (c == '\n' || c == '\r') ? ' ' : c;
    return line;
}

}  // namespace

std::string InterruptionJournal::pathFor(const std::string& deviceAddress, std::uint16_t consolePort) const {
    return os::JoinPath(folder_, SafeFileName(deviceAddress) + "_" + std::to_string(consolePort) + ".entry");
}

std::string InterruptionJournal::problem(const std::string& deviceAddress, std::uint16_t consolePort) const {
    if (!enabled()) return {};
    std::string why;
    if (!os::MakeOwnFolder(folder_, why)) return "the folder " + folder_ + " cannot be used: " + why;
    const std::string path = pathFor(deviceAddress, consolePort);
    if (!os::PathExists(path)) return {};
    if (os::IsLinkOrSpecialFile(path)) return "the record " + path + " is a link, a folder or a special file";
    if (!ReadFileBytes(path, kMaxEntryBytes)) return "the record " + path + " cannot be read or is too large";
    return {};
}

bool InterruptionJournal::record(const std::string& deviceAddress, const JournalEntry& entry) const {
    std::string why;
    if (!enabled() || !os::MakeOwnFolder(folder_, why)) return false;
    const std::string text = "address=" + OneLine(entry.address) + "\nftp_port=" + std::to_string(entry.ftpPort) +
                             "\nconsole_port=" + std::to_string(entry.consolePort) +
                             "\nstarted=" + OneLine(entry.started) + "\npackage=" + OneLine(entry.package) + "\n";
    const std::string path = pathFor(deviceAddress, entry.consolePort);
    // Written whole under a name of its own (of this process and thread), then put in place: a reader never
    // sees half an entry.
    const std::string staging = path + ".new-" + os::ProcessThreadTag();
    os::RemoveFile(staging);
    if (!WriteNewFile(staging, text)) return false;
    if (os::ReplaceFileAtomically(staging, path)) return true;
    os::RemoveFile(staging);
    return false;
}

std::optional<JournalEntry> InterruptionJournal::find(const std::string& deviceAddress, std::uint16_t consolePort) const {
    std::string why;
    if (!enabled() || !os::MakeOwnFolder(folder_, why)) return std::nullopt;
    const std::optional<std::string> text = ReadFileBytes(pathFor(deviceAddress, consolePort), kMaxEntryBytes);
    if (!text) return std::nullopt;
    JournalEntry entry;
    entry.address = deviceAddress;
    entry.consolePort = consolePort;
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find('\n', start);
        if (end == std::string::npos) end = text->size();
        const std::string_view line(text->data() + start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos) {
            const std::string_view key = line.substr(0, equals);
            const std::string value(line.substr(equals + 1));
            if (key == "address") entry.address = value;
            if (key == "started") entry.started = value;
            if (key == "package") entry.package = value;
            if (key == "ftp_port") entry.ftpPort = static_cast<std::uint16_t>(std::strtoul(value.c_str(), nullptr, 10));
        }
        start = end + 1;
    }
    return entry;
}

void InterruptionJournal::remove(const std::string& deviceAddress, std::uint16_t consolePort) const {
    if (enabled()) os::RemoveFile(pathFor(deviceAddress, consolePort));
}

std::string DefaultJournalFolder() { return os::StateFolder(); }

std::string JournalTimeNow() { return os::UtcNowIso8601(); }

}  // namespace tessel
