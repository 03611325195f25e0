#include "cli/fleet_runner.h"

#include <algorithm>
#include <array>
#include <asio/executor_work_guard.hpp>
#include <asio/io_context.hpp>
#include <asio/post.hpp>
#include <asio/steady_timer.hpp>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "cli/device_run.h"
#include "cli/device_thread.h"
#include "cli/fleet_report.h"
#include "cli/inventory.h"
#include "cli/line_relay.h"
#include "cli/live_table.h"
#include "cli/open_files.h"
#include "cli/terminal.h"
#include "cli/utf8_path.h"
#include "cli/visible_text.h"
#include "platform/asio/asio_stop_signals.h"

namespace tessel::cli {
namespace {

enum class DeviceState { Waiting, Running, Done };

// How long the devices' threads may take to return after a second stop signal before the run ends without them.
constexpr std::chrono::seconds kStopGrace{5};
// The live table is drawn again for upload progress at most this often.
constexpr std::chrono::milliseconds kProgressRedraw{200};

// A device's upload progress, handed to the runner's thread.
class ProgressRelay final : public UploadProgressListener {
public:
    explicit ProgressRelay(std::function<void(int, int)> onProgress) : onProgress_(std::move(onProgress)) {}
    void uploadProgress(const UploadRequest&, int doneBlocks, int totalBlocks) override {
        onProgress_(doneBlocks, totalBlocks);
    }
    void uploadFinished(const UploadRequest&) override { onProgress_(0, 0); }

private:
    std::function<void(int, int)> onProgress_;
};

// What the runner keeps of one device. Only the runner's thread reads or writes it, but for stop, which the
// device's thread reads too.
struct DeviceSlot {
    DeviceState state = DeviceState::Waiting;
    std::unique_ptr<DeviceThread> thread;
    // The thread's last act is done: it can be joined at once.
    std::atomic<bool> returned{false};
    RunStop stop;
    std::string latest;
    int uploadedBlocks = 0;
    int totalBlocks = 0;
    // Once done: whether its record says it succeeded (read from the record once, when it ends).
    bool succeeded = false;
};

std::string Absolute(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(PathOf(path), error);
    return error ? path : TextOf(absolute);
}

class FleetRun {
public:
    FleetRun(const CliOptions& options, std::vector<FleetDevice> devices) : options_(options) {
        for (FleetDevice& device : devices) summary_.results.push_back({std::move(device), std::string()});
        slots_ = std::vector<DeviceSlot>(summary_.results.size());
        counts_[Index(DeviceState::Waiting)] = slots_.size();
        summary_.procedure = options.procedure;
        summary_.packageDirectory = options.packageDirectory;
        summary_.signer = options.packageSigner;
        summary_.signerKey = options.packageSignerKey;
    }

    int run() {
        summary_.started = std::chrono::system_clock::now();
        const AsioStopSignals stopSignals(context_, {SIGINT, SIGTERM}, [this](int) { stop(++stopSignalCount_); });
        startMore();
        const auto work = asio::make_work_guard(context_);
        while (!quit_) context_.run_one();
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
        endThreads(status);
        return status;
    }

private:
    // The devices in each state and the failed ones are counted as they change, and the first waiting device is
    // kept track of: with thousands of devices the bookkeeping of each start and end stays small.
    static std::size_t Index(DeviceState state) { return static_cast<std::size_t>(state); }
    std::size_t count(DeviceState state) const { return counts_[Index(state)]; }
    void setState(std::size_t i, DeviceState state) {
        --counts_[Index(slots_[i].state)];
        slots_[i].state = state;
        ++counts_[Index(state)];
    }
    bool finished() const { return count(DeviceState::Done) == slots_.size(); }
    bool failed(std::size_t i) const { return slots_[i].state == DeviceState::Done && !slots_[i].succeeded; }
    std::size_t firstWaiting() {
        while (nextWaiting_ < slots_.size() && slots_[nextWaiting_].state != DeviceState::Waiting) ++nextWaiting_;
        return nextWaiting_;
    }
    void finish(std::size_t i, std::string record) {
        summary_.results[i].record = std::move(record);
        slots_[i].succeeded = RecordResult(summary_.results[i].record) == "succeeded";
        if (!slots_[i].succeeded) ++failures_;
        setState(i, DeviceState::Done);
    }

    // Every device not started yet ends with this result.
    void endWaiting(const std::string& result, const std::string& message) {
        for (std::size_t i = firstWaiting(); i < slots_.size(); ++i) {
            if (slots_[i].state == DeviceState::Waiting) endWith(i, result, message);
        }
    }

    void endWith(std::size_t i, const std::string& result, const std::string& message) {
        finish(i, RunnerRecord(summary_.results[i].device, options_.procedure, result, message));
    }

    void startMore() {
        const std::size_t canaries = std::min<std::size_t>(static_cast<std::size_t>(options_.canary), slots_.size());
        while (!stopping_ && count(DeviceState::Waiting) > 0 &&
               count(DeviceState::Running) < static_cast<std::size_t>(options_.parallel)) {
            const std::size_t next = firstWaiting();
            if (next >= canaries && canaries > 0) {
                bool canaryRunning = false;
                bool canaryFailed = false;
                for (std::size_t i = 0; i < canaries; ++i) {
                    canaryRunning = canaryRunning || slots_[i].state == DeviceState::Running;
                    canaryFailed = canaryFailed || failed(i);
                }
                if (canaryRunning) break;
                if (canaryFailed) {
                    endWaiting("skipped", "not started: a canary device did not succeed");
                    break;
                }
            }
            if (options_.maxFailures > 0 && failures_ >= static_cast<std::size_t>(options_.maxFailures)) {
                endWaiting("skipped", "not started: " + std::to_string(failures_) + " devices had failed");
                break;
            }
            start(next);
        }
        if (finished()) quit_ = true;
    }

    CliOptions optionsFor(const FleetDevice& device) const {
        CliOptions options = options_;
        options.address = device.address;
        options.login = device.login;
        options.password = device.password;
        options.ftpPort = device.ftpPort;
        options.consolePort = device.consolePort;
        return options;
    }

    // Calls f on the runner's thread, from any thread.
    template <typename F>
    void post(F f) {
        asio::post(context_, std::move(f));
    }

    // The device's own thread.
    void start(std::size_t i) {
        DeviceSlot& slot = slots_[i];
        setState(i, DeviceState::Running);
        try {
            slot.thread = std::make_unique<DeviceThread>(
                [this, i, options = optionsFor(summary_.results[i].device)] { runOnThread(i, options); });
        } catch (const std::system_error& error) {
            endWith(i, "failed", std::string("not started: ") + error.what());
            return;
        }
        if (liveTable_) drawTable();
    }

    // Everything of the device's run is made on its own thread.
    void runOnThread(std::size_t i, const CliOptions& options) {
        DeviceRunEnd end;
        {
            const auto relayLine = [this, i](std::string line) { post([this, i, line] { relay(i, line); }); };
            LineRelay lines(relayLine);
            std::ostream out(&lines);
            LineRelay deadlineLines(relayLine);
            std::ostream deadlineOut(&deadlineLines);
            ProgressRelay progress([this, i](int done, int total) { post([=, this] { progressed(i, done, total); }); });
            end = RunDevice(options, {out, out, deadlineOut, liveTable_ ? &progress : nullptr}, slots_[i].stop,
                            [this, i] { post([this, i] { givenUp(i); }); });
        }
        post([this, i, record = std::move(end.record)] { ended(i, record); });
        slots_[i].returned = true;
    }

    // The device's status lines and messages: on a terminal the live table shows the latest; elsewhere each is
    // a line of output, prefixed with the device's name.
    void relay(std::size_t i, const std::string& text) {
        const std::string line = VisibleText(text);
        if (line.empty()) return;
        slots_[i].latest = line;
        if (liveTable_) {
            drawTable();
        } else {
            std::cout << "[" << VisibleText(summary_.results[i].device.name) << "] " << line << "\n" << std::flush;
        }
    }

    void progressed(std::size_t i, int done, int total) {
        DeviceSlot& slot = slots_[i];
        slot.uploadedBlocks = done;
        slot.totalBlocks = total;
        if (redrawArmed_) return;
        redrawArmed_ = true;
        redraw_.expires_after(kProgressRedraw);
        redraw_.async_wait([this](const std::error_code& error) {
            if (!error) drawTable();
        });
    }

    // One row per running device and a footer of counts, drawn over the previous table.
    void drawTable() {
        redrawArmed_ = false;
        redraw_.cancel();
        std::vector<LiveRow> rows;
        FleetCounts counts;
        counts.running = count(DeviceState::Running);
        counts.waiting = count(DeviceState::Waiting);
        counts.failed = failures_;
        counts.succeeded = count(DeviceState::Done) - failures_;
        for (std::size_t i = 0; i < slots_.size() && rows.size() < counts.running; ++i) {
            const DeviceSlot& slot = slots_[i];
            if (slot.state != DeviceState::Running) continue;
            const FleetDevice& device = summary_.results[i].device;
            rows.push_back({device.name, device.address, slot.latest, slot.uploadedBlocks, slot.totalBlocks});
        }
        std::string table;
        if (tableLines_ > 0) table += "\x1B[" + std::to_string(tableLines_) + "F\x1B[J";
        tableLines_ = static_cast<int>(rows.size()) + 1;
        std::cout << table << LiveTable(rows, counts) << std::flush;
    }

    void ended(std::size_t i, const std::string& record) {
        DeviceSlot& slot = slots_[i];
        // At once: handing on the record is the thread's last act.
        slot.thread->join();
        slot.thread.reset();
        // A device given up on or ended by the second signal has its record already.
        if (slot.state != DeviceState::Running) return;
        finish(i, interruptedAll_ ? RunnerRecord(summary_.results[i].device, options_.procedure, "interrupted",
                                                 "ended by a second stop signal")
                                  : NamedRecord(record, summary_.results[i].device.name));
        if (liveTable_) drawTable();
        startMore();
    }

    // An operation of the device's run still blocks its thread well after the run's limit: the fleet goes on
    // without it.
    void givenUp(std::size_t i) {
        if (slots_[i].state != DeviceState::Running) return;
        endWith(i, "failed",
                "the run did not end within " + std::to_string(options_.timeoutSeconds) +
                    " s, and an operation still did not return");
        if (liveTable_) drawTable();
        startMore();
    }

    void abandonRunning() {
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (slots_[i].state == DeviceState::Running)
                endWith(i, "interrupted", "ended by a second stop signal; its run did not return");
        }
        if (finished()) quit_ = true;
    }

    void stop(int signalCount) {
        if (signalCount == 1) {
            std::cerr << "tessel-cli: stopping: no further device starts; running devices finish their procedure"
                      << std::endl;
            stopping_ = true;
            endWaiting("interrupted", "not started: the run was stopped");
            if (finished()) quit_ = true;
            return;
        }
        if (interruptedAll_) return;
        std::cerr << "tessel-cli: stopping now" << std::endl;
        interruptedAll_ = true;
        stopping_ = true;
        endWaiting("interrupted", "not started: the run was stopped");
        for (DeviceSlot& slot : slots_) {
            if (slot.state == DeviceState::Running) slot.stop.stop();
        }
        stopGrace_.expires_after(kStopGrace);
        stopGrace_.async_wait([this](const std::error_code& error) {
            if (!error) abandonRunning();
        });
        if (finished()) quit_ = true;
    }

    // A thread that has not returned (given up on, or after the second signal) cannot be waited for: the
    // process ends without it, once the summary and report are out.
    void endThreads(int status) {
        std::size_t blocked = 0;
        for (DeviceSlot& slot : slots_) {
            if (!slot.thread) continue;
            if (slot.returned) {
                slot.thread->join();
                slot.thread.reset();
            } else {
                ++blocked;
            }
        }
        if (blocked == 0) return;
        std::cerr << "tessel-cli: the runs of " << blocked << " devices did not return; ending without them"
                  << std::endl;
        std::cout.flush();
        std::_Exit(status);
    }

    const CliOptions& options_;
    FleetSummary summary_;
    std::vector<DeviceSlot> slots_;
    std::array<std::size_t, 3> counts_{};
    std::size_t nextWaiting_ = 0;
    std::size_t failures_ = 0;
    const bool liveTable_ = DrawsOnTerminal(StandardStream::Output);
    int tableLines_ = 0;
    asio::io_context context_{1};
    bool quit_ = false;
    asio::steady_timer redraw_{context_};
    bool redrawArmed_ = false;
    asio::steady_timer stopGrace_{context_};
    // SIGINT and SIGTERM, counted: the first ends the run in order, the second at once.
    int stopSignalCount_ = 0;
    bool stopping_ = false;
    bool interruptedAll_ = false;
};

}  // namespace

int RunFleet(CliOptions options, const std::optional<std::string>& password) {
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
    // The transfer library makes the program's folder the current directory of the whole process at its first
    // upload: every path is made absolute before a device starts.
    options.packageDirectory = Absolute(options.packageDirectory);
    if (!options.report.empty()) options.report = Absolute(options.report);
    RaiseOpenFilesLimit(OpenFilesFor(static_cast<std::size_t>(options.parallel)));
    return FleetRun(options, std::move(devices)).run();
}

}  // namespace tessel::cli
