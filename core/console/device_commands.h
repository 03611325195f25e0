#pragma once

#include <string_view>

// The commands the console sends to the device, and the replies the steps look for, each under one name.
namespace tessel::device {

inline constexpr std::string_view kReboot = "reboot\r";
inline constexpr std::string_view kRunVersionScript = "exec \"B:\\GetSysVer.wcr\"\r";
inline constexpr std::string_view kSysup = "sysup \"B:\\kbteva.bin\"\r";
inline constexpr std::string_view kConfirm = "y\r";
inline constexpr std::string_view kRunLockOff = "exec \"C:\\www\\lockoff.wcr\"\r";
inline constexpr std::string_view kMakeDataFolder = "mkdir \"AutoGetDt\"\r";
inline constexpr std::string_view kRunAutoScriptMove = "exec \"B:\\m_AutoScript.wcr\"\r";

// The console's report of a command or script that returned 0.
inline constexpr std::string_view kReturnedZero = "value = 0x0 = 0";
// The sysup reply of a failed expansion.
inline constexpr std::string_view kError = "error";

}  // namespace tessel::device
