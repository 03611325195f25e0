// Environment variables that a test sets for the code it runs, as the C runtime's getenv reads them.
#pragma once

#include <string>

namespace tessel::test {

void SetVariable(const char* name, const std::string& value);
void UnsetVariable(const char* name);

}  // namespace tessel::test
