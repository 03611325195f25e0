#include "platform/os/held_folder.h"

#include <windows.h>


#include "platform/os/folders.h"
#include "wide_text.h"

namespace tessel::os {
std::optional<HeldFolder> HeldFolder::Make() {
    const std::optional<std::string> name = MakePrivateFolder();
    if (!name) return std::nullopt;
    const std::optional<std::wstring> wide = win32::Widen(*name);
    // Opened without FILE_SHARE_DELETE, the folder can be neither removed nor renamed while it is held; the
    // files in it can still be written and removed.
    const HANDLE held = wide ? ::CreateFileW(wide->c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING,
                                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)
                             : INVALID_HANDLE_VALUE;
    if (held == INVALID_HANDLE_VALUE) {
        RemoveFolderTree(*name);
        return std::nullopt;
    }
    return HeldFolder(*name, *name, reinterpret_cast<std::intptr_t>(held));
}

HeldFolder::~HeldFolder() {
    if (held_ == kNotHeld) return;
    ::CloseHandle(reinterpret_cast<HANDLE>(held_));
    RemoveFolderTree(name_);
}

}  // namespace tessel::os
