#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <limits>
#include <stdexcept>

#include "pack/sha256.h"

namespace tessel::pack {

Sha256Digest Sha256Of(std::string_view bytes) {
    Sha256Digest digest{};
    // CNG hashes at most 4 GiB per call: larger inputs go in pieces.
    constexpr std::size_t kMaxPiece = std::numeric_limits<ULONG>::max();
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool done = BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
                BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
    while (done && !bytes.empty()) {
        const std::string_view piece = bytes.substr(0, kMaxPiece);
        // BCryptHashData does not write to its input; its parameter is merely not const.
        auto* input = reinterpret_cast<PUCHAR>(const_cast<char*>(piece.data()));
        done = BCRYPT_SUCCESS(BCryptHashData(hash, input, static_cast<ULONG>(piece.size()), 0));
        bytes.remove_prefix(piece.size());
    }
    done = done && BCRYPT_SUCCESS(BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
    if (hash != nullptr) BCryptDestroyHash(hash);
    if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!done) throw std::runtime_error("SHA-256 is not available");
    return digest;
}

}  // namespace tessel::pack
