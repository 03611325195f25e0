#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tessel::pack {

using Sha256Digest = std::array<unsigned char, 32>;

// The SHA-256 digest of the bytes, by the system's cryptography (OpenSSL on Linux, CNG on Windows). Throws
// std::runtime_error when the system does not offer it.
Sha256Digest Sha256Of(std::string_view bytes);

// The SHA-256 digest of the bytes in lower-case hexadecimal.
std::string Sha256Hex(std::string_view bytes);

}  // namespace tessel::pack
