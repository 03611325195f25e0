#include "dialog/local_file.h"

namespace tessel {

std::string SafeFileName(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            byte == '.' || byte == '-') {
            name += c;
        } else {
            name += '_';
            name += kHex[byte >> 4];
            name += kHex[byte & 0xF];
        }
    }
    return name;
}

}  // namespace tessel
