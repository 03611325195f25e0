#pragma once

#include "platform/os/code_page_932.h"

namespace tessel {

// Text in code page 932 (Shift-JIS with the Windows extensions) and UTF-8: the conversions are the
// platform's (nullopt for a character without a code page 932 form; invalid bytes become U+FFFD).
using os::Cp932ToUtf8;
using os::Utf8ToCp932;

bool IsCp932LeadByte(unsigned char byte);

}  // namespace tessel
