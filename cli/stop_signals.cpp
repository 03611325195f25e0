#include "cli/stop_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>

namespace tessel::cli {
namespace {

int signalPair[2] = {-1, -1};

extern "C" void OnStopSignal(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const auto written = ::write(signalPair[0], &byte, 1);
}

}  // namespace

StopSignals::StopSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPair) != 0) {
        throw std::runtime_error("socketpair failed");
    }
    notifier_ = std::make_unique<QSocketNotifier>(signalPair[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(signalPair[1], &byte, 1) == 1) emit stopRequested(++count_);
    });
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

StopSignals::~StopSignals() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    notifier_.reset();
    ::close(signalPair[0]);
    ::close(signalPair[1]);
}

}  // namespace tessel::cli
