// The terminal the program writes to, as the system offers it.
#pragma once

#include <optional>
#include <string>

namespace tessel::cli {

enum class StandardStream { Output, Error };

// True when the stream is a terminal that takes the escape sequences the progress bar and the live table draw
// with: on Windows a console in which virtual terminal processing could be switched on. Elsewhere (a file, a
// pipe, an old console) the program writes plain lines.
bool DrawsOnTerminal(StandardStream stream);

// Makes the terminal show the program's UTF-8 output as text: a Windows console otherwise takes it in the
// system's code page. Terminals elsewhere take UTF-8 already.
void UseUtf8Terminal();

// The next line typed on the terminal, not shown while it is typed, as UTF-8, after writing prompt to the error
// stream; nullopt when the input is not a terminal or nothing could be read.
std::optional<std::string> ReadHiddenLine(const std::string& prompt);

}  // namespace tessel::cli
