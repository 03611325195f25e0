#pragma once

#include <string>
#include <string_view>

namespace tessel::pack {

// The SHA-256 digest of the bytes in lower-case hexadecimal.
std::string Sha256Hex(std::string_view bytes);

}  // namespace tessel::pack
