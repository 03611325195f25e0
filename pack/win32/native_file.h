// Files and folders opened as pack's checks need them on Windows: a link (a symbolic link or a junction) in
// the last component is opened as itself, never followed, and then refused by the kind checks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace tessel::pack::win32 {

// Closes the handle when the scope ends, unless it is handed on.
class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(other.release()) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (valid()) ::CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

// The handles of pack's classes are kept as integers in headers every system shares.
inline std::intptr_t ToNative(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }
inline HANDLE FromNative(std::intptr_t native) { return reinterpret_cast<HANDLE>(native); }

// Opens what is at path without following a link there; folders open too. Others may read it (and write it,
// when shareWrite), but nobody can rename or remove it while the handle is open.
HANDLE OpenNoFollow(const std::wstring& path, DWORD access, DWORD disposition, bool shareWrite = false);

// The size of an open regular file on a disk; nullopt for a folder, a link, a device or a pipe.
std::optional<std::uint64_t> RegularFileSize(HANDLE handle);

// True when the handle is of a folder that is no link.
bool IsPlainFolder(HANDLE handle);

// The folder's path as the system resolves it now, wherever it has been moved to.
std::optional<std::wstring> FolderPath(HANDLE folder);

}  // namespace tessel::pack::win32
