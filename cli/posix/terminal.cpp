#include "cli/terminal.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <iterator>

namespace tessel::cli {
namespace {

// The terminal's settings from before the prompt, while the prompt has echo switched off.
termios promptSaved{};

// SIGINT, SIGTERM or SIGHUP while the password is typed: the terminal, which the shell goes on using, gets its
// echo back, then the signal ends the program as it would have without the prompt.
void RestoreEchoAndEnd(int signalNumber) {
    ::tcsetattr(STDIN_FILENO, TCSANOW, &promptSaved);
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

}  // namespace

bool DrawsOnTerminal(StandardStream stream) {
    return ::isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

bool InputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }

std::optional<std::string> ReadHiddenLine(const std::string& prompt) {
    if (!InputIsTerminal()) return std::nullopt;
    termios saved{};
    if (::tcgetattr(STDIN_FILENO, &saved) != 0) return std::nullopt;
    termios quiet = saved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    std::cerr << prompt << std::flush;
    promptSaved = saved;
    struct sigaction restore {};
    restore.sa_handler = RestoreEchoAndEnd;
    sigemptyset(&restore.sa_mask);
    struct sigaction previous[std::size(kEndingSignals)]{};
    // A signal that is ignored (nohup) or handled stays so.
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        ::sigaction(kEndingSignals[i], nullptr, &previous[i]);
        if (previous[i].sa_handler == SIG_DFL) ::sigaction(kEndingSignals[i], &restore, nullptr);
    }
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) ::sigaction(kEndingSignals[i], &previous[i], nullptr);
    std::cerr << std::endl;
    if (!read) return std::nullopt;
    return line;
}

}  // namespace tessel::cli
