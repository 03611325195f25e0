#include <windows.h>
// After windows.h, which it needs.
#include <winver.h>

#include <vector>

#include "cli/transfer_engine.h"

namespace tessel::cli {

std::string TransferEngineVersion() {
    const wchar_t* const library = L"wininet.dll";
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(library, &ignored);
    std::vector<unsigned char> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !::GetFileVersionInfoW(library, 0, size, info.data()) ||
        !::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr) {
        return "WinInet (version unknown)";
    }
    return "WinInet " + std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) +
           "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

}  // namespace tessel::cli
