#include "dialog/update_management_file.h"

#include <optional>

#include "dialog/cp932.h"
#include "dialog/local_file.h"

namespace tessel {
namespace {

constexpr std::size_t kValueOffset = 4;

// The file's bytes up to a Ctrl-Z, which ends a text file.
std::optional<std::string> ReadContent(std::string_view programDirectory) {
    const std::string path = PackagePath(programDirectory, kUpdateManagementFileName);
    if (path.size() > kMaxPathBytes) return std::nullopt;
    // A file that opens but cannot be read (a folder, a failing read) counts as one that cannot be opened.
    std::optional<std::string> content = ReadFileBytes(path, kMaxManagementFileBytes);
    if (!content) return std::nullopt;
    if (const auto eof = content->find('\x1A'); eof != std::string::npos) content->resize(eof);
    return content;
}

// Views into content, which must outlive them.
std::vector<std::string_view> SplitLines(std::string_view content) {
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

// A UTF-8 or UTF-16 file is not code page 932 text: its tags would be missed or its names mangled.
std::optional<std::string> ForeignEncoding(std::string_view content) {
    for (const std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        if (content.starts_with(mark)) return "starts with a byte-order mark: it must be code page 932 text";
    }
    return std::nullopt;
}

// A scrambled or plain name names a file of the package folder or the work folder itself, never a path. A
// double-byte character's second byte may be 0x5C, which is no backslash there.
bool IsPlainFileName(std::string_view name) {
    if (name.find("..") != std::string_view::npos) return false;
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

std::string Quoted(std::string_view name) { return "\"" + Cp932ToUtf8(name) + "\""; }

// What is wrong with an entry, or nullopt.
std::optional<std::string> EntryFault(std::string_view programDirectory, const UpdateFileEntry& entry) {
    if (entry.devicePath.size() > kMaxPathBytes) return "the device path is longer than 259 bytes";
    for (const std::string_view name : {std::string_view(entry.scrambledName), std::string_view(entry.plainName)}) {
        if (PackagePath(programDirectory, name).size() > kMaxPathBytes) {
            return "the path of " + Quoted(name) + " is longer than 259 bytes";
        }
        if (!IsPlainFileName(name)) return Quoted(name) + " is not a plain file name";
    }
    return std::nullopt;
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

}  // namespace

std::string PackagePath(std::string_view programDirectory, std::string_view fileName) {
    std::string path(programDirectory);
    path += '/';
    path += fileName;
    return path;
}

bool ReadUpdateHeader(std::string_view programDirectory, UpdateHeader& header) {
    header = UpdateHeader{};
    const std::optional<std::string> content = ReadContent(programDirectory);
    if (!content) return false;
    for (const std::string_view line : SplitLines(*content)) {
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

int ReadUpdateFileList(std::string_view programDirectory, std::vector<UpdateFileEntry>& list, std::uint8_t& scrambleKey,
                       ManagementFileFault* fault) {
    auto refuse = [fault](std::size_t line, std::string reason) {
        if (fault != nullptr) *fault = ManagementFileFault{line, std::move(reason)};
        return -1;
    };
    const std::optional<std::string> content = ReadContent(programDirectory);
    if (!content) return refuse(0, "cannot be read: missing, not a regular file, or larger than 1 MiB");
    if (const auto foreign = ForeignEncoding(*content)) return refuse(1, *foreign);
    const std::vector<std::string_view> lines = SplitLines(*content);
    std::vector<UpdateFileEntry> entries;
    std::optional<std::uint8_t> key;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.find('\0') != std::string_view::npos) {
            return refuse(i + 1, "holds a NUL byte: it must be code page 932 text, not UTF-16");
        }
        if (HasTag(line, "#M#")) {
            if (const auto value = ParseKeyLine(line)) key = static_cast<std::uint8_t>(*value & 0xFF);
        }
        if (HasTag(line, "#L#")) {
            if (entries.size() == kMaxListedFiles) return refuse(i + 1, "lists more than 1000 files");
            UpdateFileEntry entry = SplitEntryLine(line);
            if (const auto reason = EntryFault(programDirectory, entry)) return refuse(i + 1, *reason);
            entries.push_back(std::move(entry));
        }
    }
    // Without its key the scrambled bytes themselves would be installed as the device's files.
    if (!entries.empty() && !key) return refuse(0, "lists files but has no #M# key line that parses");
    list = std::move(entries);
    if (key) scrambleKey = *key;
    return 0;
}

}  // namespace tessel
