#include "platform/os/folders.h"
#include "platform/os/files.h"

#include <windows.h>

#include <filesystem>
#include <random>
#include <system_error>

#include "wide_text.h"

namespace tessel::os {
namespace {

using win32::Narrow;
using win32::Widen;

// The variable's value when it is an absolute path (a drive's "X:\" or a network "\\"), else empty.
std::wstring AbsoluteFromEnvironment(const wchar_t* name) {
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) return {};
        if (length < value.size()) {
            value.resize(length);
            break;
        }
        value.resize(length);
    }
    const bool drive = value.size() >= 3 && value[1] == L':' && (value[2] == L'\\' || value[2] == L'/');
    const bool network = value.size() >= 2 && value[0] == L'\\' && value[1] == L'\\';
    return drive || network ? value : std::wstring();
}

std::string FolderText(std::wstring folder) {
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    return Narrow(folder);
}

}  // namespace

std::string TemporaryFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH) return {};
    return FolderText(std::wstring(path, length));
}

std::optional<std::string> MakePrivateFolder() {
    const std::string parent = TemporaryFolder();
    if (parent.empty()) return std::nullopt;
    std::random_device entropy;
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    // CreateDirectoryW fails on a name that is already there: a fresh name is tried instead, never reused.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "tessel-";
        for (int i = 0; i < 12; ++i) name += kLetters[entropy() % (sizeof kLetters - 1)];
        const std::string folder = parent + "\\" + name;
        if (::CreateDirectoryW(Widen(folder)->c_str(), nullptr)) return folder;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> MakeOwnFolder(const std::string& folder, std::string& why) {
    const std::optional<std::wstring> wide = Widen(folder);
    if (!wide || !MakeFolders(folder)) {
        why = "it cannot be made";
        return std::nullopt;
    }
    // A junction or a link would lead out of the user's profile.
    const DWORD attributes = ::GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        why = "it is a link or not a folder";
        return std::nullopt;
    }
    return folder;
}

void RemoveFolderTree(const std::string& folder) {
    const std::optional<std::wstring> wide = Widen(folder);
    if (!wide) return;
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(*wide), ignored);
}

std::string StateFolder() {
    const std::wstring local = AbsoluteFromEnvironment(L"LOCALAPPDATA");
    return local.empty() ? std::string() : FolderText(local) + "\\Tessel";
}

std::string RuntimeFolder() {
    const std::string state = StateFolder();
    return state.empty() ? std::string() : state + "\\run";
}

std::string ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return Narrow(std::wstring_view(path.data(), length));
        path.resize(path.size() * 2);
    }
}

}  // namespace tessel::os
