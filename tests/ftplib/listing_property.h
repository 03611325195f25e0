// A listing line as a server would send it, made from arbitrary bytes: the parser must read back the
// name and size that went in, whatever owner, group, date and name the line carries. Shared by the
// listing test and the listing fuzz target.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "ftp_listing.h"

namespace skiffs::test {

struct RenderedEntry {
    std::string line;
    std::string name;
    std::uint64_t size = 0;
    bool directory = false;
};

// Owners and groups that look like other fields: months, days, years, numbers.
inline constexpr std::array<std::string_view, 10> kAccountNames = {"ftp", "may", "1000", "0",    "jan",
                                                                   "dec", "2024", "owner", "5", "www-data"};

inline RenderedEntry RenderEntry(std::string_view bytes) {
    auto take = [&bytes]() -> unsigned {
        if (bytes.empty()) return 0;
        const auto c = static_cast<unsigned char>(bytes.front());
        bytes.remove_prefix(1);
        return c;
    };
    const unsigned form = take() % 6;
    const std::string owner(kAccountNames[take() % kAccountNames.size()]);
    const std::string group(kAccountNames[take() % kAccountNames.size()]);
    RenderedEntry e;
    for (int i = 0; i < 5; ++i) e.size = e.size * 256 + take();
    e.directory = (take() & 1) != 0;
    for (const char c : bytes) e.name += (c == '\r' || c == '\n' || c == '\0') ? 'x' : c;
    // The DOS form aligns its names, so blanks before one cannot be told from the padding.
    if (form == 5) e.name.erase(0, e.name.find_first_not_of(' '));
    if (e.name.empty()) e.name = "n";
    const std::string mode = e.directory ? "drwxr-xr-x" : "-rw-r--r--";
    const std::string size = std::to_string(e.size);
    switch (form) {
        case 0: e.line = mode + "    1 " + owner + "     " + group + "     " + size + " Jan 05 12:00 " + e.name; break;
        case 1: e.line = mode + "   1 " + owner + " " + group + " " + size + " May  5  2024 " + e.name; break;
        case 2: e.line = mode + " 1 " + owner + " " + group + " " + size + " 2024-01-05 12:00 " + e.name; break;
        case 3: e.line = mode + "   1 " + owner + "   " + size + " Dec 31 23:59 " + e.name; break;
        case 4:
            e.line = mode + " 1 " + owner + " " + group + " " + size + " 2024-01-05 12:00:00.000 +0900 " + e.name;
            break;
        default:
            e.line = std::string("01-05-24  12:00PM  ") + (e.directory ? "     <DIR>         " : size) + " " + e.name;
            if (e.directory) e.size = 0;
            break;
    }
    e.line += "\r\n";
    return e;
}

// Empty when the parser reads the rendered line back as it was made, else what differs.
inline std::string CheckRoundTrip(std::string_view bytes) {
    const RenderedEntry e = RenderEntry(bytes);
    const auto parsed = ParseListingLine(e.line);
    if (!parsed) return "not read: " + e.line;
    if (parsed->name != e.name) return "name \"" + parsed->name + "\" from: " + e.line;
    if (parsed->size != e.size) return "size " + std::to_string(parsed->size) + " from: " + e.line;
    if (parsed->directory != e.directory) return "kind from: " + e.line;
    return {};
}

}  // namespace skiffs::test
