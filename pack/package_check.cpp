#include "pack/package_check.h"

#include "pack/device_path.h"
#include "pack/entry_check.h"
#include "pack/management_file_check.h"
#include "pack/package_folder_check.h"

namespace tessel::pack {

std::vector<Finding> CheckPackage(const std::string& packageDirectory, PackageScope scope) {
    Findings findings;
    if (scope != PackageScope::Firmware) {
        const std::vector<ListedEntry> entries = CheckManagementFile(packageDirectory, findings);
        const std::vector<std::string> folderNames = PackageFolderNames(packageDirectory, findings);
        const std::set<std::string> usedNames = UsedNames(entries);
        std::set<std::string> packageFiles;
        for (const std::string& name : folderNames) packageFiles.insert(CaseFoldKey(name));
        for (const std::string& name : usedNames) packageFiles.insert(CaseFoldKey(name));
        CheckEntries(packageDirectory, entries, packageFiles, findings);
        CheckPlainFiles(packageDirectory, findings);
        CheckUnreferencedFiles(folderNames, usedNames, findings);
    }
    if (scope != PackageScope::Script) CheckFirmwareFiles(packageDirectory, scope == PackageScope::Firmware, findings);
    return findings.all();
}

bool HasErrors(const std::vector<Finding>& findings) { return CountFindings(findings, Severity::Error) > 0; }

}  // namespace tessel::pack
