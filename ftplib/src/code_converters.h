// Converters between the Japanese encodings Shift-JIS (CP932), JIS (7-bit with escape sequences)
// and EUC-JP. Each works in one pass and never fails: a character without counterpart becomes
// 0x00 0x00. A double-byte character cut off by the end of the input reads its missing byte as 0.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace skiffs {

using Bytes = std::string;

enum CodeConversion : int {
    kConvertNone = 0,
    kShiftJisToJis = 1,
    kShiftJisToEuc = 2,
    kJisToShiftJis = 3,
    kEucToShiftJis = 4,
};

// Lead byte of a Shift-JIS double-byte character (0x81-0x9F, 0xE0-0xFC).
bool IsShiftJisLead(unsigned char c);

// One JIS X 0208 character: Shift-JIS code to JIS code and back; 0 when there is no counterpart.
unsigned ShiftJisCharToJis(unsigned shiftJis);
unsigned JisCharToShiftJis(unsigned jis);

Bytes ShiftJisToJis(std::string_view in);
Bytes ShiftJisToEuc(std::string_view in);
Bytes JisToShiftJis(std::string_view in);
Bytes EucToShiftJis(std::string_view in);

// Runs the converter that a code conversion value 1 to 4 names; value 0 returns the input.
Bytes Convert(int codeConversion, std::string_view in);

}  // namespace skiffs
