#include "pack/management_file_check.h"

#include <array>
#include <cstdio>
#include <map>
#include <optional>

#include "dialog/cp932.h"
#include "dialog/local_file.h"
#include "dialog/management_file_syntax.h"
#include "pack/file_probe.h"

namespace tessel::pack {
namespace {

const std::string kFile(kUpdateManagementFileName);

// The tags of the header in the order the header reader tries them: the first one a line holds decides.
constexpr std::array<std::string_view, 4> kHeaderTags = {kCaptionTag, kFirmwareVersionTag, kScriptVersionTag,
                                                         kActionTag};

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

class LineChecker {
public:
    explicit LineChecker(Findings& findings) : findings_(findings) {}

    void check(std::string_view line, std::size_t number) {
        if (line.find('\0') != std::string_view::npos) {
            findings_.error(kFile, number, "holds a NUL byte: the file must be code page 932 text, not UTF-16");
            return;
        }
        if (!IsCp932Text(line)) findings_.error(kFile, number, "holds bytes that are not code page 932 text");
        for (const std::string_view tag : kHeaderTags) {
            if (HasTag(line, tag)) {
                checkHeaderLine(line, number, tag);
                break;
            }
        }
        if (HasTag(line, kKeyTag)) checkKeyLine(line, number);
        if (HasTag(line, kEntryTag)) {
            if (entries_.size() == kMaxListedFiles) {
                findings_.error(kFile, number, "lists more than " + std::to_string(kMaxListedFiles) + " files");
            }
            if (entries_.size() < kMaxListedFiles)
                entries_.push_back({SplitEntryLine(line), std::string(line), number});
            ++entryLines_;
        }
    }

    void finish() {
        // Without its key the scrambled bytes themselves would be installed as the device's files.
        if (entryLines_ > 0 && !keyLine_) {
            findings_.error(kFile, 0, "lists files but has no #M# key line that parses");
        }
    }

    std::vector<ListedEntry> takeEntries() { return std::move(entries_); }

private:
    void checkHeaderLine(std::string_view line, std::size_t number, std::string_view tag) {
        const std::string name(tag);
        if (!line.starts_with(tag)) {
            findings_.warning(kFile, number,
                              "the tag " + name + " does not begin the line: its value is read from byte 4 on");
        } else if (line.size() > tag.size() && line[tag.size()] != ' ') {
            findings_.warning(kFile, number, "no blank after " + name + ": the value loses its first character");
        }
        if (const auto earlier = headerLines_.find(name); earlier != headerLines_.end()) {
            findings_.warning(kFile, number,
                              "replaces the " + name + " value of line " + std::to_string(earlier->second));
        }
        headerLines_[name] = number;
        const std::string_view value = TagValue(line);
        if (tag == kActionTag && !IsMoveAction(value)) {
            findings_.warning(kFile, number, "the action " + Quoted(value) + " is not MOVE: it clears the move flag");
        }
    }

    void checkKeyLine(std::string_view line, std::size_t number) {
        const std::optional<std::uint32_t> value = ParseKeyLine(line);
        if (!value) {
            findings_.error(kFile, number,
                            "the key line does not parse: it must begin with #M# and a hexadecimal number");
            return;
        }
        if (*value > 0xFF) {
            findings_.warning(kFile, number,
                              "the key " + Hex(*value) + " is larger than FF: only its lowest 8 bits, " +
                                  Hex(*value & 0xFF) + ", are used");
        }
        if (keyLine_) {
            findings_.warning(kFile, number, "replaces the key of line " + std::to_string(*keyLine_));
        }
        keyLine_ = number;
    }

    Findings& findings_;
    std::map<std::string, std::size_t> headerLines_;
    std::optional<std::size_t> keyLine_;
    std::vector<ListedEntry> entries_;
    std::size_t entryLines_ = 0;
};

// The number of the line that holds the byte at offset.
std::size_t LineOf(std::string_view content, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset; ++i) line += content[i] == '\n' ? 1 : 0;
    return line;
}

bool OnlyLineEnds(std::string_view bytes) { return bytes.find_first_not_of("\r\n\x1A") == std::string_view::npos; }

}  // namespace

bool IsCp932Text(std::string_view bytes) {
    // Code page 932 has no form of U+FFFD, so the replacement character marks the bytes that do not convert.
    return Cp932ToUtf8(bytes).find("\xEF\xBF\xBD") == std::string::npos;
}

std::string Quoted(std::string_view cp932) { return "\"" + Cp932ToUtf8(cp932) + "\""; }

std::vector<ListedEntry> CheckManagementFile(const std::string& packageDirectory, Findings& findings) {
    const std::string path = PackagePath(packageDirectory, kUpdateManagementFileName);
    if (path.size() > kMaxPathBytes) {
        findings.error(kFile, 0, "its path is longer than " + std::to_string(kMaxPathBytes) + " bytes");
        return {};
    }
    const FileProbe probe = ProbeFile(path, kMaxManagementFileBytes);
    std::optional<std::string> content;
    if (probe.state == FileState::Readable) content = ReadFileBytes(path, kMaxManagementFileBytes);
    if (!content) {
        const FileState state = probe.state == FileState::Readable ? FileState::Unreadable : probe.state;
        findings.error(kFile, 0, FileStateText(state, kMaxManagementFileBytes));
        return {};
    }
    std::string_view text = *content;
    if (HasByteOrderMark(text)) {
        findings.error(kFile, 1, "starts with a byte-order mark: it must be code page 932 text");
        // The lines are looked at without it, so that it is told once.
        text.remove_prefix(text.starts_with("\xEF") ? 3 : 2);
    }
    if (const std::size_t end = text.find(kEndOfFileByte); end != std::string_view::npos) {
        if (!OnlyLineEnds(text.substr(end))) {
            findings.warning(kFile, LineOf(text, end), "a Ctrl-Z ends the file here: what follows it is not read");
        }
        text = text.substr(0, end);
    }
    LineChecker checker(findings);
    const std::vector<std::string_view> lines = SplitManagementLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) checker.check(lines[i], i + 1);
    checker.finish();
    return checker.takeEntries();
}

}  // namespace tessel::pack
