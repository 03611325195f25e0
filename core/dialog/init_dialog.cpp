#include <filesystem>
#include <system_error>

#include "dialog/control_ids.h"
#include "dialog/cp932.h"
#include "dialog/program_directory.h"
#include "dialog/tessel_dlg.h"

namespace tessel {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The transfer library makes the program's folder the current directory, so every local path is absolute.
std::string AbsoluteDirectory(std::string_view directory) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(std::filesystem::path(directory), error);
    if (error) path = std::filesystem::path(directory);
    std::string text = path.lexically_normal().string();
    while (text.size() > 1 && IsSeparator(text.back())) text.pop_back();
    return text;
}

}  // namespace

std::string ProgramDirectoryOf(std::string_view executablePath) {
    for (std::size_t i = executablePath.size(); i > 2; --i) {
        if (IsSeparator(executablePath[i - 1])) return std::string(executablePath.substr(0, i - 1));
    }
    return std::string(executablePath);
}

void CTesselDlg::InitDialog(std::string_view programDirectory) {
    host_.setControlText(kAddressEdit, "192.168.1.200");
    host_.setControlText(kFtpPortEdit, "21");
    consolePort_ = kConsolePort;
    programDirectory_ = AbsoluteDirectory(programDirectory);
    packageDirectory_ = programDirectory_;
    // A package without its management file opens with empty texts and without the move-aside.
    if (ReadUpdateHeader(programDirectory_, header_)) {
        host_.setCaption(Cp932ToUtf8(header_.caption));
        host_.setControlText(kFirmwareVersionEdit, Cp932ToUtf8(header_.firmwareVersion));
        host_.setControlText(kScriptVersionEdit, Cp932ToUtf8(header_.scriptVersion));
        moveFlag_ = header_.moveFlag;
    }
    step_ = kStepStart;
}

}  // namespace tessel
