// Local paths come in as bytes of the system's ANSI code page (code page 932 on a Japanese system);
// the files are opened through the wide-character calls, which know no code page.
#pragma once

#include <optional>
#include <string>

namespace skiffs {

// Nothing when path is not valid text in the ANSI code page.
std::optional<std::wstring> WidePath(const std::string& path);

// The ANSI form of a wide path; empty when the code page cannot hold it.
std::string NarrowPath(const std::wstring& path);

}  // namespace skiffs
