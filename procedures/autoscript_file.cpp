#include "procedures/autoscript_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/tessel_dlg.h"
#include "procedures/package_files.h"

namespace tessel {

std::string AutoScriptText(UpdateMode mode) {
    std::string text = "Function main()\n{\nsetexport(2, 1);\nputexport(2, 1);\n";
    text += "var fd=fileopen(\"C:\\system\\\\autoscript.wcr\", \"r\");\n";
    if (mode == AutoscriptMoveAside) {
        text += "if(fd>=0){filedelete(\"C:\\system\\\\autoscript.bak\");\n";
        text += "filerename(\"C:\\system\\\\autoscript.wcr\",\"autoscript.bak\");}\n";
    } else {
        text += "if(fd<0)";
        text += "filerename(\"C:\\system\\\\autoscript.bak\",\"autoscript.wcr\");\n";
        text += "else filedelete(\"C:\\system\\\\autoscript.bak\");\n";
    }
    text += "putexport(2, 0);\n}";
    return text;
}

bool CTesselDlg::WriteAutoScriptFile() {
    const std::string path = PackageFilePath(kAutoScriptFile);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    const std::string text = AutoScriptText(mode_);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (file) return true;
    // A script cut short (a full disk) must not be run on the device.
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return false;
}

}  // namespace tessel
