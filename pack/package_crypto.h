// The cryptography of signed packages: ECDSA on P-256 with SHA-256, keys in PEM (PKCS#8 private keys,
// SubjectPublicKeyInfo public keys), signatures in DER, as the openssl command line writes and reads them.
// Each system's implementation lives in a folder of its own (openssl/ on Linux); the build picks one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessel::pack {

// The largest key file read: a P-256 key in PEM takes a few hundred bytes.
inline constexpr std::size_t kMaxKeyFileBytes = 16 * 1024;

struct KeyPair {
    std::string privatePem;
    std::string publicPem;
};

// A new key pair; nullopt when the system cannot make one.
std::optional<KeyPair> GenerateKeyPair();

// The public key of a private one, in PEM; nullopt (and why in error) when privatePem is no P-256 private key.
std::optional<std::string> PublicKeyOf(std::string_view privatePem, std::string& error);

// The DER signature of message by the private key; nullopt (and why in error) when it is no P-256 private key.
std::optional<std::string> SignMessage(std::string_view privatePem, std::string_view message, std::string& error);

// "SHA256:" and the hexadecimal SHA-256 of the key's DER SubjectPublicKeyInfo, what
// `openssl pkey -pubin -outform DER | sha256sum` prints; nullopt (and why in error) when publicPem is no
// P-256 public key.
std::optional<std::string> PublicKeyFingerprint(std::string_view publicPem, std::string& error);

// True when derSignature is the key's signature of message.
bool VerifyMessage(std::string_view publicPem, std::string_view message, std::string_view derSignature);

std::string Base64Encode(std::string_view bytes);
// Whether text can be base64 at all: one padded line of its letters, at most maxBytes long.
inline bool IsBase64Line(std::string_view text, std::size_t maxBytes) {
    if (text.empty() || text.size() % 4 != 0 || text.size() > maxBytes) return false;
    for (const char c : text) {
        const bool letterOrDigit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != '+' && c != '/' && c != '=') return false;
    }
    return true;
}
// nullopt when text is not base64 (one line, padded).
std::optional<std::string> Base64Decode(std::string_view text);

}  // namespace tessel::pack
