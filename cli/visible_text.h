// Text from a package or a device, made safe for a terminal.
#pragma once

#include <string>
#include <string_view>

namespace tessel::cli {

// The UTF-8 text with every control character shown as an escape (ESC as "\x1B", a C1 control as "\u009B",
// a bidirectional override as "\u202E"), so that a package or a device cannot move the cursor, set the window
// title, clear the screen or show text in another order. Line feeds stay: the messages of the updater span
// lines.
std::string VisibleText(std::string_view utf8);

// The longest start of the UTF-8 text of at most maxBytes that ends between two characters.
std::string Utf8Prefix(std::string_view utf8, std::size_t maxBytes);

// The text without the blanks at its start and end.
std::string Trimmed(std::string_view text, std::string_view blanks = " ");

}  // namespace tessel::cli
