#include "ftp_listing.h"

#include <algorithm>
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

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "12:00" or "12:00:59", with an optional fraction of a second.
bool IsClockTime(std::string_view s) {
    const std::size_t colon = s.find(':');
    if (colon == 0 || colon > 2 || colon == std::string_view::npos) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!IsDigit(s[i]) && s[i] != ':' && s[i] != '.') return false;
    }
    return s.size() >= colon + 3;
}

bool IsDayOfMonth(std::string_view s) { return AllDigits(s) && s.size() <= 2; }

bool IsYear(std::string_view s) { return AllDigits(s) && s.size() == 4; }

// "2024-01-05".
bool IsIsoDate(std::string_view s) {
    return s.size() == 10 && s[4] == '-' && s[7] == '-' && AllDigits(s.substr(0, 4)) && AllDigits(s.substr(5, 2)) &&
           AllDigits(s.substr(8, 2));
}

// "+0900" or "-0500" after a full ISO time.
bool IsZone(std::string_view s) { return s.size() == 5 && (s[0] == '+' || s[0] == '-') && AllDigits(s.substr(1)); }

bool IsUnixMode(std::string_view s) {
    return s.size() >= 10 && std::string_view("-dlbcps").find(s[0]) != std::string_view::npos;
}

// The fields of a line and where each starts, so that the name can be taken from the line as sent.
struct Fields {
    std::vector<std::string_view> text;
    std::vector<std::size_t> start;
};

Fields SplitFields(std::string_view line) {
    Fields fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size()) break;
        const std::size_t end = std::min(line.find(' ', i), line.size());
        fields.text.push_back(line.substr(i, end - i));
        fields.start.push_back(i);
        i = end;
    }
    return fields;
}

// Number of fields the date takes when one starts at field i: "Jan 5 12:00", "Jan 5 2024",
// "2024-01-05 12:00", "2024-01-05 12:00:00.000 +0000"; 0 when none starts there.
std::size_t DateFieldsAt(const Fields& f, std::size_t i) {
    const auto at = [&](std::size_t k) { return i + k < f.text.size() ? f.text[i + k] : std::string_view(); };
    if (IsMonth(at(0)) && IsDayOfMonth(at(1)) && (IsClockTime(at(2)) || IsYear(at(2)))) return 3;
    // A zone follows only a time with seconds ("--full-time").
    if (IsIsoDate(at(0)) && IsClockTime(at(1))) return (at(1).size() > 5 && IsZone(at(2))) ? 3 : 2;
    return 0;
}

// "-rw-r--r-- 1 owner group 1500 Jan 5 12:00 name": the size stands just before the date, the
// name after it. Owners and groups are names or numbers, either may be missing, and either may look
// like a month or a date: of the places where a size and a date could stand, the one that leaves
// links, owner and group before the size is taken, else the one that leaves two fields, else the
// first. The name follows the date after one blank, so that blanks within it are kept.
std::optional<ListingEntry> ParseUnix(std::string_view line) {
    const Fields f = SplitFields(line);
    std::optional<std::size_t> chosen;
    std::size_t chosenDate = 0;
    int chosenRank = 0;
    for (std::size_t size = 1; size + 1 < f.text.size(); ++size) {
        if (!AllDigits(f.text[size])) continue;
        const std::size_t date = DateFieldsAt(f, size + 1);
        if (date == 0) continue;
        // A name must follow the date, after one blank; it may be made of blanks alone.
        const std::size_t last = size + date;
        if (f.start[last] + f.text[last].size() + 1 >= line.size()) continue;
        const int rank = size == 4 ? 3 : (size == 3 ? 2 : 1);
        if (rank > chosenRank) {
            chosen = size;
            chosenDate = date;
            chosenRank = rank;
        }
    }
    if (!chosen) return std::nullopt;
    const std::size_t last = *chosen + chosenDate;
    std::string_view name = line.substr(f.start[last] + f.text[last].size() + 1);
    if (line[0] == 'l') name = name.substr(0, name.find(" -> "));
    if (name.empty()) return std::nullopt;
    return ListingEntry{std::string(name), ToSize(f.text[*chosen]), line[0] == 'd'};
}

// "01-05-26  12:00PM  1500 name", "01-05-2026  13:00  <DIR>  name".
std::optional<ListingEntry> ParseDos(std::string_view line) {
    std::string_view rest = line;
    const std::string_view date = NextField(rest);
    const std::string_view time = NextField(rest);
    std::string_view sizeOrDir = NextField(rest);
    // "12:00 PM" as two fields.
    if (sizeOrDir == "AM" || sizeOrDir == "PM") sizeOrDir = NextField(rest);
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
    // Some servers indent their lines; the fields start at the first one that is not blank.
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
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
