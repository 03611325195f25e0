#include "pack/device_path.h"

#include "dialog/cp932.h"

namespace tessel::pack {
namespace {

bool IsDrive(char letter) { return letter == 'C' || letter == 'c' || letter == 'B' || letter == 'b'; }

// Refused in a Windows file name, beside the control bytes.
bool IsForbiddenInName(unsigned char byte) {
    static constexpr std::string_view kForbidden = "<>:\"/|?*";
    return byte < 0x20 || byte == 0x7F || kForbidden.find(static_cast<char>(byte)) != std::string_view::npos;
}

std::optional<std::string> NameFault(std::string_view name) {
    if (name.empty()) return "holds an empty name (two backslashes in a row, or one at the end)";
    if (name == "." || name == "..") return "holds \".\" or \"..\"";
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (IsCp932LeadByte(byte) && i + 1 < name.size()) {
            ++i;
        } else if (IsForbiddenInName(byte)) {
            return "holds a character that Windows refuses in a file name";
        }
    }
    if (name.back() == '.' || name.back() == ' ') return "holds a name that ends with a dot or a blank";
    return std::nullopt;
}

// Splits at the backslashes that are characters, not second bytes.
std::vector<std::string> SplitAtBackslashes(std::string_view path) {
    std::vector<std::string> names(1);
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (IsCp932LeadByte(byte) && i + 1 < path.size()) {
            names.back() += path.substr(i, 2);
            ++i;
        } else if (byte == '\\') {
            names.emplace_back();
        } else {
            names.back() += static_cast<char>(byte);
        }
    }
    return names;
}

}  // namespace

std::optional<std::string> DevicePathFault(std::string_view devicePath) {
    if (devicePath.size() < 4 || !IsDrive(devicePath[0]) || devicePath[1] != ':' || devicePath[2] != '\\') {
        return "is not a Windows path on drive C: or B: (such as C:\\www\\index.htm)";
    }
    const std::vector<std::string> names = SplitAtBackslashes(devicePath.substr(3));
    for (const std::string& name : names) {
        if (auto fault = NameFault(name)) return *fault;
    }
    return std::nullopt;
}

bool IsUnderWebRoot(std::string_view devicePath) {
    const std::string key = CaseFoldKey(devicePath);
    const std::string root = CaseFoldKey(kWebRoot);
    return key.size() > root.size() + 1 && key.starts_with(root) && key[root.size()] == '\\';
}

std::vector<std::string> DevicePathNames(std::string_view devicePath) {
    std::vector<std::string> names = SplitAtBackslashes(devicePath);
    if (!names.empty()) names.front() = CaseFoldKey(names.front());
    return names;
}

std::string CaseFoldKey(std::string_view cp932) {
    std::string key;
    key.reserve(cp932.size());
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        const auto byte = static_cast<unsigned char>(cp932[i]);
        if (IsCp932LeadByte(byte) && i + 1 < cp932.size()) {
            key += cp932.substr(i, 2);
            ++i;
        } else {
            key += static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte);
        }
    }
    return key;
}

}  // namespace tessel::pack
