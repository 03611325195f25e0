#include "part_file.h"

#include <windows.h>

#include <new>

#include "file_handle.h"
#include "random_name.h"
#include "wide_path.h"

namespace skiffs {

namespace {

// Names tried before giving up, should others exist already.
constexpr int kNameTries = 16;

class Win32PartFile final : public PartFile {
public:
    Win32PartFile(std::wstring target, std::wstring path, HANDLE file)
        : target_(std::move(target)), path_(std::move(path)), file_(file) {}

    ~Win32PartFile() override {
        if (file_.ok()) file_.Close();
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }
    Win32PartFile(const Win32PartFile&) = delete;
    Win32PartFile& operator=(const Win32PartFile&) = delete;

    bool Write(std::string_view bytes) override { return WriteAll(file_.get(), bytes.data(), bytes.size()); }

    bool Commit() override {
        if (!file_.Close() || !MoveFileExW(path_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
        path_.clear();
        return true;
    }

private:
    std::wstring target_;
    std::wstring path_;
    FileHandle file_;
};

}  // namespace

std::unique_ptr<PartFile> PartFile::Create(const std::string& target) {
    const std::optional<std::wstring> wide = WidePath(target);
    if (!wide) return nullptr;
    for (int i = 0; i < kNameTries; ++i) {
        std::wstring path = *wide + L".part-" + RandomNameCharacters(6);
        const HANDLE file =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return nullptr;
        }
        std::unique_ptr<PartFile> part(new (std::nothrow) Win32PartFile(*wide, path, file));
        if (!part) {
            CloseHandle(file);
            DeleteFileW(path.c_str());
        }
        return part;
    }
    return nullptr;
}

}  // namespace skiffs
