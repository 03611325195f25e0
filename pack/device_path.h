// Paths of files on the device: Windows paths with a drive and backslashes, in code page 932 bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel::pack {

// The folder of the device's web pages; a file elsewhere is probably a mistake.
inline constexpr std::string_view kWebRoot = "C:\\www";

// Why the path is no absolute Windows path of a file on drive C: or B: (a drive, a backslash, then names
// without characters that Windows refuses, no "." or ".." and no empty name), or nullopt.
std::optional<std::string> DevicePathFault(std::string_view devicePath);

// True when the path lies in kWebRoot or below it, in any case of its letters.
bool IsUnderWebRoot(std::string_view devicePath);

// The names of a path that DevicePathFault accepts, drive first ("C:"): a double-byte character whose second
// byte is 0x5C does not end a name.
std::vector<std::string> DevicePathNames(std::string_view devicePath);

// The path with its ASCII letters in capitals, other bytes of double-byte characters untouched: two paths or
// names the device takes for one file give the same key.
std::string CaseFoldKey(std::string_view cp932);

}  // namespace tessel::pack
