// P-256 keys and ECDSA signatures in the DER shapes the openssl command line writes: a SubjectPublicKeyInfo,
// a PKCS#8 PrivateKeyInfo wrapping an ECPrivateKey, and an ECDSA-Sig-Value. For a system whose cryptography
// takes raw numbers (CNG) rather than these files. Only these fixed shapes are read, strictly: DER's shortest
// lengths, nothing after the end, no other curve, no compressed point.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tessel::pack {

inline constexpr std::size_t kP256Bytes = 32;

// An uncompressed curve point: X then Y, big-endian.
using P256Point = std::array<unsigned char, 2 * kP256Bytes>;
// A signature as two big-endian numbers of 32 bytes: r then s.
using P256RawSignature = std::array<unsigned char, 2 * kP256Bytes>;

struct P256PrivateKey {
    std::array<unsigned char, kP256Bytes> secret{};
    P256Point publicPoint{};
};

// The point of a P-256 SubjectPublicKeyInfo; nullopt for anything else.
std::optional<P256Point> ReadP256PublicKeyInfo(std::string_view der);
std::string WriteP256PublicKeyInfo(const P256Point& point);

// The key of a PKCS#8 PrivateKeyInfo (or of a bare ECPrivateKey, what "EC PRIVATE KEY" files hold) on P-256
// that carries its public point, as openssl writes them; nullopt for anything else.
std::optional<P256PrivateKey> ReadP256PrivateKeyInfo(std::string_view der);
std::optional<P256PrivateKey> ReadP256EcPrivateKey(std::string_view der);
std::string WriteP256PrivateKeyInfo(const P256PrivateKey& key);

// r and s of an ECDSA-Sig-Value; nullopt unless it is two positive integers of at most 32 bytes in DER.
std::optional<P256RawSignature> ReadEcdsaSignature(std::string_view der);
std::string WriteEcdsaSignature(const P256RawSignature& raw);

}  // namespace tessel::pack
