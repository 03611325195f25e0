#include "cli/password_source.h"

#include <iostream>

#include "cli/terminal.h"
#include "dialog/local_file.h"
#include "platform/os/process.h"

namespace tessel::cli {
namespace {

// A password is short: a file or an input that holds more before its first line end holds no password.
constexpr std::size_t kMaxPasswordBytes = 4096;

// The first line of text, without its line end (LF or CR LF).
std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// The first line of input that is not a terminal (a pipe, a file), read no further than its line end;
// nullopt when the input ends before anything is read or the line is longer than a password.
std::optional<std::string> ReadPipedLine(std::istream& input, std::string& error) {
    std::string line;
    bool read = false;
    char byte = 0;
    // A byte more than a password and a CR can hold shows that the line is too long: no need to read on.
    while (line.size() <= kMaxPasswordBytes + 1 && input.get(byte)) {
        read = true;
        if (byte == '\n') break;
        line += byte;
    }
    if (!read) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kMaxPasswordBytes) {
        error = "the standard input's first line is longer than " + std::to_string(kMaxPasswordBytes) +
                " bytes: it holds no password";
        return std::nullopt;
    }
    return line;
}

}  // namespace

std::optional<std::string> ResolvePassword(const CliOptions& options, PipedPassword piped, std::string& error) {
    if (options.passwordGiven) return options.password;
    if (!options.passwordFile.empty()) {
        const std::optional<std::string> text = ReadFileBytes(options.passwordFile, kMaxPasswordBytes);
        if (!text) {
            error = "the password file " + options.passwordFile + " cannot be read";
            return std::nullopt;
        }
        return FirstLine(*text);
    }
    if (std::optional<std::string> fromEnvironment = os::EnvironmentVariable("TESSEL_PASSWORD")) return fromEnvironment;
    if (InputIsTerminal()) {
        if (std::optional<std::string> typed = ReadHiddenLine("Password: ")) return typed;
    } else if (piped == PipedPassword::Read) {
        if (std::optional<std::string> line = ReadPipedLine(std::cin, error)) return line;
    }
    if (error.empty()) error = "no password: give --password, --password-file or TESSEL_PASSWORD";
    return std::nullopt;
}

}  // namespace tessel::cli
