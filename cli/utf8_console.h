// The program's output is UTF-8 text; a Windows console shows text it is given in its own code page.
#pragma once

namespace tessel::cli {

// Makes the standard output and error streams (std::cout, std::cerr) show their UTF-8 text on a console. Output
// that goes to a file or a pipe stays the same UTF-8 bytes, as do terminals that take UTF-8 already.
void UseUtf8Console();

}  // namespace tessel::cli
