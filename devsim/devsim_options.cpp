#include "devsim/devsim_options.h"

#include "devsim/firmware_image.h"
#include "devsim/fleet_layout.h"

#include <functional>
#include <map>

namespace tessel::devsim {

namespace {

constexpr unsigned kMaxDelayMs = 3'600'000;
constexpr unsigned kMaxLinkDelayMs = 10'000;
constexpr unsigned kMaxLinkRateKbit = 1'000'000;
constexpr unsigned kMaxDevices = 10'000;

bool ReadNumber(const QString& text, unsigned max, unsigned& value) {
    bool ok = false;
    value = text.toUInt(&ok);
    return ok && value <= max;
}

}  // namespace

QString UsageText() {
    return QStringLiteral(
               "Usage: tessel-devsim --root DIR [options]\n"
               "A simulated device: a command console on TCP and a real FTP server over one device file system.\n"
               "\n"
               "  --root DIR             folder of the device file system; its subfolders B: and C: are the drives\n"
               "                         (B:, C:/www/control, C:/www/lockoff.wcr and C:/system with autoscript.wcr\n"
               "                         are created when missing)\n"
               "  --host ADDR            address both services listen on (default 127.0.0.1)\n"
               "  --devices N            simulate N devices side by side, 1 to 10000 (default 1); see Fleet below\n"
               "  --console-port N       console port (default 8002, 0 = any free port)\n"
               "  --ftp-port N           FTP port (default 0 = any free port)\n"
               "  --login ID             console login ID and FTP user (default admin)\n"
               "  --password PW          console and FTP password (default admin); the device holds it, and the\n"
               "                         login ID, in code page 932\n"
               "  --ftp-password PW      another password for the FTP service alone\n"
               "  --firmware-version D.D.D  installed firmware version (default 1.07.00)\n"
               "  --sysup-error          sysup ends in \"error\" after its progress\n"
               "  --silent-after CMD     the console never answers again once it receives CMD (a whole line or\n"
               "                         its first word, e.g. sysup)\n"
               "  --expansion-delay MS   pause before each progress block of sysup (default 200)\n"
               "  --restart-time MS      after \"reboot\", time during which connections are refused (default 3000);\n"
               "                         the restart ends every console and FTP connection\n"
               "  --no-ftp               start no FTP server\n"
               "  --ftp-script PATH      the FTP server script (default: ftp_server.py beside this program, else\n"
               "                         the installed one)\n"
               "  --autoscript FILE      start with this file as the device's C:\\system\\autoscript.wcr\n"
               "  --ftp-log FILE         append every command the FTP server receives to FILE, one a line\n"
               "  --link-delay MS        a slow link, as over a cellular modem: MS of one-way delay on everything\n"
               "                         both services send and receive, 0 to 10000 (default 0)\n"
               "  --link-rate KBIT       the link's rate in kbit/s in each direction, 0 to 1000000 (default 0 = none)\n"
               "  --help                 this text\n"
               "  --version              the version of this program\n"
               "\n"
               "Once both services listen it prints \"ready console=PORT ftp=PORT\" (ftp=0 with --no-ftp), then one\n"
               "line per thing it receives and does. SIGINT or SIGTERM stop it and its FTP server; SIGUSR1 lists the\n"
               "device's files, one \"file DRIVE:PATH SIZE\" line each, between \"files:\" and \"files end\".\n"
               "\n"
               "The link is per connection: the console, the FTP control connection and each FTP data connection\n"
               "has the delay and the rate of its own in each direction; connections do not share the rate. This\n"
               "machine answers the TCP handshake at once, so a new console or FTP control connection is held\n"
               "instead: the device sees what the client sends three one-way delays after its connect returned, and\n"
               "the FTP greeting arrives four after it, as over a real link. A data connection's handshake is not\n"
               "delayed (it overlaps its command's round trip); an upload's end reaches the server one delay after\n"
               "its last byte; a download's bytes come without the delay, its closing reply with it. Refused\n"
               "connections (during a restart) are refused at once. Not modelled: loss, jitter, the modem's\n"
               "buffers, TCP's slow start.\n"
               "\n"
               "Fleet: with --devices N, device i (from 1) listens on the IPv4 address i - 1 places after --host,\n"
               "counting on into the next octets: 127.0.0.1, 127.0.0.2, ... 127.0.0.255, 127.0.1.0, 127.0.1.1, ...\n"
               "(any 127.x.x.x address reaches this machine). Each device has its own console on the console port,\n"
               "its own state, and its own file system in the subfolder of --root named after its address\n"
               "(ROOT/127.0.0.2/B: is drive B: of the second device); one FTP server process serves them all, each\n"
               "address its own device's folder. A port of 0 is the free port the first device got, taken by all.\n"
               "The options apply to every device; a device's restart ends its own connections only. Log lines of a\n"
               "device begin with its address, and SIGUSR1 lists the files of all of them under their folders.\n"
               "\n"
               "Firmware image: sysup installs an image whose first line is \"") +
           QString::fromLatin1(kFirmwareImageHeader.data(), static_cast<qsizetype>(kFirmwareImageHeader.size())) +
           QStringLiteral(
               "D.D.D\" (any bytes may follow);\n"
               "the installed version then becomes D.D.D.\n"
               "Scripts (exec \"PATH\"): Function main() { ... } with var, if/else, return, and the built-ins\n"
               "fileopen(path, \"r\"|\"w\"), fileclose(fd), filedelete(path), filerename(path, newName),\n"
               "setexport(port, value), putexport(port, value), print(values...) and sysver(), the installed\n"
               "version as \"dd.dd.dd\". A version query script: Function main() { print(\"version \", sysver()); }\n");
}

std::variant<DevsimOptions, HelpRequest, VersionRequest, UsageError> ParseOptions(const QStringList& arguments) {
    DevsimOptions options;
    bool rootGiven = false;
    using Setter = std::function<QString(const QString&)>;
    const auto number = [](auto& target, unsigned max) {
        return [&target, max](const QString& value) -> QString {
            unsigned read = 0;
            if (!ReadNumber(value, max, read)) return "a number from 0 to " + QString::number(max);
            target = static_cast<std::remove_reference_t<decltype(target)>>(read);
            return {};
        };
    };
    const auto text = [](auto& target) {
        return [&target](const QString& value) -> QString {
            target = value.toLocal8Bit().toStdString();
            return {};
        };
    };
    const std::map<QString, Setter> valued = {
        {"--root", [&](const QString& value) -> QString {
             if (value.isEmpty()) return "a folder";
             options.root = value;
             rootGiven = true;
             return {};
         }},
        {"--host", [&](const QString& value) -> QString {
             options.host = value;
             return {};
         }},
        {"--devices", [&](const QString& value) -> QString {
             if (!ReadNumber(value, kMaxDevices, options.devices) || options.devices == 0)
                 return "a number from 1 to " + QString::number(kMaxDevices);
             return {};
         }},
        {"--console-port", number(options.consolePort, 65535)},
        {"--ftp-port", number(options.ftpPort, 65535)},
        {"--login", text(options.device.loginId)},
        {"--password", text(options.device.password)},
        {"--ftp-password", [&](const QString& value) -> QString {
             options.ftpPassword = value.toStdString();
             return {};
         }},
        {"--firmware-version", [&](const QString& value) -> QString {
             const auto version = FirmwareVersion::Parse(value.toStdString());
             if (!version) return "a version D.D.D, each part 0 to 99";
             options.version = *version;
             return {};
         }},
        {"--silent-after", text(options.device.silentAfter)},
        {"--expansion-delay", number(options.device.expansionDelayMs, kMaxDelayMs)},
        {"--restart-time", number(options.device.restartTimeMs, kMaxDelayMs)},
        {"--autoscript", [&](const QString& value) -> QString {
             if (value.isEmpty()) return "a file";
             options.autoscript = value;
             return {};
         }},
        {"--ftp-log", [&](const QString& value) -> QString {
             if (value.isEmpty()) return "a file";
             options.ftpLog = value;
             return {};
         }},
        {"--link-delay", number(options.link.delayMs, kMaxLinkDelayMs)},
        {"--link-rate", number(options.link.rateKbit, kMaxLinkRateKbit)},
        {"--ftp-script", [&](const QString& value) -> QString {
             options.ftpScript = value;
             return {};
         }},
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--help" || argument == "-h") return HelpRequest{};
        if (argument == "--version") return VersionRequest{};
        if (argument == "--sysup-error") {
            options.device.sysupError = true;
        } else if (argument == "--no-ftp") {
            options.ftp = false;
        } else if (const auto setter = valued.find(argument); setter != valued.end()) {
            if (i + 1 == arguments.size()) return UsageError{argument + " needs a value"};
            if (const QString problem = setter->second(arguments[++i]); !problem.isEmpty()) {
                return UsageError{argument + " needs " + problem + ", not \"" + arguments[i] + "\""};
            }
        } else {
            return UsageError{"unknown option \"" + argument + "\""};
        }
    }
    if (!rootGiven) return UsageError{"--root DIR is required"};
    if (options.devices > 1 && !DeviceAddress(options.host, options.devices - 1)) {
        return UsageError{"--devices " + QString::number(options.devices) +
                          " needs --host to be an IPv4 address with " + QString::number(options.devices - 1) +
                          " more after it"};
    }
    return options;
}

}  // namespace tessel::devsim
