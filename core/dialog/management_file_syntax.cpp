#include "dialog/management_file_syntax.h"

#include <string>

#include "dialog/cp932.h"

namespace tessel {
namespace {

bool IsScanfSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::vector<std::string_view> SplitManagementLines(std::string_view content) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(start, end - start);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// A tag begins with '#', which is never the second byte of a double-byte character, so a byte search finds
// exactly the character matches.
bool HasTag(std::string_view line, std::string_view tag) { return line.find(tag) != std::string_view::npos; }

std::string_view TagValue(std::string_view line) {
    return line.size() > kTagValueOffset ? line.substr(kTagValueOffset) : std::string_view{};
}

bool IsMoveAction(std::string_view value) {
    if (value.size() != 4) return false;
    std::string upper(value);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper == "MOVE";
}

// Any white space, then a hexadecimal number with an optional 0x. Digits beyond 32 bits drop out at the top,
// as only the lowest bits are kept.
std::optional<std::uint32_t> ParseKeyLine(std::string_view line) {
    if (!line.starts_with(kKeyTag)) return std::nullopt;
    std::size_t pos = kKeyTag.size();
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
    if (c1 != std::string_view::npos && c1 > kTagValueOffset) {
        entry.scrambledName = line.substr(kTagValueOffset, c1 - kTagValueOffset);
    }
    if (c2 != std::string_view::npos) {
        entry.plainName = line.substr(c1 + 1, c2 - c1 - 1);
        entry.devicePath = line.substr(c2 + 1);
    } else {
        entry.devicePath = line;
    }
    return entry;
}

// A double-byte character's second byte may be 0x5C, which is no backslash there.
bool IsPlainFileName(std::string_view name) {
    // "." names the folder itself: the update would get as far as the device before the copy failed.
    if (name == "." || name.find("..") != std::string_view::npos) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (IsCp932LeadByte(byte) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (byte < 0x20 || byte == 0x7F || byte == '/' || byte == '\\') return false;
    }
    return true;
}

bool HasByteOrderMark(std::string_view content) {
    for (const std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        if (content.starts_with(mark)) return true;
    }
    return false;
}

}  // namespace tessel
