#include "cli/lock_file.h"

#include <windows.h>

#include <system_error>

#include "platform/os/files.h"
#include "platform/os/win32/wide_text.h"

namespace tessel::cli {

LockAttempt LockFile(const std::string& path) {
    const std::optional<std::wstring> wide = os::win32::Widen(path);
    if (!wide) return {LockResult::Failed, -1, "the path is not valid text"};
    // Others may open the file: only the lock on its first byte says who holds the device.
    const HANDLE file = ::CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {LockResult::Failed, -1, std::system_category().message(static_cast<int>(::GetLastError()))};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        ::CloseHandle(file);
        return {LockResult::Failed, -1, "not a regular file"};
    }
    OVERLAPPED first{};
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &first)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(file);
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return {LockResult::Busy, -1, ""};
        return {LockResult::Failed, -1, std::system_category().message(static_cast<int>(error))};
    }
    return {LockResult::Held, reinterpret_cast<std::intptr_t>(file), ""};
}

// Closing the handle lets go of its lock.
void UnlockFile(std::intptr_t file, const std::string&) { ::CloseHandle(reinterpret_cast<HANDLE>(file)); }

}  // namespace tessel::cli
