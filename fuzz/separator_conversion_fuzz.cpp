// Separator conversion on any path: the length is kept, only backslashes outside double-byte
// characters change, and converting twice changes nothing more.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "code_converters.h"
#include "path_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view path(reinterpret_cast<const char*>(data), size);
    const std::string once = skiffs::BackslashesToSlashes(path);
    if (once.size() != path.size()) std::abort();
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (skiffs::IsShiftJisLead(static_cast<unsigned char>(path[i]))) {
            // The lead byte and its trail byte stay as they are.
            if (once.compare(i, 2, path.substr(i, 2)) != 0) std::abort();
            ++i;
        } else if (once[i] != (path[i] == '\\' ? '/' : path[i])) {
            std::abort();
        }
    }
    if (skiffs::BackslashesToSlashes(once) != once) std::abort();
    return 0;
}
