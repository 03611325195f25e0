// Listing text from a server is untrusted. Any bytes parse without fault and give entries with
// names and no line breaks; the same bytes, made into a line of one of the servers' forms, read back
// as the name and size that went in. Seeds: tests/ftplib/listing_corpus.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "ftp_listing.h"
#include "listing_property.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& e : skiffs::ParseListing(text)) {
        if (e.name.empty() || e.name.find('\n') != std::string_view::npos) std::abort();
    }
    const std::string failure = skiffs::test::CheckRoundTrip(text);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
