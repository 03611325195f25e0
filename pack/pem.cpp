#include "pack/pem.h"

#include "pack/package_crypto.h"

namespace tessel::pack {
namespace {

constexpr std::size_t kLineLetters = 64;

std::string Armor(std::string_view edge, std::string_view label) {
    return "-----" + std::string(edge) + " " + std::string(label) + "-----";
}

// The next line of text without its line ending (LF or CR LF); text then starts after it.
std::string_view NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    return line;
}

}  // namespace

std::optional<std::string> PemContents(std::string_view text, std::string_view label) {
    if (text.size() > kMaxKeyFileBytes) return std::nullopt;
    const std::string begin = Armor("BEGIN", label);
    const std::string end = Armor("END", label);
    while (!text.empty() && NextLine(text) != begin) {
    }
    std::string letters;
    while (!text.empty()) {
        const std::string_view line = NextLine(text);
        if (line == end) return Base64Decode(letters);
        // A header line ("Proc-Type: 4,ENCRYPTED") has a colon, which base64 never does.
        if (line.find(':') != std::string_view::npos) return std::nullopt;
        letters += line;
    }
    return std::nullopt;
}

std::string PemText(std::string_view label, std::string_view bytes) {
    const std::string letters = Base64Encode(bytes);
    std::string text = Armor("BEGIN", label) + "\n";
    for (std::size_t at = 0; at < letters.size(); at += kLineLetters) {
        text += letters.substr(at, kLineLetters);
        text += '\n';
    }
    return text + Armor("END", label) + "\n";
}

}  // namespace tessel::pack
