#include "pack/sha256.h"

namespace tessel::pack {

std::string Sha256Hex(std::string_view bytes) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : Sha256Of(bytes)) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

}  // namespace tessel::pack
