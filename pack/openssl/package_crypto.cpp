#include "pack/package_crypto.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstdio>
#include <memory>

namespace tessel::pack {
namespace {

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct DigestFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Bio = std::unique_ptr<BIO, BioFree>;
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestFree>;

// A key file is a few hundred bytes; anything far larger is no key.
constexpr std::size_t kMaxPemBytes = 16 * 1024;

// Never asks for a pass phrase: an encrypted key is refused, not prompted for.
int NoPassphrase(char*, int, int, void*) { return -1; }

Bio ReadBio(std::string_view text) {
    if (text.size() > kMaxPemBytes) return nullptr;
    return Bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
}

bool IsP256(EVP_PKEY* key) {
    char group[64] = {};
    std::size_t length = 0;
    if (EVP_PKEY_get_base_id(key) != EVP_PKEY_EC) return false;
    if (EVP_PKEY_get_group_name(key, group, sizeof group, &length) != 1) return false;
    const std::string_view name(group, length);
    return name == "prime256v1" || name == "P-256";
}

Key ReadPrivateKey(std::string_view pem, std::string& error) {
    const Bio bio = ReadBio(pem);
    Key key(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, NoPassphrase, nullptr) : nullptr);
    if (!key || !IsP256(key.get())) {
        error = "not an unencrypted ECDSA P-256 private key in PEM";
        return nullptr;
    }
    return key;
}

Key ReadPublicKey(std::string_view pem, std::string& error) {
    const Bio bio = ReadBio(pem);
    Key key(bio ? PEM_read_bio_PUBKEY(bio.get(), nullptr, NoPassphrase, nullptr) : nullptr);
    if (!key || !IsP256(key.get())) {
        error = "not an ECDSA P-256 public key in PEM";
        return nullptr;
    }
    return key;
}

std::string BioText(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return length > 0 ? std::string(data, static_cast<std::size_t>(length)) : std::string();
}

std::optional<std::string> PublicPem(EVP_PKEY* key) {
    const Bio out(BIO_new(BIO_s_mem()));
    if (!out || PEM_write_bio_PUBKEY(out.get(), key) != 1) return std::nullopt;
    return BioText(out.get());
}

}  // namespace

std::optional<KeyPair> GenerateKeyPair() {
    const Key key(EVP_EC_gen("P-256"));
    if (!key) return std::nullopt;
    const Bio out(BIO_new(BIO_s_mem()));
    if (!out || PEM_write_bio_PrivateKey(out.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1) {
        return std::nullopt;
    }
    std::optional<std::string> publicPem = PublicPem(key.get());
    if (!publicPem) return std::nullopt;
    return KeyPair{BioText(out.get()), std::move(*publicPem)};
}

std::optional<std::string> PublicKeyOf(std::string_view privatePem, std::string& error) {
    const Key key = ReadPrivateKey(privatePem, error);
    if (!key) return std::nullopt;
    std::optional<std::string> pem = PublicPem(key.get());
    if (!pem) error = "the public key cannot be written";
    return pem;
}

std::optional<std::string> SignMessage(std::string_view privatePem, std::string_view message, std::string& error) {
    const Key key = ReadPrivateKey(privatePem, error);
    if (!key) return std::nullopt;
    const DigestContext context(EVP_MD_CTX_new());
    std::size_t length = 0;
    if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1 ||
        EVP_DigestSign(context.get(), nullptr, &length, reinterpret_cast<const unsigned char*>(message.data()),
                       message.size()) != 1) {
        error = "the system cannot sign";
        return std::nullopt;
    }
    std::string signature(length, '\0');
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length,
                       reinterpret_cast<const unsigned char*>(message.data()), message.size()) != 1) {
        error = "the system cannot sign";
        return std::nullopt;
    }
    signature.resize(length);
    return signature;
}

std::optional<std::string> PublicKeyFingerprint(std::string_view publicPem, std::string& error) {
    const Key key = ReadPublicKey(publicPem, error);
    if (!key) return std::nullopt;
    unsigned char* der = nullptr;
    const int length = i2d_PUBKEY(key.get(), &der);
    if (length <= 0) {
        error = "the public key cannot be encoded";
        return std::nullopt;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    const int digested = EVP_Digest(der, static_cast<std::size_t>(length), digest, &digestLength, EVP_sha256(), nullptr);
    OPENSSL_free(der);
    if (digested != 1) {
        error = "SHA-256 is not available";
        return std::nullopt;
    }
    std::string text = "SHA256:";
    for (unsigned int i = 0; i < digestLength; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        text += pair;
    }
    return text;
}

bool VerifyMessage(std::string_view publicPem, std::string_view message, std::string_view derSignature) {
    std::string error;
    const Key key = ReadPublicKey(publicPem, error);
    const DigestContext context(EVP_MD_CTX_new());
    return key && context && EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) == 1 &&
           EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(derSignature.data()),
                            derSignature.size(), reinterpret_cast<const unsigned char*>(message.data()),
                            message.size()) == 1;
}

std::string Base64Encode(std::string_view bytes) {
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                       reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    if (!IsBase64Line(text, kMaxPemBytes)) return std::nullopt;
    std::string bytes(text.size() / 4 * 3, '\0');
    const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                       reinterpret_cast<const unsigned char*>(text.data()),
                                       static_cast<int>(text.size()));
    if (length < 0) return std::nullopt;
    // The decoder writes a zero byte for each padding character; they are not part of the bytes.
    std::size_t padding = 0;
    if (text.ends_with("==")) padding = 2;
    else if (text.ends_with("=")) padding = 1;
    bytes.resize(static_cast<std::size_t>(length) - padding);
    return bytes;
}

}  // namespace tessel::pack
