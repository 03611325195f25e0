#include "pack/output_folder.h"

#include <utility>

#include "pack/win32/native_file.h"
#include "platform/os/win32/wide_text.h"

namespace tessel::pack {
namespace {

using win32::FromNative;
using win32::Handle;
using win32::ToNative;

const std::intptr_t kNone = ToNative(INVALID_HANDLE_VALUE);

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The folder that holds path, and path's last name.
std::pair<std::string, std::string> SplitPath(std::string path) {
    while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
    const std::size_t separator = path.find_last_of("/\\");
    if (separator == std::string::npos) return {".", path};
    // "C:\out" lies in "C:\", "\out" in "\".
    const bool root = separator == 0 || (separator == 2 && path[1] == ':');
    return {path.substr(0, root ? separator + 1 : separator), path.substr(separator + 1)};
}

// The path of name in the folder held open, wherever the folder is now.
std::optional<std::wstring> ChildPath(std::intptr_t folder, const std::string& name) {
    const std::optional<std::wstring> folderPath = win32::FolderPath(FromNative(folder));
    const std::optional<std::wstring> wideName = os::win32::Widen(name);
    if (!folderPath || !wideName) return std::nullopt;
    return *folderPath + L"\\" + *wideName;
}

bool IsEmptyFolder(std::intptr_t folder) {
    const std::optional<std::wstring> pattern = ChildPath(folder, "*");
    if (!pattern) return false;
    WIN32_FIND_DATAW entry{};
    const HANDLE search = ::FindFirstFileW(pattern->c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    bool empty = true;
    do {
        const std::wstring_view name = entry.cFileName;
        if (name != L"." && name != L"..") empty = false;
    } while (empty && ::FindNextFileW(search, &entry));
    ::FindClose(search);
    return empty;
}

// A folder held open: others may read and write in it, but nobody can rename it, remove it or put a link in
// its place while the handle is open.
std::intptr_t OpenFolder(const std::wstring& path) {
    Handle folder(win32::OpenNoFollow(path, 0, OPEN_EXISTING, /*shareWrite=*/true));
    if (!folder.valid() || !win32::IsPlainFolder(folder.get())) return kNone;
    return ToNative(folder.release());
}

void Close(std::intptr_t& handle) { Handle closing(FromNative(std::exchange(handle, kNone))); }

}  // namespace

OutputFolder::OutputFolder(std::string path, std::intptr_t parent, std::intptr_t folder, bool created)
    : path_(std::move(path)), parent_(parent), folder_(folder), created_(created) {}

OutputFolder::OutputFolder(OutputFolder&& other) noexcept
    : path_(std::move(other.path_)),
      parent_(std::exchange(other.parent_, kNone)),
      folder_(std::exchange(other.folder_, kNone)),
      created_(other.created_),
      made_(std::move(other.made_)),
      opened_(std::move(other.opened_)) {
    other.opened_.clear();
}

OutputFolder::~OutputFolder() {
    for (auto& [ignored, handle] : opened_) Close(handle);
    Close(folder_);
    Close(parent_);
}

// A name within one folder: no separator, and no colon, which would name a drive or a stream.
bool OutputFolder::IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::optional<OutputFolder> OutputFolder::Open(const std::string& path, std::string& error) {
    const auto [parentPath, name] = SplitPath(path);
    // "." or "..": a folder that is there already, taken as it is.
    const bool named = IsPlainName(name);
    const std::optional<std::wstring> widePath = os::win32::Widen(path);
    const std::optional<std::wstring> wideParent = os::win32::Widen(parentPath);
    const std::intptr_t parent = named && wideParent ? OpenFolder(*wideParent) : kNone;
    if (!widePath || (named && parent == kNone)) {
        error = "cannot create the folder " + path;
        return std::nullopt;
    }
    const std::optional<std::wstring> inParent = named ? ChildPath(parent, name) : widePath;
    const bool created = named && inParent && ::CreateDirectoryW(inParent->c_str(), nullptr);
    if (named && !created && (!inParent || ::GetLastError() != ERROR_ALREADY_EXISTS)) {
        Handle closing(FromNative(parent));
        error = "cannot create the folder " + path;
        return std::nullopt;
    }
    const std::intptr_t folder = OpenFolder(*inParent);
    OutputFolder output(path, parent, folder, created);
    if (folder == kNone) {
        error = path + " is there and is no folder";
        return std::nullopt;
    }
    if (!IsEmptyFolder(folder)) {
        error = "the folder " + path + " is not empty";
        return std::nullopt;
    }
    return output;
}

std::optional<std::intptr_t> OutputFolder::enter(std::intptr_t parent, const std::string& name) {
    const std::optional<std::wstring> path = ChildPath(parent, name);
    if (!path) return std::nullopt;
    const bool made = ::CreateDirectoryW(path->c_str(), nullptr);
    if (!made && ::GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
    if (made) made_.push_back({parent, name, true});
    const std::intptr_t folder = OpenFolder(*path);
    if (folder == kNone) return std::nullopt;
    return folder;
}

std::optional<std::intptr_t> OutputFolder::create(const std::vector<std::string>& names) {
    const std::optional<std::intptr_t> found = folderFor(names);
    if (!found) return std::nullopt;
    const std::intptr_t folder = *found;
    const std::string& name = names.back();
    const std::optional<std::wstring> path = IsPlainName(name) ? ChildPath(folder, name) : std::nullopt;
    if (!path) return std::nullopt;
    const HANDLE file = ::CreateFileW(path->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    made_.push_back({folder, name, false});
    return ToNative(file);
}

bool OutputFolder::File::append(std::string_view bytes) {
    while (!failed_ && !bytes.empty()) {
        const std::string_view piece = bytes.substr(0, MAXDWORD);
        DWORD count = 0;
        if (!::WriteFile(FromNative(file_), piece.data(), static_cast<DWORD>(piece.size()), &count, nullptr) ||
            count == 0) {
            failed_ = true;
        } else {
            bytes.remove_prefix(count);
        }
    }
    return !failed_;
}

bool OutputFolder::finish(std::intptr_t file, bool filled) {
    // A file cut short (a full disk) must not stay as if it were whole.
    const bool closed = ::CloseHandle(FromNative(file)) != 0;
    if (filled && closed) return true;
    const Made made = made_.back();
    made_.pop_back();
    if (const std::optional<std::wstring> path = ChildPath(made.folder, made.name)) ::DeleteFileW(path->c_str());
    return false;
}

void OutputFolder::discard() {
    // Where everything is, told while its folder is still held; a held folder cannot be removed.
    std::vector<std::pair<std::wstring, bool>> paths;
    for (const Made& made : made_) {
        if (const std::optional<std::wstring> path = ChildPath(made.folder, made.name)) {
            paths.emplace_back(*path, made.isFolder);
        }
    }
    const std::optional<std::wstring> own = created_ ? ChildPath(parent_, SplitPath(path_).second) : std::nullopt;
    for (auto& [ignored, handle] : opened_) Close(handle);
    opened_.clear();
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        if (it->second) ::RemoveDirectoryW(it->first.c_str());
        else ::DeleteFileW(it->first.c_str());
    }
    made_.clear();
    if (own) {
        Close(folder_);
        ::RemoveDirectoryW(own->c_str());
    }
}

}  // namespace tessel::pack
