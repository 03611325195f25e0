#include "devsim/command_shell.h"

#include "devsim/device_script_host.h"
#include "devsim/firmware_image.h"
#include "devsim/script_parser.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace tessel::devsim {

namespace {

constexpr const char* kPrompt = "> ";

// Splits "command "argument"" into the command word and its argument without the quotes.
std::pair<std::string, std::string> SplitCommand(const std::string& line) {
    const auto start = line.find_first_not_of(' ');
    if (start == std::string::npos) return {};
    const auto end = line.find(' ', start);
    std::string word = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::string argument;
    if (end != std::string::npos) {
        argument = line.substr(end + 1);
        argument.erase(0, argument.find_first_not_of(' '));
        argument.erase(argument.find_last_not_of(' ') + 1);
        if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"') {
            argument = argument.substr(1, argument.size() - 2);
        }
    }
    return {word, argument};
}

Reply Immediate(std::string text) {
    return Reply{{ReplyBlock{0, [text = std::move(text)] { return text; }}}, false};
}

Reply Result(const std::string& output, long long value) { return Immediate(output + ValueLine(value) + kPrompt); }

}  // namespace

std::string ValueLine(long long value) {
    const auto word = static_cast<std::uint32_t>(value);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "value = 0x%x = %d\r\n", static_cast<unsigned>(word),
                  static_cast<int>(static_cast<std::int32_t>(word)));
    return buffer;
}

Reply CommandShell::Handle(const std::string& line) {
    if (sysupImage_) return AnswerSysup(line);
    const auto [word, argument] = SplitCommand(line);
    if (word.empty()) return Immediate(kPrompt);
    if (word == "exec") return Exec(argument);
    if (word == "sysup") return AskSysup(argument);
    if (word == "mkdir") return MakeFolder(argument);
    if (word == "reboot") {
        log_("restarting");
        return Reply{{ReplyBlock{0, [] { return std::string("Rebooting...\r\n"); }}}, true};
    }
    return Result(word + ": unknown command\r\n", -1);
}

Reply CommandShell::Exec(const std::string& path) {
    const auto host = device_.fileSystem.HostPath(path);
    std::ifstream in;
    if (host) in.open(*host, std::ios::binary);
    if (!in) {
        log_("exec " + path + ": no such script");
        return Result("exec: cannot open " + path + "\r\n", -1);
    }
    std::stringstream text;
    text << in.rdbuf();
    DeviceScriptHost scriptHost(device_, log_);
    try {
        const long long value = RunScript(ParseScript(text.str()), scriptHost);
        log_("exec " + path + ": value " + std::to_string(value));
        return Result(scriptHost.Output(), value);
    } catch (const ScriptError& error) {
        log_("exec " + path + ": " + error.what());
        return Result(scriptHost.Output() + "exec: " + path + ": " + error.what() + "\r\n", -1);
    }
}

Reply CommandShell::AskSysup(const std::string& path) {
    sysupImage_ = path;
    return Immediate("sysup: install the firmware in " + path + " ? [y/n] ");
}

Reply CommandShell::AnswerSysup(const std::string& answer) {
    const std::string path = *sysupImage_;
    sysupImage_.reset();
    if (answer != "y" && answer != "Y") {
        log_("sysup " + path + ": not confirmed");
        return Result("sysup: canceled\r\n", 1);
    }
    const auto host = device_.fileSystem.HostPath(path);
    const auto image = host ? ReadImageVersion(*host) : std::variant<FirmwareVersion, std::string>("image not found");
    if (const auto* reason = std::get_if<std::string>(&image)) {
        log_("sysup " + path + ": " + *reason);
        return Result("sysup error: " + *reason + "\r\n", -1);
    }
    Reply reply;
    const int blocks = device_.settings.expansionBlocks;
    for (int i = 1; i <= blocks; ++i) {
        std::string text = "expanding the image " + std::to_string(100 * i / (blocks + 1)) + "%\r\n";
        reply.blocks.push_back({device_.settings.expansionDelayMs, [text] { return text; }});
    }
    const FirmwareVersion version = std::get<FirmwareVersion>(image);
    reply.blocks.push_back({device_.settings.expansionDelayMs, [this, path, version] {
                                if (device_.settings.sysupError) {
                                    log_("sysup " + path + ": fails (fault switched on)");
                                    return "sysup error: flash write failed\r\n" + ValueLine(-1) + kPrompt;
                                }
                                device_.installedVersion = version;
                                log_("sysup " + path + ": installed firmware " + version.Text());
                                return "firmware " + version.Text() + " installed\r\n" + ValueLine(0) + kPrompt;
                            }});
    return reply;
}

Reply CommandShell::MakeFolder(const std::string& path) {
    const auto host = device_.fileSystem.HostPath(path);
    if (host && std::filesystem::exists(*host)) return Result("mkdir: " + path + ": already exists\r\n", -1);
    std::error_code error;
    if (!host || !std::filesystem::create_directory(*host, error)) {
        log_("mkdir " + path + ": cannot create");
        return Result("mkdir: " + path + ": cannot create\r\n", -1);
    }
    log_("mkdir " + path + ": created " + host->string());
    return Result("", 0);
}

}  // namespace tessel::devsim
