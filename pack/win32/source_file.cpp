#include "pack/source_file.h"

#include <utility>
#include <vector>

#include "pack/win32/native_file.h"
#include "platform/os/win32/wide_text.h"

namespace tessel::pack {
namespace {

// One name of the relative path: on Windows a backslash would be a separator the walk does not see, and a
// colon would name a drive or a stream.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != ".." && name.find_first_of("\\:") == std::string::npos;
}

}  // namespace

std::optional<SourceFile> SourceFile::Open(const std::string& folder, const std::string& relative,
                                           std::uintmax_t maxBytes) {
    const std::optional<std::wstring> base = os::win32::Widen(folder);
    if (!base || relative.empty()) return std::nullopt;
    // The manifest's own folder is taken as the user gave it; below it, no component is a link. Each folder on
    // the way stays open until the file is: while it is, nobody can rename it or put a link in its place.
    std::vector<win32::Handle> folders;
    folders.emplace_back(::CreateFileW(base->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folders.back().valid()) return std::nullopt;
    std::wstring path = *base;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = relative.find('/', start);
        const std::string name = relative.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        const bool last = slash == std::string::npos;
        if (!(name.empty() || name == ".") || last) {
            const std::optional<std::wstring> wideName = os::win32::Widen(name);
            if (!IsPlainName(name) || !wideName) return std::nullopt;
            path += L"\\" + *wideName;
            win32::Handle opened(win32::OpenNoFollow(path, last ? GENERIC_READ : 0, OPEN_EXISTING));
            if (!opened.valid()) return std::nullopt;
            if (last) {
                const std::optional<std::uint64_t> size = win32::RegularFileSize(opened.get());
                if (!size || *size > maxBytes) return std::nullopt;
                return SourceFile(win32::ToNative(opened.release()), *size);
            }
            if (!win32::IsPlainFolder(opened.get())) return std::nullopt;
            folders.push_back(std::move(opened));
        }
        start = slash + 1;
    }
}

SourceFile::SourceFile(SourceFile&& other) noexcept
    : file_(std::exchange(other.file_, win32::ToNative(INVALID_HANDLE_VALUE))), size_(other.size_),
      read_(other.read_) {}

SourceFile::~SourceFile() { win32::Handle closing(win32::FromNative(file_)); }

bool SourceFile::read(std::string& chunk, std::size_t max) {
    // One ReadFile takes at most 4 GiB.
    chunk.resize(std::min<std::size_t>(max, MAXDWORD));
    DWORD count = 0;
    if (!::ReadFile(win32::FromNative(file_), chunk.data(), static_cast<DWORD>(chunk.size()), &count, nullptr)) {
        return false;
    }
    chunk.resize(count);
    read_ += count;
    // A file that grows while it is read is held to the size it was checked with.
    return read_ <= size_;
}

}  // namespace tessel::pack
