// Signed packages on the system's CNG: ECDSA on P-256 over the SHA-256 of the message. CNG takes keys and
// signatures as raw numbers, so the PEM and DER files openssl reads and writes are turned into them and back
// here (pem.h, ec_key_der.h).
#include <windows.h>
// After windows.h, which they need.
#include <bcrypt.h>
#include <wincrypt.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "pack/ec_key_der.h"
#include "pack/package_crypto.h"
#include "pack/pem.h"
#include "pack/sha256.h"

namespace tessel::pack {
namespace {

constexpr const char* kNoPrivateKey = "not an unencrypted ECDSA P-256 private key in PEM";
constexpr const char* kNoPublicKey = "not an ECDSA P-256 public key in PEM";
constexpr const char* kCannotSign = "the system cannot sign";
constexpr std::size_t kMaxBase64Bytes = 64 * 1024;

// An open CNG handle, closed when it goes.
class Algorithm {
public:
    Algorithm() {
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle_, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0))) {
            handle_ = nullptr;
        }
    }
    ~Algorithm() {
        if (handle_ != nullptr) BCryptCloseAlgorithmProvider(handle_, 0);
    }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    BCRYPT_ALG_HANDLE get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class Key {
public:
    Key() = default;
    ~Key() {
        if (handle_ != nullptr) BCryptDestroyKey(handle_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    BCRYPT_KEY_HANDLE* out() { return &handle_; }
    BCRYPT_KEY_HANDLE get() const { return handle_; }

private:
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

// A key blob: BCRYPT_ECCKEY_BLOB, then X, Y and, for a private key, the secret, each 32 bytes big-endian.
std::vector<UCHAR> KeyBlob(ULONG magic, const P256Point& point, const unsigned char* secret) {
    const BCRYPT_ECCKEY_BLOB header{magic, static_cast<ULONG>(kP256Bytes)};
    std::vector<UCHAR> blob(sizeof header + point.size() + (secret != nullptr ? kP256Bytes : 0));
    std::memcpy(blob.data(), &header, sizeof header);
    std::memcpy(blob.data() + sizeof header, point.data(), point.size());
    if (secret != nullptr) std::memcpy(blob.data() + sizeof header + point.size(), secret, kP256Bytes);
    return blob;
}

bool Import(const Algorithm& algorithm, LPCWSTR blobType, std::vector<UCHAR>& blob, Key& key) {
    const bool imported = algorithm.get() != nullptr &&
                          BCRYPT_SUCCESS(BCryptImportKeyPair(algorithm.get(), nullptr, blobType, key.out(),
                                                             blob.data(), static_cast<ULONG>(blob.size()), 0));
    SecureZeroMemory(blob.data(), blob.size());
    return imported;
}

std::optional<P256Point> ReadPublicKey(std::string_view pem, std::string& error) {
    const std::optional<std::string> der = PemContents(pem, "PUBLIC KEY");
    std::optional<P256Point> point = der ? ReadP256PublicKeyInfo(*der) : std::nullopt;
    if (!point) error = kNoPublicKey;
    return point;
}

// The key of a PKCS#8 "PRIVATE KEY" file, or of an "EC PRIVATE KEY" one, as openssl reads both.
std::optional<P256PrivateKey> ReadPrivateKey(std::string_view pem, std::string& error) {
    std::optional<P256PrivateKey> key;
    if (const std::optional<std::string> der = PemContents(pem, "PRIVATE KEY")) {
        key = ReadP256PrivateKeyInfo(*der);
    } else if (const std::optional<std::string> ecDer = PemContents(pem, "EC PRIVATE KEY")) {
        key = ReadP256EcPrivateKey(*ecDer);
    }
    if (!key) error = kNoPrivateKey;
    return key;
}

// The private key of a PEM file as CNG takes it (its secret and its point as a P-256 key) into handle.
std::optional<P256PrivateKey> ImportPrivateKey(const Algorithm& algorithm, std::string_view pem, Key& handle,
                                               std::string& error) {
    std::optional<P256PrivateKey> key = ReadPrivateKey(pem, error);
    if (!key) return std::nullopt;
    std::vector<UCHAR> blob = KeyBlob(BCRYPT_ECDSA_PRIVATE_P256_MAGIC, key->publicPoint, key->secret.data());
    if (Import(algorithm, BCRYPT_ECCPRIVATE_BLOB, blob, handle)) return key;
    error = kNoPrivateKey;
    return std::nullopt;
}

// What CNG signs and verifies: the digest, not the message; nullopt when the system has no SHA-256.
std::optional<Sha256Digest> DigestOf(std::string_view message) {
    try {
        return Sha256Of(message);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

std::string PublicPem(const P256Point& point) { return PemText("PUBLIC KEY", WriteP256PublicKeyInfo(point)); }

}  // namespace

std::optional<KeyPair> GenerateKeyPair() {
    const Algorithm algorithm;
    Key key;
    if (algorithm.get() == nullptr ||
        !BCRYPT_SUCCESS(BCryptGenerateKeyPair(algorithm.get(), key.out(), 256, 0)) ||
        !BCRYPT_SUCCESS(BCryptFinalizeKeyPair(key.get(), 0))) {
        return std::nullopt;
    }
    std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 3 * kP256Bytes);
    ULONG length = 0;
    const bool exported =
        BCRYPT_SUCCESS(BCryptExportKey(key.get(), nullptr, BCRYPT_ECCPRIVATE_BLOB, blob.data(),
                                       static_cast<ULONG>(blob.size()), &length, 0)) &&
        length == blob.size();
    BCRYPT_ECCKEY_BLOB header{};
    std::memcpy(&header, blob.data(), sizeof header);
    std::optional<KeyPair> pair;
    if (exported && header.dwMagic == BCRYPT_ECDSA_PRIVATE_P256_MAGIC && header.cbKey == kP256Bytes) {
        P256PrivateKey parts;
        std::memcpy(parts.publicPoint.data(), blob.data() + sizeof header, parts.publicPoint.size());
        std::memcpy(parts.secret.data(), blob.data() + sizeof header + parts.publicPoint.size(), kP256Bytes);
        std::string der = WriteP256PrivateKeyInfo(parts);
        pair = KeyPair{PemText("PRIVATE KEY", der), PublicPem(parts.publicPoint)};
        SecureZeroMemory(der.data(), der.size());
        SecureZeroMemory(parts.secret.data(), parts.secret.size());
    }
    SecureZeroMemory(blob.data(), blob.size());
    return pair;
}

std::optional<std::string> PublicKeyOf(std::string_view privatePem, std::string& error) {
    const Algorithm algorithm;
    Key handle;
    const std::optional<P256PrivateKey> key = ImportPrivateKey(algorithm, privatePem, handle, error);
    if (!key) return std::nullopt;
    return PublicPem(key->publicPoint);
}

std::optional<std::string> SignMessage(std::string_view privatePem, std::string_view message, std::string& error) {
    const Algorithm algorithm;
    Key handle;
    if (!ImportPrivateKey(algorithm, privatePem, handle, error)) return std::nullopt;
    std::optional<Sha256Digest> digest = DigestOf(message);
    P256RawSignature raw{};
    ULONG length = 0;
    if (!digest ||
        !BCRYPT_SUCCESS(BCryptSignHash(handle.get(), nullptr, digest->data(), static_cast<ULONG>(digest->size()),
                                       raw.data(), static_cast<ULONG>(raw.size()), &length, 0)) ||
        length != raw.size()) {
        error = kCannotSign;
        return std::nullopt;
    }
    return WriteEcdsaSignature(raw);
}

std::optional<std::string> PublicKeyFingerprint(std::string_view publicPem, std::string& error) {
    const std::optional<P256Point> point = ReadPublicKey(publicPem, error);
    if (!point) return std::nullopt;
    try {
        return "SHA256:" + Sha256Hex(WriteP256PublicKeyInfo(*point));
    } catch (const std::runtime_error& failure) {
        error = failure.what();
        return std::nullopt;
    }
}

bool VerifyMessage(std::string_view publicPem, std::string_view message, std::string_view derSignature) {
    std::string error;
    const std::optional<P256Point> point = ReadPublicKey(publicPem, error);
    std::optional<P256RawSignature> raw = ReadEcdsaSignature(derSignature);
    if (!point || !raw) return false;
    const Algorithm algorithm;
    Key key;
    std::vector<UCHAR> blob = KeyBlob(BCRYPT_ECDSA_PUBLIC_P256_MAGIC, *point, nullptr);
    if (!Import(algorithm, BCRYPT_ECCPUBLIC_BLOB, blob, key)) return false;
    std::optional<Sha256Digest> digest = DigestOf(message);
    return digest && BCRYPT_SUCCESS(BCryptVerifySignature(key.get(), nullptr, digest->data(),
                                                          static_cast<ULONG>(digest->size()), raw->data(),
                                                          static_cast<ULONG>(raw->size()), 0));
}

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
