#include "platform/os/code_page_932.h"

#include <windows.h>

#include "wide_text.h"

namespace tessel::os {
namespace {

constexpr UINT kCodePage932 = 932;

bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

// Windows gives these single bytes code points of its own (U+0080, private use); they are no characters of
// the Japanese code page, and Linux refuses them too.
bool IsUnassignedByte(unsigned char byte) { return byte == 0x80 || byte == 0xA0 || byte >= 0xFD; }

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    const std::optional<std::wstring> wide = win32::Widen(utf8);
    if (!wide) return std::nullopt;
    if (wide->empty()) return std::string();
    const int in = static_cast<int>(wide->size());
    // WC_NO_BEST_FIT_CHARS: a character without a form of its own is refused, not replaced by a look-alike.
    BOOL usedDefault = FALSE;
    const int length =
        ::WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide->data(), in, nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string cp932(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide->data(), in, cp932.data(), length, nullptr,
                          &usedDefault);
    if (usedDefault) return std::nullopt;
    return cp932;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    // One character at a time, so that each byte that starts no valid character becomes one U+FFFD and the
    // next byte is read afresh.
    std::wstring wide;
    std::size_t at = 0;
    while (at < cp932.size()) {
        const auto byte = static_cast<unsigned char>(cp932[at]);
        const std::size_t size = IsLeadByte(byte) && at + 1 < cp932.size() ? 2 : 1;
        wchar_t character[2] = {};
        const int length = IsUnassignedByte(byte) ? 0
                                                  : ::MultiByteToWideChar(kCodePage932, MB_ERR_INVALID_CHARS,
                                                                          cp932.data() + at, static_cast<int>(size),
                                                                          character, 2);
        if (length > 0) {
            wide.append(character, static_cast<std::size_t>(length));
            at += size;
        } else {
            wide += L'\xFFFD';
            ++at;
        }
    }
    return win32::Narrow(wide);
}

}  // namespace tessel::os
