#include "cli/password_source.h"

#include <cstdlib>
#include <iostream>

#include "cli/terminal.h"
#include "dialog/local_file.h"

namespace tessel::cli {
namespace {

constexpr std::size_t kMaxPasswordFileBytes = 4096;

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
    if (std::optional<std::string> typed = ReadHiddenLine("Password: ")) return typed;
    error = "no password: give --password, --password-file or TESSEL_PASSWORD";
    return std::nullopt;
}

}  // namespace tessel::cli
