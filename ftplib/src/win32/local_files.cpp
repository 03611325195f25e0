#include "local_files.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <new>

#include "file_handle.h"
#include "wide_path.h"

namespace skiffs {

namespace {

// One read or write call moves at most this much.
constexpr DWORD kMostPerCall = 1u << 30;

// A handle of path opened for reading when it is a regular file, else an invalid one; its size in size.
HANDLE OpenRegularForReading(const std::string& path, std::uint64_t* size = nullptr) {
    const std::optional<std::wstring> wide = WidePath(path);
    if (!wide) return INVALID_HANDLE_VALUE;
    const HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    if (size != nullptr) *size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    return file;
}

class Win32ReadableFile final : public ReadableFile {
public:
    Win32ReadableFile(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    std::optional<std::size_t> Read(char* buf, std::size_t max) override {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(max, kMostPerCall));
        if (!ReadFile(file_.get(), buf, want, &got, nullptr)) return std::nullopt;
        return static_cast<std::size_t>(got);
    }

private:
    FileHandle file_;
    std::uint64_t size_;
};

}  // namespace

bool WriteAll(HANDLE file, const char* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, kMostPerCall));
        if (!WriteFile(file, data, want, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

std::unique_ptr<ReadableFile> ReadableFile::Open(const std::string& path) {
    std::uint64_t size = 0;
    const HANDLE file = OpenRegularForReading(path, &size);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    std::unique_ptr<ReadableFile> readable(new (std::nothrow) Win32ReadableFile(file, size));
    if (!readable) CloseHandle(file);
    return readable;
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
    const std::optional<std::wstring> wide = WidePath(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!wide || !GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

FileData::FileData(std::size_t size) : size_(size) {
    bytes_.reset(static_cast<char*>(std::malloc(size == 0 ? 1 : size)));
    if (!bytes_) throw std::bad_alloc();
}

void FileData::Free::operator()(char* bytes) const { std::free(bytes); }

bool CopyOverFile(const std::string& source, const std::string& target) {
    const std::optional<std::wstring> from = WidePath(source);
    const std::optional<std::wstring> to = WidePath(target);
    return from && to && CopyFileW(from->c_str(), to->c_str(), FALSE) != 0;
}

bool WriteNewFile(const std::string& target, std::string_view data) {
    const std::optional<std::wstring> wide = WidePath(target);
    if (!wide) return false;
    DeleteFileW(wide->c_str());
    FileHandle to(CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return to.ok() && WriteAll(to.get(), data.data(), data.size()) && to.Close();
}

bool CanReadFile(const std::string& path) { return FileHandle(OpenRegularForReading(path)).ok(); }

bool CanWriteFile(const std::string& path) {
    const std::optional<std::wstring> wide = WidePath(path);
    if (!wide) return false;
    const FileHandle file(CreateFileW(wide->c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.ok() && GetFileType(file.get()) == FILE_TYPE_DISK;
}

}  // namespace skiffs
