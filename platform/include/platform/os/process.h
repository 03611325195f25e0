#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessel::os {

// Text that no other process or thread running now holds (process and thread id), for names of files that
// are written aside and then put in place.
std::string ProcessThreadTag();

// The program's arguments after its name, as the platform's narrow text: bytes on POSIX; on Windows UTF-8,
// taken from the wide command line (argv holds them in the ANSI code page, which loses what it cannot hold).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// A variable of the process's environment as the platform's narrow text: bytes on POSIX; on Windows UTF-8,
// taken from the wide environment (getenv gives it in the ANSI code page, which loses what it cannot hold).
// Nullopt when it is not set.
std::optional<std::string> EnvironmentVariable(const std::string& name);

// Sets a variable of the process's environment, where libraries loaded by the program read it with getenv.
void SetProcessEnvironment(const std::string& name, const std::string& value);

// Removes a variable from the process's environment.
void UnsetProcessEnvironment(const std::string& name);

}  // namespace tessel::os
