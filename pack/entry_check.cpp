#include "pack/entry_check.h"

#include <map>
#include <optional>

#include "dialog/cp932.h"
#include "dialog/local_file.h"
#include "dialog/management_file_syntax.h"
#include "pack/device_path.h"
#include "pack/file_probe.h"

namespace tessel::pack {
namespace {

const std::string kLimit = std::to_string(kMaxPathBytes);

class EntryChecker {
public:
    EntryChecker(const std::string& packageDirectory, const std::set<std::string>& packageFiles, Findings& findings)
        : directory_(packageDirectory), packageFiles_(packageFiles), findings_(findings) {}

    void check(const ListedEntry& entry) {
        line_ = entry.line;
        if (!entry.text.starts_with(kEntryTag)) {
            error("the tag #L# does not begin the line: the fields are cut from byte 4 on");
        } else if (entry.text.size() > kEntryTag.size() && entry.text[kEntryTag.size()] != ' ') {
            error("no blank after #L#: the scrambled name loses its first character");
        }
        const UpdateFileEntry& fields = entry.fields;
        if (fields.plainName.empty() && fields.devicePath == entry.text) {
            error("does not hold three fields separated by commas: scrambled name, plain name, device path");
            return;
        }
        const bool scrambledUsable = checkName("scrambled name", fields.scrambledName);
        const bool plainUsable = checkName("plain name", fields.plainName);
        checkDevicePath(fields.devicePath);
        if (plainUsable) checkPlainNameIsOwn(fields.plainName);
        if (scrambledUsable) checkScrambledFile(fields.scrambledName);
    }

private:
    void error(std::string message) { findings_.error(std::string(kUpdateManagementFileName), line_, std::move(message)); }
    void warning(std::string message) { findings_.warning(std::string(kUpdateManagementFileName), line_, std::move(message)); }

    // Whether a file of that name can be opened in the package folder or the work folder.
    bool checkName(const std::string& field, const std::string& name) {
        if (name.empty()) {
            error("the " + field + " is empty");
            return false;
        }
        if (name.size() > kMaxPathBytes) {
            error("the " + field + " is " + std::to_string(name.size()) + " bytes long, more than " + kLimit);
            return false;
        }
        if (!IsPlainFileName(name)) {
            error("the " + field + " " + Quoted(name) +
                  " is not a plain file name: it is \".\" or holds a path separator, \"..\" or a control byte");
            return false;
        }
        if (PackagePath(directory_, name).size() > kMaxPathBytes) {
            error("the path of the " + field + " " + Quoted(name) + " in the package is longer than " + kLimit +
                  " bytes");
            return false;
        }
        return true;
    }

    void checkDevicePath(const std::string& path) {
        if (path.empty()) return error("the device path is empty");
        if (path.size() > kMaxPathBytes) {
            return error("the device path is " + std::to_string(path.size()) + " bytes long, more than " + kLimit);
        }
        if (const auto fault = DevicePathFault(path)) return error("the device path " + Quoted(path) + " " + *fault);
        if (!IsUnderWebRoot(path)) warning("the device path " + Quoted(path) + " is outside C:\\www");
        const auto [earlier, added] = devicePaths_.emplace(CaseFoldKey(path), line_);
        if (!added) warning("goes to the same device file as line " + std::to_string(earlier->second));
    }

    void checkPlainNameIsOwn(const std::string& name) {
        const auto [earlier, added] = plainNames_.emplace(name, line_);
        if (!added) {
            error("the plain name " + Quoted(name) + " is also the plain name of line " +
                  std::to_string(earlier->second) + ": its copy cannot be made twice");
        }
        if (packageFiles_.count(CaseFoldKey(name)) != 0) {
            warning("the plain name " + Quoted(name) + " is also the name of a file of the package");
        }
    }

    void checkScrambledFile(const std::string& name) {
        const FileProbe probe = ProbeFile(PackagePath(directory_, name), kMaxReadFileBytes);
        if (probe.state != FileState::Readable) {
            findings_.error(Cp932ToUtf8(name), line_, FileStateText(probe.state, kMaxReadFileBytes));
        }
    }

    const std::string& directory_;
    const std::set<std::string>& packageFiles_;
    Findings& findings_;
    std::size_t line_ = 0;
    std::map<std::string, std::size_t> plainNames_;
    std::map<std::string, std::size_t> devicePaths_;
};

}  // namespace

void CheckEntries(const std::string& packageDirectory, const std::vector<ListedEntry>& entries,
                  const std::set<std::string>& packageFiles, Findings& findings) {
    EntryChecker checker(packageDirectory, packageFiles, findings);
    for (const ListedEntry& entry : entries) checker.check(entry);
}

}  // namespace tessel::pack
