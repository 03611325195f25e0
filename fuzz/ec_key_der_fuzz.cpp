// Any bytes as a P-256 public key, private key or ECDSA signature in DER: what is read is exactly what would
// be written again (DER has one encoding of each value, so a reader that takes any other is not strict), and
// what a private key reads back as holds the same numbers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pack/ec_key_der.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessel::pack;
    const std::string_view der(reinterpret_cast<const char*>(data), size);
    if (const auto raw = ReadEcdsaSignature(der); raw && WriteEcdsaSignature(*raw) != der) std::abort();
    if (const auto point = ReadP256PublicKeyInfo(der); point && WriteP256PublicKeyInfo(*point) != der) std::abort();
    // A private key may name its curve inside too, which is not written again: its numbers must survive.
    for (const auto& key : {ReadP256PrivateKeyInfo(der), ReadP256EcPrivateKey(der)}) {
        if (!key) continue;
        const auto again = ReadP256PrivateKeyInfo(WriteP256PrivateKeyInfo(*key));
        if (!again || again->secret != key->secret || again->publicPoint != key->publicPoint) std::abort();
    }
    return 0;
}
