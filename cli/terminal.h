// The terminal the program writes to and reads a password from, as the system offers it.
#pragma once

#include <optional>
#include <string>

namespace tessel::cli {

enum class StandardStream { Output, Error };

// True when the stream is a terminal that takes the escape sequences the progress bar and the live table draw
// with: on Windows a console in which virtual terminal processing could be switched on. Elsewhere (a file, a
// pipe, an old console) the program writes plain lines.
bool DrawsOnTerminal(StandardStream stream);

// True when the standard input is a terminal (on Windows a console), on which a person types.
bool InputIsTerminal();

// The next line typed on the terminal, not shown while it is typed, as UTF-8, after writing prompt to the error
// stream; nullopt when the input is not a terminal or nothing could be read. An interrupt (Ctrl+C) while the
// line is typed gives the terminal its echo back, then ends the program as an interrupted run ends.
std::optional<std::string> ReadHiddenLine(const std::string& prompt);

}  // namespace tessel::cli
