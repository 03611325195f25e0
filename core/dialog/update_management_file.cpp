#include "dialog/update_management_file.h"

#include <optional>

#include "dialog/cp932.h"
#include "dialog/local_file.h"
#include "dialog/management_file_syntax.h"
#include "platform/os/files.h"

namespace tessel {
namespace {

// The file's bytes up to a Ctrl-Z, which ends a text file.
std::optional<std::string> ReadContent(std::string_view programDirectory) {
    const std::string path = PackagePath(programDirectory, kUpdateManagementFileName);
    if (path.size() > kMaxPathBytes) return std::nullopt;
    // A file that opens but cannot be read (a folder, a failing read) counts as one that cannot be opened.
    std::optional<std::string> content = ReadFileBytes(path, kMaxManagementFileBytes);
    if (!content) return std::nullopt;
    if (const auto eof = content->find(kEndOfFileByte); eof != std::string::npos) content->resize(eof);
    return content;
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

}  // namespace

std::string PackagePath(std::string_view programDirectory, std::string_view fileName) {
    return os::JoinPath(programDirectory, fileName);
}

bool ReadUpdateHeader(std::string_view programDirectory, UpdateHeader& header) {
    header = UpdateHeader{};
    const std::optional<std::string> content = ReadContent(programDirectory);
    if (!content) return false;
    for (const std::string_view line : SplitManagementLines(*content)) {
        if (HasTag(line, kCaptionTag)) {
            header.caption = std::string(TagValue(line));
        } else if (HasTag(line, kFirmwareVersionTag)) {
            header.firmwareVersion = std::string(TagValue(line));
        } else if (HasTag(line, kScriptVersionTag)) {
            header.scriptVersion = std::string(TagValue(line));
        } else if (HasTag(line, kActionTag)) {
            header.moveFlag = IsMoveAction(TagValue(line)) ? 1 : 0;
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
    // A UTF-8 or UTF-16 file would have its tags missed or its names mangled.
    if (HasByteOrderMark(*content)) return refuse(1, "starts with a byte-order mark: it must be code page 932 text");
    const std::vector<std::string_view> lines = SplitManagementLines(*content);
    std::vector<UpdateFileEntry> entries;
    std::optional<std::uint8_t> key;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.find('\0') != std::string_view::npos) {
            return refuse(i + 1, "holds a NUL byte: it must be code page 932 text, not UTF-16");
        }
        if (HasTag(line, kKeyTag)) {
            if (const auto value = ParseKeyLine(line)) key = static_cast<std::uint8_t>(*value & 0xFF);
        }
        if (HasTag(line, kEntryTag)) {
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
