#pragma once

#include <optional>
#include <string>
#include <string_view>

// The platform's narrow paths are UTF-8; the system takes UTF-16.
namespace tessel::os::win32 {

// Nullopt when the text is not valid UTF-8.
std::optional<std::wstring> Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace tessel::os::win32
