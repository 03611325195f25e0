#include <cstdlib>

#include "test_environment.h"

namespace tessel::test {

void SetVariable(const char* name, const std::string& value) { ::_putenv_s(name, value.c_str()); }
// The C runtime removes a variable set to the empty text.
void UnsetVariable(const char* name) { ::_putenv_s(name, ""); }

}  // namespace tessel::test
