#include "pack/win32/native_file.h"

#include <vector>

namespace tessel::pack::win32 {
namespace {

constexpr DWORD kNotRegular = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;

std::optional<BY_HANDLE_FILE_INFORMATION> InfoOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
    return info;
}

}  // namespace

HANDLE OpenNoFollow(const std::wstring& path, DWORD access, DWORD disposition, bool shareWrite) {
    // FILE_FLAG_BACKUP_SEMANTICS: a folder opens too; FILE_FLAG_OPEN_REPARSE_POINT: a link opens as itself.
    const DWORD share = FILE_SHARE_READ | (shareWrite ? FILE_SHARE_WRITE : 0);
    return ::CreateFileW(path.c_str(), access, share, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

std::optional<std::uint64_t> RegularFileSize(HANDLE handle) {
    if (::GetFileType(handle) != FILE_TYPE_DISK) return std::nullopt;
    const std::optional<BY_HANDLE_FILE_INFORMATION> info = InfoOf(handle);
    if (!info || (info->dwFileAttributes & kNotRegular) != 0) return std::nullopt;
    return (static_cast<std::uint64_t>(info->nFileSizeHigh) << 32) | info->nFileSizeLow;
}

bool IsPlainFolder(HANDLE handle) {
    const std::optional<BY_HANDLE_FILE_INFORMATION> info = InfoOf(handle);
    return info && (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (info->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

std::optional<std::wstring> FolderPath(HANDLE folder) {
    std::vector<wchar_t> path(MAX_PATH);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = ::GetFinalPathNameByHandleW(folder, path.data(), static_cast<DWORD>(path.size()),
                                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return std::nullopt;
        if (length < path.size()) return std::wstring(path.data(), length);
        // Too small: length is the size it needs, with the terminating NUL.
        path.resize(length);
    }
    return std::nullopt;
}

}  // namespace tessel::pack::win32
