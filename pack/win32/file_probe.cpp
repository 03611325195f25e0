#include "pack/file_probe.h"

#include "pack/win32/native_file.h"
#include "platform/os/win32/wide_text.h"

namespace tessel::pack {

FileProbe ProbeFile(const std::string& path, std::uintmax_t maxBytes) {
    FileProbe probe;
    const std::optional<std::wstring> wide = os::win32::Widen(path);
    if (!wide) {
        probe.state = FileState::Unreadable;
        return probe;
    }
    const win32::Handle file(win32::OpenNoFollow(*wide, GENERIC_READ, OPEN_EXISTING));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        probe.state = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileState::Missing
                                                                                       : FileState::Unreadable;
        return probe;
    }
    const std::optional<std::uint64_t> size = win32::RegularFileSize(file.get());
    if (!size) {
        probe.state = FileState::NotRegular;
        return probe;
    }
    probe.size = *size;
    probe.state = probe.size > maxBytes ? FileState::TooLarge : FileState::Readable;
    return probe;
}

}  // namespace tessel::pack
