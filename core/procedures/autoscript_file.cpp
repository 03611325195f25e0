#include "procedures/autoscript_file.h"

#include "dialog/local_file.h"
#include "dialog/tessel_dlg.h"
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

// A script cut short (a full disk) is removed again: it must not be run on the device.
bool CTesselDlg::WriteAutoScriptFile() {
    const std::optional<std::string> path = workFolder_.fileFor(kAutoScriptFile);
    return path && WriteNewFile(*path, AutoScriptText(mode_));
}

}  // namespace tessel
