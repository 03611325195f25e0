#include "cli/single_run.h"

#include <cstdlib>
#include <iostream>

#include "cli/device_run.h"
#include "cli/interrupt.h"
#include "cli/progress_bar.h"
#include "cli/terminal.h"

namespace tessel::cli {

int RunSingleDevice(CliOptions options, const std::string& password) {
    options.password = password;
    std::ostream& statusOut = options.json ? std::cerr : std::cout;
    ProgressBar progressBar(statusOut);
    const bool terminal = DrawsOnTerminal(options.json ? StandardStream::Error : StandardStream::Output);
    EndRunOnInterrupt();
    RunStop stop;
    // Nothing else runs in this process: an operation that does not return ends it.
    const DeviceRunEnd end = RunDevice(options, {statusOut, std::cerr, std::cerr, terminal ? &progressBar : nullptr},
                                       stop, [] { std::_Exit(1); });
    if (options.json) std::cout << end.record << std::endl;
    return end.status;
}

}  // namespace tessel::cli
