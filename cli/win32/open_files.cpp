#include "cli/open_files.h"

namespace tessel::cli {

// Windows sets no per-process limit on sockets and file handles that a program could raise (the C runtime's
// limit concerns its FILE streams alone, which a run does not hold): nothing to do.
void RaiseOpenFilesLimit(std::size_t) {}

}  // namespace tessel::cli
