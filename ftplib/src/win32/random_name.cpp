#include "random_name.h"

#include <random>

namespace skiffs {

std::wstring RandomNameCharacters(std::size_t count) {
    static constexpr wchar_t kAlphabet[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(kAlphabet) / sizeof(kAlphabet[0]) - 2);
    std::wstring text;
    for (std::size_t i = 0; i < count; ++i) text += kAlphabet[pick(source)];
    return text;
}

}  // namespace skiffs
