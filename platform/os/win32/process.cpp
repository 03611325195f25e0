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

std::optional<std::string> EnvironmentVariable(const std::string& name) {
    const std::optional<std::wstring> wideName = win32::Widen(name);
    if (!wideName) return std::nullopt;
    // The size the value needs may change between the calls when another thread sets it: ask again then.
    std::wstring value(64, L'\0');
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD length =
            ::GetEnvironmentVariableW(wideName->c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) {
            if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        if (length < value.size()) {
            value.resize(length);
            return win32::Narrow(value);
        }
        value.assign(length, L'\0');
    }
}

// The C runtime's copies of the environment, which getenv reads, and through them the system's, which
// EnvironmentVariable reads: _wputenv_s sets all of them, from UTF-16, so that no character is lost on the way.
void SetProcessEnvironment(const std::string& name, const std::string& value) {
    const std::optional<std::wstring> wideName = win32::Widen(name);
    const std::optional<std::wstring> wideValue = win32::Widen(value);
    if (wideName && wideValue) ::_wputenv_s(wideName->c_str(), wideValue->c_str());
}

// An empty value removes the variable.
void UnsetProcessEnvironment(const std::string& name) {
    if (const std::optional<std::wstring> wideName = win32::Widen(name)) ::_wputenv_s(wideName->c_str(), L"");
}

}  // namespace tessel::os
