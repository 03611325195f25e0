#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// Text in code page 932 (Shift-JIS with the Windows extensions) and UTF-8.

// Nullopt when a character has no code page 932 form.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);
// Bytes that are not valid code page 932 become U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);
bool IsCp932LeadByte(unsigned char byte);

}  // namespace tessel
