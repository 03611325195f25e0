#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dialog/package_folder.h"
#include "dialog/program_directory.h"
#include "gui/win32/command_line.h"
#include "gui/win32/tessel_app.h"
#include "platform/os/folders.h"
#include "platform/os/win32/wide_text.h"
#include "version/tessel_version.h"

namespace {

// The program's arguments in UTF-8, without the program itself.
std::vector<std::string> Arguments() {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(tessel::os::win32::Narrow(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

std::string CurrentFolder() {
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    if (length == 0) return {};
    std::wstring folder(length, L'\0');
    folder.resize(::GetCurrentDirectoryW(length, folder.data()));
    return tessel::os::win32::Narrow(folder);
}

}  // namespace

int main() {
    const tessel::DialogCommandLine commandLine = tessel::ParseDialogCommandLine(Arguments());
    if (!commandLine.error.empty()) {
        std::fprintf(stderr, "tessel: %s\n", commandLine.error.c_str());
        return tessel::kUsageError;
    }
    if (commandLine.version) {
        std::printf("tessel %s\n", std::string(tessel::kTesselVersion).c_str());
        return 0;
    }
    if (commandLine.help) {
        std::fputs(tessel::DialogUsage().c_str(), stdout);
        return 0;
    }
    const std::string programDirectory =
        commandLine.packageFolder
            ? *commandLine.packageFolder
            : tessel::DefaultPackageFolder(tessel::ProgramDirectoryOf(tessel::os::ProgramPath()), CurrentFolder());
    return tessel::CTesselApp().InitInstance(programDirectory, commandLine.ports);
}
