#include "platform/os/process.h"

#include <unistd.h>

#include <cstdlib>

namespace tessel::os {

std::string ProcessThreadTag() { return std::to_string(::getpid()) + "-" + std::to_string(::gettid()); }

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::optional<std::string> EnvironmentVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void SetProcessEnvironment(const std::string& name, const std::string& value) {
    ::setenv(name.c_str(), value.c_str(), 1);
}

void UnsetProcessEnvironment(const std::string& name) { ::unsetenv(name.c_str()); }

}  // namespace tessel::os
