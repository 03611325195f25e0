#include <cstdlib>

#include "test_environment.h"

namespace tessel::test {

void SetVariable(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }
void UnsetVariable(const char* name) { ::unsetenv(name); }

}  // namespace tessel::test
