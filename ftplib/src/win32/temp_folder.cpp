#include "temp_folder.h"

#include <windows.h>

#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

#include "random_name.h"
#include "wide_path.h"

namespace skiffs {

namespace {

// Names tried before giving up, should others exist already.
constexpr int kNameTries = 16;

struct Folder {
    std::mutex mutex;
    std::wstring path;
    std::set<std::string> files;
};

Folder& ProcessFolder() {
    // Left for the process's end, when RemoveEverything may still need it.
    static Folder* folder = new Folder();
    return *folder;
}

void DeleteNamed(const std::string& path) {
    if (const std::optional<std::wstring> wide = WidePath(path)) DeleteFileW(wide->c_str());
}

void RemoveEverything() {
    Folder& folder = ProcessFolder();
    std::lock_guard lock(folder.mutex);
    for (const std::string& file : folder.files) DeleteNamed(file);
    folder.files.clear();
    if (!folder.path.empty()) RemoveDirectoryW(folder.path.c_str());
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// The process's folder, made when there is none yet or the one made before has gone.
bool EnsureFolder(Folder& folder) {
    if (!folder.path.empty() && IsFolder(folder.path)) return true;
    std::wstring base(MAX_PATH + 1, L'\0');
    const DWORD n = GetTempPathW(static_cast<DWORD>(base.size()), base.data());
    if (n == 0 || n > base.size()) return false;
    base.resize(n);
    for (int i = 0; i < kNameTries; ++i) {
        const std::wstring path =
            base + L"skiffs-" + std::to_wstring(GetCurrentProcessId()) + L"-" + RandomNameCharacters(6);
        if (CreateDirectoryW(path.c_str(), nullptr)) {
            static std::once_flag once;
            std::call_once(once, [] { std::atexit(RemoveEverything); });
            folder.path = path;
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

}  // namespace

std::string NewTemporaryFile(std::uint64_t serial) {
    Folder& folder = ProcessFolder();
    std::lock_guard lock(folder.mutex);
    if (!EnsureFolder(folder)) return {};
    const std::string folderName = NarrowPath(folder.path);
    if (folderName.empty()) return {};
    std::string name = folderName + "\\" + std::to_string(serial);
    folder.files.insert(name);
    return name;
}

void RemoveTemporaryFile(const std::string& path) {
    if (path.empty()) return;
    Folder& folder = ProcessFolder();
    std::lock_guard lock(folder.mutex);
    DeleteNamed(path);
    folder.files.erase(path);
}

}  // namespace skiffs
