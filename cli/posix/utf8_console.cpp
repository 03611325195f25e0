#include "cli/utf8_console.h"

namespace tessel::cli {

// Terminals here take the locale's text, UTF-8, as it is.
void UseUtf8Console() {}

}  // namespace tessel::cli
