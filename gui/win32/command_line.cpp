#include "gui/win32/command_line.h"

#include <algorithm>
#include <cstdint>

namespace tessel {
namespace {

std::optional<std::uint16_t> ParsePort(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int value = std::stoi(text);
    if (value < 1 || value > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

DialogCommandLine ParseDialogCommandLine(const std::vector<std::string>& arguments) {
    DialogCommandLine result;
    for (std::size_t i = 0; i < arguments.size() && result.error.empty(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "-h" || name == "--help") {
            result.help = true;
            continue;
        }
        if (name == "--version") {
            result.version = true;
            continue;
        }
        if (name != "--package" && name != "--ftp-port" && name != "--console-port") {
            result.error = "unknown option \"" + arguments[i] + "\"";
            break;
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                result.error = name + " needs a value";
                break;
            }
            value = arguments[++i];
        }
        if (name == "--package") {
            result.packageFolder = *value;
            continue;
        }
        const std::optional<std::uint16_t> port = ParsePort(*value);
        if (!port) {
            result.error = name + " takes a port number from 1 to 65535, not \"" + *value + "\"";
            break;
        }
        (name == "--ftp-port" ? result.ports.ftp : result.ports.console) = *port;
    }
    return result;
}

std::string DialogUsage() {
    return "Usage: tessel [options]\n"
           "The operator's dialog for updating a device.\n\n"
           "Options:\n"
           "  -h, --help            Displays help on commandline options.\n"
           "  --package <DIR>       Use the update package in DIR. Without it: the program's folder when it holds\n"
           "                        UpDateMng.txt, else the current folder.\n"
           "  --ftp-port <N>        The device's FTP port (default 21).\n"
           "  --console-port <N>    The device's console port (default 8002).\n"
           "  --version             Print the program's version.\n";
}

}  // namespace tessel
