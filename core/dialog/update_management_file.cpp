#include "dialog/update_management_file.h"

#include <optional>

#include "dialog/local_file.h"

namespace tessel {
namespace {

constexpr std::size_t kValueOffset = 4;

std::optional<std::vector<std::string>> ReadLines(std::string_view programDirectory) {
    const std::string path = PackagePath(programDirectory, kUpdateManagementFileName);
    if (path.size() > kMaxPathBytes) return std::nullopt;
    // A file that opens but cannot be read (a folder, a failing read) counts as one that cannot be opened.
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    std::string& content = *bytes;
    // Ctrl-Z ends a text file.
    if (const auto eof = content.find('\x1A'); eof != std::string::npos) content.resize(eof);

    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// A tag begins with '#', which is never the second byte of a double-byte character, so a byte search finds
// exactly the character matches.
bool HasTag(std::string_view line, std::string_view tag) { return line.find(tag) != std::string_view::npos; }

std::string_view ValueOf(std::string_view line) {
    return line.size() > kValueOffset ? line.substr(kValueOffset) : std::string_view{};
}

bool IsMove(std::string_view value) {
    if (value.size() != 4) return false;
    std::string upper(value);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper == "MOVE";
}

bool IsScanfSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The line read with the pattern "#M# %x": the tag first, any white space, then a hexadecimal number with an
// optional 0x. Digits beyond 32 bits drop out at the top, as only the lowest bits are kept.
std::optional<std::uint32_t> ParseKeyLine(std::string_view line) {
    if (!line.starts_with("#M#")) return std::nullopt;
    std::size_t pos = 3;
    while (pos < line.size() && IsScanfSpace(line[pos])) ++pos;
    if (line.substr(pos).starts_with("0x") || line.substr(pos).starts_with("0X")) {
        // "0x" without a hexadecimal digit after it still reads as the number 0.
        if (pos + 2 >= line.size() || HexDigit(line[pos + 2]) < 0) return 0;
        pos += 2;
    }
    if (pos >= line.size() || HexDigit(line[pos]) < 0) return std::nullopt;
    std::uint32_t value = 0;
    for (; pos < line.size() && HexDigit(line[pos]) >= 0; ++pos) {
        value = (value << 4) | static_cast<std::uint32_t>(HexDigit(line[pos]));
    }
    return value;
}

// Commas are never the second byte of a double-byte character, so byte positions are character positions.
UpdateFileEntry SplitEntryLine(std::string_view line) {
    const std::size_t length = line.size();
    const std::size_t c1 = line.find(',');
    std::size_t c2 = std::string_view::npos;
    if (c1 != std::string_view::npos && c1 + 1 < length) c2 = line.find(',', c1 + 1);

    UpdateFileEntry entry;
    if (c1 != std::string_view::npos && c1 >= 5) entry.scrambledName = line.substr(kValueOffset, c1 - kValueOffset);
    if (c2 != std::string_view::npos) {
        entry.plainName = line.substr(c1 + 1, c2 - c1 - 1);
        entry.devicePath = line.substr(c2 + 1);
    } else {
        entry.devicePath = line;
    }
    return entry;
}

bool FitsLimits(std::string_view programDirectory, const UpdateFileEntry& entry) {
    return entry.devicePath.size() <= kMaxPathBytes &&
           PackagePath(programDirectory, entry.scrambledName).size() <= kMaxPathBytes &&
           PackagePath(programDirectory, entry.plainName).size() <= kMaxPathBytes;
}

}  // namespace

std::string PackagePath(std::string_view programDirectory, std::string_view fileName) {
    std::string path(programDirectory);
    path += '/';
    path += fileName;
    return path;
}

bool ReadUpdateHeader(std::string_view programDirectory, UpdateHeader& header) {
    header = UpdateHeader{};
    const auto lines = ReadLines(programDirectory);
    if (!lines) return false;
    for (const std::string& line : *lines) {
        if (HasTag(line, "#T#")) {
            header.caption = std::string(ValueOf(line));
        } else if (HasTag(line, "#F#")) {
            header.firmwareVersion = std::string(ValueOf(line));
        } else if (HasTag(line, "#S#")) {
            header.scriptVersion = std::string(ValueOf(line));
        } else if (HasTag(line, "#A#")) {
            header.moveFlag = IsMove(ValueOf(line)) ? 1 : 0;
        }
    }
    return true;
}

int ReadUpdateFileList(std::string_view programDirectory, std::vector<UpdateFileEntry>& list,
                       std::uint8_t& scrambleKey) {
    const auto lines = ReadLines(programDirectory);
    if (!lines) return -1;
    std::vector<UpdateFileEntry> entries;
    std::uint8_t key = scrambleKey;
    for (const std::string& line : *lines) {
        if (HasTag(line, "#M#")) {
            if (const auto value = ParseKeyLine(line)) key = static_cast<std::uint8_t>(*value & 0xFF);
        }
        if (HasTag(line, "#L#")) {
            UpdateFileEntry entry = SplitEntryLine(line);
            if (!FitsLimits(programDirectory, entry)) return -1;
            entries.push_back(std::move(entry));
        }
    }
    list = std::move(entries);
    scrambleKey = key;
    return 0;
}

}  // namespace tessel
