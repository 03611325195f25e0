#include "cli/line_relay.h"

namespace tessel::cli {
namespace {

// A line longer than this (a device's endless answer in --verbose) is handed on in pieces.
constexpr std::size_t kLongestLine = 64 * 1024;

}  // namespace

LineRelay::~LineRelay() {
    if (!partial_.empty()) onLine_(std::move(partial_));
}

void LineRelay::put(char c) {
    if (c != '\n') partial_ += c;
    if (c == '\n' || partial_.size() >= kLongestLine) {
        onLine_(std::move(partial_));
        partial_.clear();
    }
}

LineRelay::int_type LineRelay::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof())) put(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

std::streamsize LineRelay::xsputn(const char* text, std::streamsize count) {
    for (std::streamsize i = 0; i < count; ++i) put(text[i]);
    return count;
}

}  // namespace tessel::cli
