#include "pack/trusted_keys.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "dialog/local_file.h"
#include "pack/package_crypto.h"
#include "platform/os/process.h"

namespace tessel::pack {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kKeySuffix = ".pub";
constexpr std::size_t kMaxKeys = 256;

void LoadKey(const fs::path& path, TrustedKeys& trusted) {
    const std::string file = path.filename().string();
    const std::optional<std::string> pem = ReadFileBytes(path.string(), kMaxKeyFileBytes);
    if (!pem) {
        trusted.errors.push_back(path.string() + ": a link, not a regular file, unreadable, or larger than 16 KiB");
        return;
    }
    std::string error;
    std::optional<std::string> fingerprint = PublicKeyFingerprint(*pem, error);
    if (!fingerprint) {
        trusted.errors.push_back(path.string() + ": " + error);
        return;
    }
    trusted.keys.push_back({file.substr(0, file.size() - kKeySuffix.size()), *pem, std::move(*fingerprint)});
}

}  // namespace

TrustFolder FindTrustFolder(const std::string& commandLineFolder) {
    if (!commandLineFolder.empty()) return {commandLineFolder, true};
    const std::string variable = os::EnvironmentVariable(kTrustedKeysVariable).value_or("");
    if (!variable.empty()) return {variable, true};
    const std::vector<std::string> defaults = DefaultTrustFolders();
    for (const std::string& folder : defaults) {
        std::error_code error;
        if (fs::exists(folder, error)) return {folder, false};
    }
    return {defaults.back(), false};
}

const TrustedKey* TrustedKeys::find(const std::string& fingerprint) const {
    for (const TrustedKey& key : keys) {
        if (key.fingerprint == fingerprint) return &key;
    }
    return nullptr;
}

TrustedKeys LoadTrustedKeys(const TrustFolder& folder) {
    TrustedKeys trusted;
    trusted.folder = folder.folder;
    std::error_code error;
    if (!fs::is_directory(folder.folder, error)) {
        if (folder.named) trusted.errors.push_back(folder.folder + ": not a folder of trusted keys");
        return trusted;
    }
    std::vector<fs::path> files;
    fs::directory_iterator entries(folder.folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (name.size() <= kKeySuffix.size() || !name.ends_with(kKeySuffix)) continue;
        if (files.size() == kMaxKeys) {
            trusted.errors.push_back(folder.folder + ": more than 256 keys");
            return trusted;
        }
        files.push_back(entries->path());
    }
    if (error) {
        trusted.errors.push_back(folder.folder + ": cannot be read (" + error.message() + ")");
        return trusted;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) LoadKey(file, trusted);
    return trusted;
}

}  // namespace tessel::pack
