// Reads the entries of a directory listing as FTP servers send it for LIST: the Unix form
// ("-rw-r--r-- 1 owner group 1500 Jan  5 12:00 name", also with numeric owners, without a group,
// with ISO dates "2024-01-05 12:00", and "name -> target" for links) and the DOS form
// ("01-05-26  12:00PM  1500 name", "<DIR>" for directories). Lines of neither form are passed over.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skiffs {

struct ListingEntry {
    std::string name;
    // Sizes beyond the largest 64-bit value read as that value.
    std::uint64_t size = 0;
    bool directory = false;
};

std::vector<ListingEntry> ParseListing(std::string_view text);

// One line of a listing, without its line end.
std::optional<ListingEntry> ParseListingLine(std::string_view line);

// The first entry whose name equals name, ASCII letter case aside.
std::optional<ListingEntry> FindEntry(const std::vector<ListingEntry>& entries, std::string_view name);

}  // namespace skiffs
