#include "wide_path.h"

#include <windows.h>

#include <climits>

namespace skiffs {

std::optional<std::wstring> WidePath(const std::string& path) {
    if (path.empty()) return std::wstring();
    if (path.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    const int length = static_cast<int>(path.size());
    const int needed = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), length, nullptr, 0);
    if (needed <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), length, wide.data(), needed) != needed) {
        return std::nullopt;
    }
    // A NUL inside would cut the name short where the system reads it.
    if (wide.find(L'\0') != std::wstring::npos) return std::nullopt;
    return wide;
}

std::string NarrowPath(const std::wstring& path) {
    if (path.empty() || path.size() > static_cast<std::size_t>(INT_MAX)) return {};
    const int length = static_cast<int>(path.size());
    BOOL lost = FALSE;
    const int needed =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.data(), length, nullptr, 0, nullptr, &lost);
    if (needed <= 0 || lost) return {};
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.data(), length, narrow.data(), needed, nullptr, &lost);
    return lost ? std::string() : narrow;
}

}  // namespace skiffs
