#include "verbose_trace.h"

#include <cstdio>
#include <string_view>

namespace skiffs {

void TraceConversation(curl_infotype type, const char* data, std::size_t size) {
    const char* prefix = nullptr;
    switch (type) {
    case CURLINFO_HEADER_OUT: prefix = ">"; break;
    case CURLINFO_HEADER_IN: prefix = "<"; break;
    case CURLINFO_TEXT: prefix = "*"; break;
    default: return;
    }
    const std::string_view text(data, size);
    if (type == CURLINFO_HEADER_OUT && (text.starts_with("PASS ") || text.starts_with("pass "))) {
        std::fprintf(stderr, "%s PASS ********\n", prefix);
        return;
    }
    std::fprintf(stderr, "%s %.*s", prefix, static_cast<int>(size), data);
}

int TraceDebug(CURL*, curl_infotype type, char* data, std::size_t size, void*) {
    TraceConversation(type, data, size);
    return 0;
}

}  // namespace skiffs
