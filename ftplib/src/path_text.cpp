#include "path_text.h"

#include <unistd.h>

#include <array>

#include "code_converters.h"

namespace skiffs {

std::string BackslashesToSlashes(std::string_view path) {
    std::string out(path);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (IsShiftJisLead(static_cast<unsigned char>(out[i]))) {
            ++i;
        } else if (out[i] == '\\') {
            out[i] = '/';
        }
    }
    return out;
}

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
