// PEM text as the openssl command line writes it: base64 lines of at most 64 letters between a BEGIN and an END
// line that name what the bytes are ("PUBLIC KEY", "PRIVATE KEY").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessel::pack {

// The bytes of the first block of text labelled label; nullopt when there is none, when it is cut, carries
// headers (an encrypted key has them) or is no base64, or when text is larger than a key file can be.
std::optional<std::string> PemContents(std::string_view text, std::string_view label);

// The bytes as a PEM block labelled label, each line ending in a line feed.
std::string PemText(std::string_view label, std::string_view bytes);

}  // namespace tessel::pack
