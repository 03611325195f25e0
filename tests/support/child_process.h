// Programs that tests start and always stop.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tessel::test {

// Starts argv[0] with its arguments. Its standard output comes back through outputFd; its standard
// error goes to the file errorPath, or joins the output when errorPath is empty.
pid_t SpawnChild(const std::vector<std::string>& argv, int& outputFd, const std::string& errorPath = "");

// Asks the child to end (SIGTERM), waits up to timeoutMs, then kills it. Gives its exit status, or -1
// when it had to be killed or ended by a signal.
int StopChild(pid_t pid, int timeoutMs);

}  // namespace tessel::test
