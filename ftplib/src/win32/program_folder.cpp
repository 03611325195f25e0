#include "program_folder.h"

#include <windows.h>

#include <string>

namespace skiffs {

void EnterExecutableDirectory() {
    // Long enough for any path the system allows.
    std::wstring exe(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
    if (n == 0 || n >= exe.size()) return;
    exe.resize(n);
    const std::size_t cut = exe.find_last_of(L"\\/:");
    if (cut == std::wstring::npos) return;
    exe.resize(cut + 1);
    SetCurrentDirectoryW(exe.c_str());
}

}  // namespace skiffs
