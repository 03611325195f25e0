#include "cli/terminal.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

namespace tessel::cli {

bool DrawsOnTerminal(StandardStream stream) {
    return ::isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

void UseUtf8Terminal() {}

std::optional<std::string> ReadHiddenLine(const std::string& prompt) {
    if (::isatty(STDIN_FILENO) != 1) return std::nullopt;
    termios saved{};
    if (::tcgetattr(STDIN_FILENO, &saved) != 0) return std::nullopt;
    termios quiet = saved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    std::cerr << prompt << std::flush;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::cerr << std::endl;
    if (!read) return std::nullopt;
    return line;
}

}  // namespace tessel::cli
