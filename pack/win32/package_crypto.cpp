// Signed packages on Windows, for now without keys or signatures: the ECDSA part on the system's CNG is not
// written yet. Every operation on a key fails with a message that says so, so that a trusted key makes every
// update stop before it connects instead of passing an unchecked package; with no key trusted, unsigned
// packages update as on Linux.
#include <windows.h>
#include <wincrypt.h>

#include "pack/package_crypto.h"

namespace tessel::pack {
namespace {

constexpr const char* kNoSignatures = "this Windows build of Tessel cannot check or make signatures yet";
constexpr std::size_t kMaxBase64Bytes = 64 * 1024;

}  // namespace

std::optional<KeyPair> GenerateKeyPair() { return std::nullopt; }

std::optional<std::string> PublicKeyOf(std::string_view, std::string& error) {
    error = kNoSignatures;
    return std::nullopt;
}

std::optional<std::string> SignMessage(std::string_view, std::string_view, std::string& error) {
    error = kNoSignatures;
    return std::nullopt;
}

std::optional<std::string> PublicKeyFingerprint(std::string_view, std::string& error) {
    error = kNoSignatures;
    return std::nullopt;
}

bool VerifyMessage(std::string_view, std::string_view, std::string_view) { return false; }

std::string Base64Encode(std::string_view bytes) {
    constexpr DWORD kFlags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    const auto* data = reinterpret_cast<const BYTE*>(bytes.data());
    DWORD length = 0;
    if (!::CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), kFlags, nullptr, &length)) return {};
    std::string text(length, '\0');
    if (!::CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), kFlags, text.data(), &length)) return {};
    text.resize(length);
    return text;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    if (!IsBase64Line(text, kMaxBase64Bytes)) return std::nullopt;
    DWORD length = 0;
    if (!::CryptStringToBinaryA(text.data(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64, nullptr, &length,
                                nullptr, nullptr)) {
        return std::nullopt;
    }
    std::string bytes(length, '\0');
    if (!::CryptStringToBinaryA(text.data(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                                reinterpret_cast<BYTE*>(bytes.data()), &length, nullptr, nullptr)) {
        return std::nullopt;
    }
    bytes.resize(length);
    return bytes;
}

}  // namespace tessel::pack
