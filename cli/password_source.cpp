#include "cli/password_source.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "dialog/local_file.h"

namespace tessel::cli {
namespace {

constexpr std::size_t kMaxPasswordFileBytes = 4096;

std::optional<std::string> Prompt() {
    if (::isatty(STDIN_FILENO) != 1) return std::nullopt;
    termios saved{};
    if (::tcgetattr(STDIN_FILENO, &saved) != 0) return std::nullopt;
    termios quiet = saved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    std::cerr << "Password: " << std::flush;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::cerr << std::endl;
    if (!read) return std::nullopt;
    return line;
}

}  // namespace

std::optional<std::string> ResolvePassword(const CliOptions& options, std::string& error) {
    if (options.passwordGiven) return options.password;
    if (!options.passwordFile.empty()) {
        const std::optional<std::string> text = ReadFileBytes(options.passwordFile, kMaxPasswordFileBytes);
        if (!text) {
            error = "the password file " + options.passwordFile + " cannot be read";
            return std::nullopt;
        }
        std::string line = text->substr(0, text->find('\n'));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }
    if (const char* fromEnvironment = std::getenv("TESSEL_PASSWORD")) return std::string(fromEnvironment);
    if (std::optional<std::string> typed = Prompt()) return typed;
    error = "no password: give --password, --password-file or TESSEL_PASSWORD";
    return std::nullopt;
}

}  // namespace tessel::cli
