#include "dialog/cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace tessel {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input; on a byte sequence that cannot be converted calls onInvalid, which returns false
    // to give up or true after it has appended a replacement, and skips one input byte.
    template <typename OnInvalid>
    bool convert(std::string_view input, std::string& output, OnInvalid onInvalid) {
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        std::vector<char> chunk(256);
        while (inLeft > 0) {
            char* out = chunk.data();
            std::size_t outLeft = chunk.size();
            const std::size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(chunk.data(), chunk.size() - outLeft);
            if (result != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            if (!onInvalid(output)) return false;
            ++in;
            --inLeft;
            iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        }
        return true;
    }

private:
    iconv_t handle_;
};

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    Converter converter("CP932", "UTF-8");
    std::string result;
    if (!converter.valid() || !converter.convert(utf8, result, [](std::string&) { return false; })) {
        return std::nullopt;
    }
    return result;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    Converter converter("UTF-8", "CP932");
    std::string result;
    if (!converter.valid()) return result;
    converter.convert(cp932, result, [](std::string& out) {
        out += "\xEF\xBF\xBD";
        return true;
    });
    return result;
}

bool IsCp932LeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

}  // namespace tessel
