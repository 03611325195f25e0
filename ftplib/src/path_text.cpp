#include "path_text.h"

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

}  // namespace skiffs
