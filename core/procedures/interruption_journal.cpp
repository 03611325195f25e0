#include "procedures/interruption_journal.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include "dialog/local_file.h"

namespace tessel {
namespace {

constexpr std::size_t kMaxEntryBytes = 16 * 1024;

// A value may not break its line.
std::string OneLine(const std::string& value) {
    std::string line;
    for (const char c : value) line += (c == '\n' || c == '\r') ? ' ' : c;
    return line;
}

bool MakeFolders(const std::string& folder) {
    for (std::size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (at == std::string::npos) return true;
    }
}

}  // namespace

std::string InterruptionJournal::pathFor(const std::string& address, std::uint16_t consolePort) const {
    return folder_ + "/" + SafeFileName(address) + "_" + std::to_string(consolePort) + ".entry";
}

bool InterruptionJournal::record(const JournalEntry& entry) const {
    if (!enabled() || !MakeFolders(folder_)) return false;
    const std::string text = "address=" + OneLine(entry.address) + "\nftp_port=" + std::to_string(entry.ftpPort) +
                             "\nconsole_port=" + std::to_string(entry.consolePort) +
                             "\nstarted=" + OneLine(entry.started) + "\npackage=" + OneLine(entry.package) + "\n";
    const std::string path = pathFor(entry.address, entry.consolePort);
    // Written whole under a name of its own (of this process and thread), then put in place: a reader never
    // sees half an entry.
    const std::string staging = path + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(::gettid());
    ::unlink(staging.c_str());
    if (!WriteNewFile(staging, text)) return false;
    if (std::rename(staging.c_str(), path.c_str()) == 0) return true;
    ::unlink(staging.c_str());
    return false;
}

std::optional<JournalEntry> InterruptionJournal::find(const std::string& address, std::uint16_t consolePort) const {
    if (!enabled()) return std::nullopt;
    const std::optional<std::string> text = ReadFileBytes(pathFor(address, consolePort), kMaxEntryBytes);
    if (!text) return std::nullopt;
    JournalEntry entry;
    entry.address = address;
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
            if (key == "started") entry.started = value;
            if (key == "package") entry.package = value;
            if (key == "ftp_port") entry.ftpPort = static_cast<std::uint16_t>(std::strtoul(value.c_str(), nullptr, 10));
        }
        start = end + 1;
    }
    return entry;
}

void InterruptionJournal::remove(const std::string& address, std::uint16_t consolePort) const {
    if (enabled()) ::unlink(pathFor(address, consolePort).c_str());
}

std::string DefaultJournalFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/tessel";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/tessel";
    return {};
}

std::string JournalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace tessel
