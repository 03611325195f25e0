#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text in code page 932 (Shift-JIS with the Windows extensions: NEC and IBM rows, 0x5C as a trail byte) and
// UTF-8.
namespace tessel::os {

// Nullopt when a character has no code page 932 form (no best-fit substitutes: U+00A5 is refused, not turned
// into 0x5C) or the text is not valid UTF-8.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// Each byte that does not start a valid code page 932 character becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace tessel::os
