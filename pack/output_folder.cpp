#include "pack/output_folder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "dialog/local_file.h"

namespace tessel::pack {
namespace {

bool IsEmptyFolder(const std::string& path) {
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) return false;
    bool empty = true;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            empty = false;
            break;
        }
    }
    ::closedir(folder);
    return empty;
}

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

}  // namespace

std::optional<OutputFolder> OutputFolder::Open(const std::string& path, std::string& error) {
    if (::mkdir(path.c_str(), 0755) == 0) return OutputFolder(path, true);
    if (errno != EEXIST) {
        error = "cannot create the folder " + path;
        return std::nullopt;
    }
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = path + " is there and is no folder";
        return std::nullopt;
    }
    if (!IsEmptyFolder(path)) {
        error = "the folder " + path + " is not empty";
        return std::nullopt;
    }
    return OutputFolder(path, false);
}

bool OutputFolder::write(const std::vector<std::string>& names, std::string_view bytes) {
    if (names.empty()) return false;
    std::string path = path_;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!IsPlainName(names[i])) return false;
        path += '/';
        path += names[i];
        if (i + 1 == names.size()) break;
        if (::mkdir(path.c_str(), 0755) == 0) {
            made_.push_back(path);
            continue;
        }
        struct stat info {};
        if (errno != EEXIST || ::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    }
    if (!WriteNewFile(path, bytes)) return false;
    made_.push_back(path);
    return true;
}

void OutputFolder::discard() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) std::remove(it->c_str());
    made_.clear();
    if (created_) ::rmdir(path_.c_str());
}

}  // namespace tessel::pack
