#include "platform/os/files.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "wide_text.h"

namespace tessel::os {
namespace {

using win32::Widen;

// Closes the handle when the scope ends.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (valid()) ::CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    // Closes now and tells whether the data went out without an error.
    bool close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

constexpr DWORD kNotRegular = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes) {
    const std::optional<std::wstring> wide = Widen(path);
    if (!wide) return std::nullopt;
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, which the checks below then refuse; without
    // FILE_FLAG_BACKUP_SEMANTICS a folder does not open at all.
    Handle file(::CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid() || ::GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info) || (info.dwFileAttributes & kNotRegular) != 0) {
        return std::nullopt;
    }
    const unsigned long long size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > maxBytes) return std::nullopt;
    try {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(size));
        char chunk[65536];
        for (;;) {
            DWORD count = 0;
            if (!::ReadFile(file.get(), chunk, sizeof chunk, &count, nullptr)) return std::nullopt;
            if (count == 0) return bytes;
            // A file that grows while it is read is held to the same bound.
            if (bytes.size() + count > maxBytes) return std::nullopt;
            bytes.append(chunk, count);
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool PathExists(const std::string& path) {
    const std::optional<std::wstring> wide = Widen(path);
    return wide && ::GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsLinkOrSpecialFile(const std::string& path) {
    const std::optional<std::wstring> wide = Widen(path);
    if (!wide) return false;
    const DWORD attributes = ::GetFileAttributesW(wide->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotRegular) != 0;
}

bool WriteNewFile(const std::string& path, std::string_view bytes) {
    const std::optional<std::wstring> wide = Widen(path);
    if (!wide) return false;
    // CREATE_NEW fails on anything already there, a link included. The file takes the folder's permissions:
    // the private work folder and the state folder are the user's own.
    Handle file(::CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const DWORD block = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 20));
        DWORD count = 0;
        if (!::WriteFile(file.get(), bytes.data() + written, block, &count, nullptr) || count == 0) break;
        written += count;
    }
    // A file cut short (a full disk) must not be used as if it were whole.
    if (file.close() && written == bytes.size()) return true;
    ::DeleteFileW(wide->c_str());
    return false;
}

bool ReplaceFileAtomically(const std::string& from, const std::string& to) {
    const std::optional<std::wstring> wideFrom = Widen(from);
    const std::optional<std::wstring> wideTo = Widen(to);
    return wideFrom && wideTo &&
           ::MoveFileExW(wideFrom->c_str(), wideTo->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path) {
    const std::optional<std::wstring> wide = Widen(path);
    return wide && ::DeleteFileW(wide->c_str()) != 0;
}

bool MakeFolders(const std::string& folder) {
    const std::optional<std::wstring> wide = Widen(folder);
    if (!wide || wide->empty()) return false;
    for (std::size_t at = 0; at <= folder.size(); ++at) {
        if (at < folder.size() && !IsSeparator(folder[at])) continue;
        const std::string part = folder.substr(0, at);
        // A drive ("C:"), the root or the server part of a network path is never made.
        if (part.empty() || part.back() == ':' || IsSeparator(part.back())) continue;
        const std::wstring widePart = *Widen(part);
        if (!::CreateDirectoryW(widePart.c_str(), nullptr) && !IsFolder(widePart)) {
            if (at == folder.size()) return false;
        }
    }
    return IsFolder(*wide);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += '\\';
    path += name;
    return path;
}

std::string_view LastPathComponent(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace tessel::os
