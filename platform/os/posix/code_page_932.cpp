#include "platform/os/code_page_932.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace tessel::os {
namespace {

// glibc's "CP932" is the Windows table; its "SHIFT_JIS" is a different, stricter one.
constexpr const char* kCodePage932 = "CP932";

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

std::string Cp932ToUtf8(std::string_view cp932) {
    Converter converter("UTF-8", kCodePage932);
    std::string result;
    if (!converter.valid()) return result;
    converter.convert(cp932, result, [](std::string& out) {
        out += "\xEF\xBF\xBD";
        return true;
    });
    return result;
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    Converter converter(kCodePage932, "UTF-8");
    std::string result;
    if (!converter.valid() || !converter.convert(utf8, result, [](std::string&) { return false; })) {
        return std::nullopt;
    }
    // glibc also maps look-alikes one way (U+00A5 to 0x5C, U+301C to 0x8160); Windows refuses them when best
    // fit is off. A text that does not come back as it was held such a character.
    if (Cp932ToUtf8(result) != utf8) return std::nullopt;
    return result;
}

}  // namespace tessel::os
