#include "platform/os/process.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdlib>

#include "wide_text.h"

namespace tessel::os {

std::string ProcessThreadTag() {
    return std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetCurrentThreadId());
}

std::vector<std::string> ProgramArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(win32::Narrow(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

// The C runtime's copy of the environment, which getenv reads; _putenv_s passes it on to the system's too.
void SetProcessEnvironment(const std::string& name, const std::string& value) {
    ::_putenv_s(name.c_str(), value.c_str());
}

}  // namespace tessel::os
