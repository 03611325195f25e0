// Listing text from a server is untrusted: any bytes parse without fault, every entry has a name
// without line breaks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ftp_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto entries = skiffs::ParseListing(text);
    for (const auto& e : entries) {
        if (e.name.empty() || e.name.find('\n') != std::string_view::npos) std::abort();
    }
    return 0;
}
