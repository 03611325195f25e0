// Command-line arguments as the dialog's fields hold text.
#pragma once

#include <string>
#include <string_view>

namespace tessel::cli {

// Arguments arrive in the terminal's encoding, UTF-8: a byte that does not belong to a well-formed sequence
// becomes U+FFFD, which no device text can hold, so that it is refused where the text is checked.
std::string ArgumentText(std::string_view bytes);

}  // namespace tessel::cli
