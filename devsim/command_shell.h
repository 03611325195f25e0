#pragma once

#include "devsim/device_state.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessel::devsim {

// One block of console output, sent after a pause; its text is made when it is sent, so that what it reports
// (an installed image) happens at that moment.
struct ReplyBlock {
    int delayMs = 0;
    std::function<std::string()> text;
};

struct Reply {
    std::vector<ReplyBlock> blocks;
    bool restart = false;  // the device restarts once the blocks are sent
};

// The command interpreter of one logged-in console: exec, sysup (with its [y/n] question), mkdir, reboot.
// Every reply ends with the prompt, except a question and the restart message.
class CommandShell {
public:
    using Logger = std::function<void(const std::string&)>;

    CommandShell(DeviceState& device, Logger log) : device_(device), log_(std::move(log)) {}

    Reply Handle(const std::string& line);

private:
    Reply Exec(const std::string& path);
    Reply AskSysup(const std::string& path);
    Reply AnswerSysup(const std::string& answer);
    Reply MakeFolder(const std::string& path);

    DeviceState& device_;
    Logger log_;
    std::optional<std::string> sysupImage_;  // set while sysup waits for its answer
};

// The console's report of a command's result: "value = 0x0 = 0" for 0, "value = 0xffffffff = -1" for -1.
std::string ValueLine(long long value);

}  // namespace tessel::devsim
