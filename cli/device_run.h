// One device's run as one command of tessel-cli does it: its lock, the run's bound, the dialog and the
// command's flow, on the calling thread's own event loop. The single device runs it on the main thread, a
// fleet on one thread per running device.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "cli/cli_options.h"
#include "cli/run_stop.h"
#include "platform/file_uploader.h"

namespace tessel::cli {

struct DeviceRunOutput {
    // The status lines and the flow's own lines.
    std::ostream& status;
    // Message texts, faults and the traffic of --verbose.
    std::ostream& err;
    // The deadline's messages, written from the deadline's thread.
    std::ostream& deadline;
    // Told of each upload's progress; none: the uploads are not watched.
    UploadProgressListener* progress;
};

struct DeviceRunEnd {
    int status = 1;
    // The device's record (docs/report.md) as one line of JSON.
    std::string record;
};

// Runs the procedure of options on the device it names, options.password being the password. stop ends the
// run from any thread. giveUp is called on the deadline's thread when an operation still has not returned
// some seconds after the run's limit, and the run cannot be ended.
DeviceRunEnd RunDevice(const CliOptions& options, const DeviceRunOutput& output, RunStop& stop,
                       const std::function<void()>& giveUp);

}  // namespace tessel::cli
