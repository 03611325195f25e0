#include "cli/visible_text.h"

#include <cstdio>

namespace tessel::cli {
namespace {

// The code point of a bidirectional formatting character at text[i] (UTF-8, three bytes): marks, embeddings,
// overrides and isolates, which make a terminal show text in another order than it stands; else 0.
unsigned BidiControlAt(std::string_view text, std::size_t i) {
    if (i + 2 >= text.size() || static_cast<unsigned char>(text[i]) != 0xE2) return 0;
    const auto second = static_cast<unsigned char>(text[i + 1]);
    const auto third = static_cast<unsigned char>(text[i + 2]);
    const unsigned codePoint = 0x2000u + ((second & 0x3Fu) << 6) + (third & 0x3Fu);
    const bool bidi = (codePoint >= 0x200E && codePoint <= 0x200F) || (codePoint >= 0x202A && codePoint <= 0x202E) ||
                      (codePoint >= 0x2066 && codePoint <= 0x2069);
    return (second & 0xC0u) == 0x80u && (third & 0xC0u) == 0x80u && bidi ? codePoint : 0;
}

}  // namespace

std::string VisibleText(std::string_view utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        char escape[16];
        if ((byte < 0x20 && byte != '\n') || byte == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            shown += escape;
        } else if (byte == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(utf8[i + 1]));
            shown += escape;
            ++i;
        } else if (const unsigned bidi = BidiControlAt(utf8, i)) {
            std::snprintf(escape, sizeof escape, "\\u%04X", bidi);
            shown += escape;
            i += 2;
        } else {
            shown += static_cast<char>(byte);
        }
    }
    return shown;
}

std::string Utf8Prefix(std::string_view utf8, std::size_t maxBytes) {
    if (utf8.size() <= maxBytes) return std::string(utf8);
    std::size_t end = maxBytes;
    // Back over continuation bytes to the start of the character that would be cut.
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0u) == 0x80u) --end;
    return std::string(utf8.substr(0, end));
}

std::string Trimmed(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
}

}  // namespace tessel::cli
