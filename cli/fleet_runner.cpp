#include "cli/fleet_runner.h"

#include <unistd.h>

#include <QEventLoop>
#include <QProcess>
#include <csignal>
#include <iostream>
#include <memory>
#include <vector>

#include "cli/fleet_report.h"
#include "cli/inventory.h"
#include "cli/visible_text.h"
#include "platform/qt/qt_signal_notifier.h"

namespace tessel::cli {
namespace {

enum class DeviceState { Waiting, Running, Done };

class FleetRun {
public:
    FleetRun(const CliOptions& options, std::vector<FleetDevice> devices, std::string programPath)
        : options_(options), program_(std::move(programPath)) {
        for (FleetDevice& device : devices) summary_.results.push_back({std::move(device), std::string()});
        states_.assign(summary_.results.size(), DeviceState::Waiting);
        processes_.resize(summary_.results.size());
        partialLines_.resize(summary_.results.size());
        latest_.resize(summary_.results.size());
        summary_.procedure = options.procedure;
        summary_.packageDirectory = options.packageDirectory;
    }

    int run() {
        summary_.started = std::chrono::system_clock::now();
        QObject::connect(&stopSignals_, &QtSignalNotifier::signalled, &loop_,
                         [this](int) { stop(++stopSignalCount_); });
        startMore();
        if (!finished()) loop_.exec();
        summary_.ended = std::chrono::system_clock::now();
        std::cout << "\n";
        PrintSummaryTable(std::cout, summary_);
        int status = 0;
        for (const FleetResult& result : summary_.results) {
            if (RecordResult(result.record) != "succeeded") status = 1;
        }
        if (!options_.report.empty() && !WriteFleetReport(options_.report, summary_)) {
            std::cerr << "tessel-cli: the report " << options_.report << " cannot be written" << std::endl;
            status = 1;
        }
        return status;
    }

private:
    std::size_t count(DeviceState state) const {
        return static_cast<std::size_t>(std::count(states_.begin(), states_.end(), state));
    }
    bool finished() const { return count(DeviceState::Done) == states_.size(); }
    bool failed(std::size_t i) const {
        return states_[i] == DeviceState::Done && RecordResult(summary_.results[i].record) != "succeeded";
    }

    // Every device not started yet ends with this result.
    void endWaiting(const std::string& result, const std::string& message) {
        for (std::size_t i = 0; i < states_.size(); ++i) {
            if (states_[i] != DeviceState::Waiting) continue;
            summary_.results[i].record = RunnerRecord(summary_.results[i].device, options_.procedure, result, message);
            states_[i] = DeviceState::Done;
        }
    }

    void startMore() {
        const std::size_t canaries = std::min<std::size_t>(static_cast<std::size_t>(options_.canary), states_.size());
        while (!stopping_ && count(DeviceState::Waiting) > 0 &&
               count(DeviceState::Running) < static_cast<std::size_t>(options_.parallel)) {
            const std::size_t next = static_cast<std::size_t>(
                std::find(states_.begin(), states_.end(), DeviceState::Waiting) - states_.begin());
            if (next >= canaries && canaries > 0) {
                bool canaryRunning = false;
                bool canaryFailed = false;
                for (std::size_t i = 0; i < canaries; ++i) {
                    canaryRunning = canaryRunning || states_[i] == DeviceState::Running;
                    canaryFailed = canaryFailed || failed(i);
                }
                if (canaryRunning) break;
                if (canaryFailed) {
                    endWaiting("skipped", "not started: a canary device did not succeed");
                    break;
                }
            }
            std::size_t failures = 0;
            for (std::size_t i = 0; i < states_.size(); ++i) failures += failed(i) ? 1 : 0;
            if (options_.maxFailures > 0 && failures >= static_cast<std::size_t>(options_.maxFailures)) {
                endWaiting("skipped", "not started: " + std::to_string(failures) + " devices had failed");
                break;
            }
            start(next);
        }
        if (finished()) loop_.quit();
    }

    QStringList argumentsFor(const FleetDevice& device) const {
        static const char* kProcedureWords[] = {"firmware", "script", "version", "restore-autoscript"};
        QStringList args = {kProcedureWords[static_cast<int>(options_.procedure)],
                            "--address",
                            QString::fromStdString(device.address),
                            "--login",
                            QString::fromStdString(device.login),
                            "--ftp-port",
                            QString::fromStdString(device.ftpPort),
                            "--console-port",
                            QString::number(device.consolePort),
                            "--timeout",
                            QString::number(options_.timeoutSeconds),
                            "--json",
                            "--package",
                            QString::fromStdString(summary_.packageDirectory)};
        if (options_.verifyVersion) args << "--verify-version";
        if (options_.skipCurrent) args << "--skip-current";
        if (options_.verbose) args << "--verbose";
        return args;
    }

    void start(std::size_t i) {
        const FleetDevice& device = summary_.results[i].device;
        auto process = std::make_unique<QProcess>();
        process->setProgram(QString::fromStdString(program_));
        process->setArguments(argumentsFor(device));
        // Not in the arguments, which every user of the machine can read.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TESSEL_PASSWORD", QString::fromStdString(device.password));
        process->setProcessEnvironment(environment);
        // A Ctrl-C at the terminal is the runner's to handle: the devices' runs finish their procedures.
        process->setChildProcessModifier([] { ::setpgid(0, 0); });
        QProcess* raw = process.get();
        QObject::connect(raw, &QProcess::readyReadStandardError, &loop_,
                         [this, i, raw] { relay(i, raw->readAllStandardError()); });
        QObject::connect(raw, &QProcess::finished, &loop_,
                         [this, i](int exitCode, QProcess::ExitStatus) { ended(i, exitCode); });
        states_[i] = DeviceState::Running;
        processes_[i] = std::move(process);
        processes_[i]->start();
        if (!processes_[i]->waitForStarted(10000)) {
            summary_.results[i].record =
                RunnerRecord(device, options_.procedure, "failed", "the device's run did not start");
            states_[i] = DeviceState::Done;
        }
    }

    // The device's status lines and messages, one output line each, prefixed with its name.
    // The device's status lines and messages: on a terminal the live table shows the latest; elsewhere each is
    // a line of output, prefixed with the device's name.
    void relay(std::size_t i, const QByteArray& bytes) {
        std::string& partial = partialLines_[i];
        partial += bytes.toStdString();
        for (std::size_t end = partial.find('\n'); end != std::string::npos; end = partial.find('\n')) {
            const std::string line = VisibleText(partial.substr(0, end));
            partial.erase(0, end + 1);
            if (line.empty()) continue;
            latest_[i] = line;
            if (!liveTable_) std::cout << "[" << VisibleText(summary_.results[i].device.name) << "] " << line << "\n";
        }
        if (liveTable_) drawTable();
        std::cout.flush();
    }

    // One row per running device and a footer of counts, drawn over the previous table.
    void drawTable() {
        std::string table;
        if (tableLines_ > 0) table += "\x1B[" + std::to_string(tableLines_) + "F\x1B[J";
        tableLines_ = 0;
        std::size_t succeeded = 0;
        std::size_t failedCount = 0;
        for (std::size_t i = 0; i < states_.size(); ++i) {
            if (states_[i] == DeviceState::Running) {
                const FleetDevice& device = summary_.results[i].device;
                table += VisibleText(device.name) + "  " + VisibleText(device.address) + "  " + latest_[i] + "\n";
                ++tableLines_;
            } else if (states_[i] == DeviceState::Done) {
                (RecordResult(summary_.results[i].record) == "succeeded" ? succeeded : failedCount) += 1;
            }
        }
        table += "succeeded " + std::to_string(succeeded) + "  failed " + std::to_string(failedCount) + "  running " +
                 std::to_string(count(DeviceState::Running)) + "  waiting " +
                 std::to_string(count(DeviceState::Waiting)) + "\n";
        ++tableLines_;
        std::cout << table;
    }

    void ended(std::size_t i, int exitCode) {
        relay(i, processes_[i]->readAllStandardError());
        const std::string out = processes_[i]->readAllStandardOutput().toStdString();
        const std::size_t lastLine = out.rfind('\n', out.size() > 1 ? out.size() - 2 : 0);
        std::string record = out.substr(lastLine == std::string::npos ? 0 : lastLine + 1);
        if (interruptedAll_) {
            record = RunnerRecord(summary_.results[i].device, options_.procedure, "interrupted",
                                  "ended by a second stop signal");
        } else if (record.find("\"result\"") == std::string::npos) {
            record = RunnerRecord(summary_.results[i].device, options_.procedure, "failed",
                                  "the device's run ended with status " + std::to_string(exitCode) + " and no record");
        }
        summary_.results[i].record = NamedRecord(record, summary_.results[i].device.name);
        states_[i] = DeviceState::Done;
        if (liveTable_) drawTable();
        processes_[i]->deleteLater();
        processes_[i].release();
        startMore();
    }

    void stop(int signalCount) {
        if (signalCount == 1) {
            std::cerr << "tessel-cli: stopping: no further device starts; running devices finish their procedure"
                      << std::endl;
            stopping_ = true;
            endWaiting("interrupted", "not started: the run was stopped");
            if (finished()) loop_.quit();
            return;
        }
        std::cerr << "tessel-cli: stopping now" << std::endl;
        interruptedAll_ = true;
        for (const auto& process : processes_) {
            if (process) process->terminate();
        }
    }

    const CliOptions& options_;
    std::string program_;
    FleetSummary summary_;
    std::vector<DeviceState> states_;
    std::vector<std::unique_ptr<QProcess>> processes_;
    std::vector<std::string> partialLines_;
    std::vector<std::string> latest_;
    const bool liveTable_ = ::isatty(STDOUT_FILENO) == 1;
    int tableLines_ = 0;
    QEventLoop loop_;
    // SIGINT and SIGTERM, counted: the first ends the run in order, the second at once.
    QtSignalNotifier stopSignals_{SIGINT, SIGTERM};
    int stopSignalCount_ = 0;
    bool stopping_ = false;
    bool interruptedAll_ = false;
};

}  // namespace

int RunFleet(const CliOptions& options, const std::optional<std::string>& password, const std::string& programPath) {
    std::vector<std::string> faults;
    std::vector<FleetDevice> devices;
    if (!options.retryFailed.empty()) {
        if (!password) faults.push_back("no password: give --password, --password-file or TESSEL_PASSWORD");
        devices = FailedDevicesOf(options.retryFailed, password.value_or(""), faults);
    } else {
        FleetDefaults defaults{options.login, password, options.ftpPort, options.consolePort};
        devices = ReadInventory(options.inventory, defaults, faults);
    }
    if (!faults.empty()) {
        for (const std::string& fault : faults) std::cerr << "tessel-cli: " << VisibleText(fault) << "\n";
        std::cerr << "tessel-cli: nothing started" << std::endl;
        return 2;
    }
    return FleetRun(options, std::move(devices), programPath).run();
}

}  // namespace tessel::cli
