#include <cstdio>
#include <optional>
#include <set>

#include "dialog/cp932.h"
#include "dialog/local_file.h"
#include "dialog/management_file_syntax.h"
#include "dialog/update_management_file.h"
#include "pack/device_path.h"
#include "pack/package_build.h"
#include "pack/source_file.h"
#include "procedures/package_files.h"

namespace tessel::pack {
namespace {

// A transparent image of one pixel, for a package without a spacer of its own.
constexpr std::string_view kOnePixelGif{
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF\x21\xF9\x04\x01\x00\x00\x00\x00"
    "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B",
    43};

// Firmware images are far larger than web files.
constexpr std::size_t kMaxFirmwareFileBytes = 256 * 1024 * 1024;

constexpr std::string_view kTags[] = {kCaptionTag, kFirmwareVersionTag, kScriptVersionTag, kActionTag, kKeyTag,
                                      kEntryTag};

bool HasControlByte(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    }
    return false;
}

// A path below the manifest's folder: relative, without "..".
bool StaysInFolder(const std::string& relative) {
    if (relative.empty() || relative.front() == '/') return false;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos) end = relative.size();
        if (relative.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class Composer {
public:
    Composer(const Manifest& manifest, const std::string& sourceFolder)
        : manifest_(manifest), sourceFolder_(sourceFolder) {}

    ComposedPackage compose() {
        // Before any source is looked at: a manifest far beyond what a package may hold is refused at once.
        if (manifest_.webFiles.size() > kMaxListedFiles) {
            fail("the manifest lists " + std::to_string(manifest_.webFiles.size()) + " web files, more than " +
                 std::to_string(kMaxListedFiles));
            return std::move(package_);
        }
        std::string management;
        addLine(management, kCaptionTag, text("caption", manifest_.caption));
        addLine(management, kFirmwareVersionTag, text("firmware_version", manifest_.firmwareVersion));
        const std::string scriptVersion = text("script_version", manifest_.scriptVersion);
        addLine(management, kScriptVersionTag, scriptVersion);
        if (manifest_.move) addLine(management, kActionTag, "MOVE");
        char key[8];
        std::snprintf(key, sizeof key, "%02X", manifest_.key);
        addLine(management, kKeyTag, key);
        reserveNames();
        std::vector<PackageFile> scrambled;
        for (std::size_t i = 0; i < manifest_.webFiles.size(); ++i) {
            addWebFile(i, management, scrambled);
        }
        package_.files.push_back({std::string(kUpdateManagementFileName), management, std::nullopt});
        for (PackageFile& file : scrambled) package_.files.push_back(std::move(file));
        addPlainFile(kVersionTextFile, manifest_.versionText, "version_text", scriptVersion + "\r\n");
        addPlainFile(kSpacerImageFile, manifest_.spacerImage, "spacer", std::string(kOnePixelGif));
        if (manifest_.firmware) {
            addSource(kFirmwareImageFile, manifest_.firmware->image, "firmware image");
            addSource(kFirmwareDataFile, manifest_.firmware->data, "firmware data");
            addSource(kVersionScriptFile, manifest_.firmware->versionScript, "firmware version_script");
        }
        return std::move(package_);
    }

private:
    void fail(std::string error) { package_.errors.push_back(std::move(error)); }

    static void addLine(std::string& management, std::string_view tag, const std::string& value) {
        management += tag;
        management += ' ';
        management += value;
        management += "\r\n";
    }

    // The manifest's text in code page 932, fit to stand on a line of its own.
    std::string text(const std::string& what, const std::string& utf8) {
        const std::optional<std::string> cp932 = Utf8ToCp932(utf8);
        if (!cp932) {
            fail(what + " \"" + utf8 + "\" holds a character that code page 932 cannot hold");
            return {};
        }
        if (HasControlByte(*cp932)) fail(what + " holds a control character or a line end");
        for (const std::string_view tag : kTags) {
            if (HasTag(*cp932, tag)) fail(what + " holds " + std::string(tag) + ", which the updater reads as a tag");
        }
        return *cp932;
    }

    // A name that stands between the commas of a file entry line.
    std::string name(const std::string& what, const std::string& utf8) {
        const std::string cp932 = text(what, utf8);
        if (cp932.find(',') != std::string::npos) fail(what + " \"" + utf8 + "\" holds a comma");
        if (!IsPlainFileName(cp932)) fail(what + " \"" + utf8 + "\" is not a plain file name");
        return cp932;
    }

    std::optional<PackageSource> source(const std::string& what, const std::string& relative, std::size_t maxBytes,
                                        std::uint8_t key = 0) {
        if (!StaysInFolder(relative)) {
            fail(what + " \"" + relative + "\" must be a path below the manifest's folder, without \"..\"");
            return std::nullopt;
        }
        if (!SourceFile::Open(sourceFolder_, relative, maxBytes)) {
            fail(what + " \"" + relative + "\" cannot be read: missing, a link, not a regular file, or larger than " +
                 std::to_string(maxBytes / (1024 * 1024)) + " MiB");
            return std::nullopt;
        }
        return PackageSource{relative, maxBytes, key};
    }

    // Names the manifest gives or the package needs, which a chosen scrambled name must not take.
    void reserveNames() {
        for (const std::string_view fixed : {kUpdateManagementFileName, kVersionTextFile, kSpacerImageFile,
                                             kFirmwareImageFile, kFirmwareDataFile, kVersionScriptFile}) {
            taken_.insert(CaseFoldKey(fixed));
        }
        for (const ManifestWebFile& file : manifest_.webFiles) {
            if (file.scrambledName.empty()) continue;
            const std::optional<std::string> cp932 = Utf8ToCp932(file.scrambledName);
            if (cp932 && !taken_.insert(CaseFoldKey(*cp932)).second) {
                fail("scrambled name \"" + file.scrambledName + "\" names another file of the package too");
            }
        }
    }

    std::string chosenScrambledName() {
        for (;;) {
            char candidate[32];
            std::snprintf(candidate, sizeof candidate, "w%03zu.dat", ++lastChosen_);
            if (taken_.insert(CaseFoldKey(candidate)).second) return candidate;
        }
    }

    void addWebFile(std::size_t index, std::string& management, std::vector<PackageFile>& scrambled) {
        const ManifestWebFile& file = manifest_.webFiles[index];
        const std::string what = "web file " + std::to_string(index + 1);
        const std::string plain =
            name(what + " plain_name", file.plainName.empty() ? BaseName(file.source) : file.plainName);
        const std::string scrambledName =
            file.scrambledName.empty() ? chosenScrambledName() : name(what + " scrambled_name", file.scrambledName);
        const std::string devicePath = text(what + " device_path", file.devicePath);
        if (const auto fault = DevicePathFault(devicePath))
            fail(what + " device_path \"" + file.devicePath + "\" " + *fault);
        std::optional<PackageSource> scrambledSource =
            source(what + " source", file.source, kMaxReadFileBytes, manifest_.key);
        if (!scrambledSource) return;
        addLine(management, kEntryTag, scrambledName + "," + plain + "," + devicePath);
        scrambled.push_back({scrambledName, {}, std::move(scrambledSource)});
    }

    void addPlainFile(std::string_view name, const std::string& relative, const std::string& what, std::string made) {
        if (relative.empty()) {
            package_.files.push_back({std::string(name), std::move(made), std::nullopt});
        } else {
            addSource(name, relative, what);
        }
    }

    void addSource(std::string_view name, const std::string& relative, const std::string& what) {
        if (std::optional<PackageSource> copied = source(what, relative, kMaxFirmwareFileBytes)) {
            package_.files.push_back({std::string(name), {}, std::move(copied)});
        }
    }

    const Manifest& manifest_;
    const std::string& sourceFolder_;
    ComposedPackage package_;
    std::set<std::string> taken_;
    std::size_t lastChosen_ = 0;
};

}  // namespace

ComposedPackage ComposePackage(const Manifest& manifest, const std::string& sourceFolder) {
    return Composer(manifest, sourceFolder).compose();
}

}  // namespace tessel::pack
