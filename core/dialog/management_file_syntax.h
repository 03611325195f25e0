#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "dialog/update_management_file.h"

namespace tessel {

// How the lines of the management file are cut and read: what the readers take from a line, so that a check
// of a package sees a line exactly as the updater does.

// The tags, each three ASCII characters.
inline constexpr std::string_view kCaptionTag = "#T#";
inline constexpr std::string_view kFirmwareVersionTag = "#F#";
inline constexpr std::string_view kScriptVersionTag = "#S#";
inline constexpr std::string_view kActionTag = "#A#";
inline constexpr std::string_view kKeyTag = "#M#";
inline constexpr std::string_view kEntryTag = "#L#";
// The byte at which a tagged line's value starts: the tag and one blank come first.
inline constexpr std::size_t kTagValueOffset = 4;
// A Ctrl-Z ends a text file.
inline constexpr char kEndOfFileByte = '\x1A';

// The lines of content, without their line ends (LF or CR LF); views into content.
std::vector<std::string_view> SplitManagementLines(std::string_view content);

// A tag may stand anywhere in a line.
bool HasTag(std::string_view line, std::string_view tag);

// The value of a tagged line: all of it from kTagValueOffset on, however the line begins.
std::string_view TagValue(std::string_view line);

// True when the action value is MOVE in any case of its letters.
bool IsMoveAction(std::string_view value);

// The number of a key line, read as with the pattern "#M# %x": nullopt when the line does not begin with the
// tag or no hexadecimal digit follows it.
std::optional<std::uint32_t> ParseKeyLine(std::string_view line);

// The three fields of a file entry line, cut at its first two commas.
UpdateFileEntry SplitEntryLine(std::string_view line);

// A name of a file in a folder, not a path: not ".", no separator, no "..", no control byte.
bool IsPlainFileName(std::string_view name);

// A UTF-8 or UTF-16 byte-order mark: the file is not code page 932 text.
bool HasByteOrderMark(std::string_view content);

}  // namespace tessel
