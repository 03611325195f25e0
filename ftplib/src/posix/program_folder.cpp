#include "program_folder.h"

#include <unistd.h>

#include <array>
#include <string>

namespace skiffs {

void EnterExecutableDirectory() {
    std::array<char, 4096> exe{};
    const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    if (n <= 0) return;
    std::string dir(exe.data(), static_cast<std::size_t>(n));
    const std::size_t cut = dir.find_last_of('/');
    if (cut == std::string::npos) return;
    dir.resize(cut + 1);
    if (chdir(dir.c_str()) != 0) return;
}

}  // namespace skiffs
