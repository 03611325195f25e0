#pragma once

#include <string_view>

namespace tessel {

// Files of the update package that the program itself knows by name; the management file names the rest.
inline constexpr std::string_view kFirmwareImageFile = "kbteva.bin";
inline constexpr std::string_view kFirmwareDataFile = "prism3.dat";
inline constexpr std::string_view kVersionScriptFile = "GetSysVer.wcr";
inline constexpr std::string_view kVersionTextFile = "VersionS.txt";
inline constexpr std::string_view kSpacerImageFile = "spacer.gif";
// Where the script update puts the two plain files, after the listed ones.
inline constexpr std::string_view kVersionTextDevicePath = "C:\\www\\VersionS.txt";
inline constexpr std::string_view kSpacerImageDevicePath = "C:\\www\\control\\spacer.gif";
// Written by the program, uploaded and deleted again; not part of the package.
inline constexpr std::string_view kAutoScriptFile = "m_AutoScript.wcr";

}  // namespace tessel
