// The four code converters on any bytes: nothing is read or written outside the buffers (the
// sanitizers watch), the output stays within its bound, and Shift-JIS text made only of ASCII and
// JIS X 0208 characters survives the round trips through JIS and EUC-JP unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "code_converters.h"

namespace {

// Turns arbitrary bytes into Shift-JIS text of printable ASCII and valid double-byte characters.
std::string ValidShiftJis(std::string_view bytes) {
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        if (a & 1) {
            text += static_cast<char>(0x20 + b % 0x5F);
        } else {
            const unsigned jis = ((0x21 + a % 0x5E) << 8) | (0x21 + b % 0x5E);
            const unsigned sjis = skiffs::JisCharToShiftJis(jis);
            text += static_cast<char>(sjis >> 8);
            text += static_cast<char>(sjis & 0xFF);
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (int conversion = skiffs::kConvertNone; conversion <= skiffs::kEucToShiftJis; ++conversion) {
        const skiffs::Bytes out = skiffs::Convert(conversion, input);
        if (out.size() > 4 * input.size() + 3) std::abort();
    }
    const std::string text = ValidShiftJis(input);
    if (skiffs::JisToShiftJis(skiffs::ShiftJisToJis(text)) != text) std::abort();
    if (skiffs::EucToShiftJis(skiffs::ShiftJisToEuc(text)) != text) std::abort();
    return 0;
}
