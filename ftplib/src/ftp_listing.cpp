#include "ftp_listing.h"

#include <array>
#include <limits>

namespace skiffs {

namespace {

// Splits off the next blank-separated field; rest keeps what follows its separating blanks.
std::string_view NextField(std::string_view& rest) {
    const std::size_t start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    rest.remove_prefix(start);
    const std::size_t end = std::min(rest.find(' '), rest.size());
    const std::string_view field = rest.substr(0, end);
    rest.remove_prefix(end);
    return field;
}

// The rest of the line after one separating blank run: a name may itself hold blanks.
std::string_view NameAfter(std::string_view rest) {
    const std::size_t start = rest.find_first_not_of(' ');
    return start == std::string_view::npos ? std::string_view() : rest.substr(start);
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

std::uint64_t ToSize(std::string_view digits) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (const char c : digits) {
        const auto d = static_cast<std::uint64_t>(c - '0');
        if (value > (kMax - d) / 10) return kMax;
        value = value * 10 + d;
    }
    return value;
}

bool IsMonth(std::string_view s) {
    static constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                                 "jul", "aug", "sep", "oct", "nov", "dec"};
    if (s.size() != 3) return false;
    for (const std::string_view m : kMonths) {
        bool same = true;
        for (std::size_t i = 0; i < 3; ++i) same = same && ((s[i] | 0x20) == m[i]);
        if (same) return true;
    }
    return false;
}

bool IsUnixMode(std::string_view s) {
    return s.size() >= 10 && std::string_view("-dlbcps").find(s[0]) != std::string_view::npos;
}

// "-rw-r--r-- 1 owner group 1500 Jan 5 12:00 name": the size stands before the month, the name
// after the time or year. The owner or group may be missing.
std::optional<ListingEntry> ParseUnix(std::string_view line) {
    std::string_view rest = line;
    const std::string_view mode = NextField(rest);
    std::string_view previous;
    for (int fields = 0; fields < 6 && !rest.empty(); ++fields) {
        const std::string_view field = NextField(rest);
        if (IsMonth(field) && AllDigits(previous)) {
            const std::string_view day = NextField(rest);
            const std::string_view timeOrYear = NextField(rest);
            std::string_view name = NameAfter(rest);
            if (!AllDigits(day) || timeOrYear.empty() || name.empty()) return std::nullopt;
            if (mode[0] == 'l') name = name.substr(0, name.find(" -> "));
            return ListingEntry{std::string(name), ToSize(previous), mode[0] == 'd'};
        }
        previous = field;
    }
    return std::nullopt;
}

// "01-05-26  12:00PM  1500 name" or "01-05-26  12:00PM  <DIR>  name".
std::optional<ListingEntry> ParseDos(std::string_view line) {
    std::string_view rest = line;
    const std::string_view date = NextField(rest);
    const std::string_view time = NextField(rest);
    const std::string_view sizeOrDir = NextField(rest);
    const std::string_view name = NameAfter(rest);
    if (date.size() < 8 || (date[2] != '-' && date[2] != '/') || time.find(':') == std::string_view::npos ||
        name.empty()) {
        return std::nullopt;
    }
    if (sizeOrDir == "<DIR>") return ListingEntry{std::string(name), 0, true};
    if (!AllDigits(sizeOrDir)) return std::nullopt;
    return ListingEntry{std::string(name), ToSize(sizeOrDir), false};
}

}  // namespace

std::optional<ListingEntry> ParseListingLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    std::string_view rest = line;
    const std::string_view first = NextField(rest);
    if (first.empty()) return std::nullopt;
    return IsUnixMode(first) ? ParseUnix(line) : ParseDos(line);
}

std::vector<ListingEntry> ParseListing(std::string_view text) {
    std::vector<ListingEntry> entries;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        if (auto entry = ParseListingLine(text.substr(0, end))) entries.push_back(std::move(*entry));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return entries;
}

std::optional<ListingEntry> FindEntry(const std::vector<ListingEntry>& entries, std::string_view name) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const ListingEntry& e : entries) {
        if (e.name.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) same = lower(e.name[i]) == lower(name[i]);
        if (same) return e;
    }
    return std::nullopt;
}

}  // namespace skiffs
