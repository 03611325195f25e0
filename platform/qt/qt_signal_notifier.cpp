#include "platform/qt/qt_signal_notifier.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>

namespace tessel {
namespace {

int signalPair[2] = {-1, -1};

extern "C" void OnSignal(int signalNumber) {
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const auto written = ::write(signalPair[0], &byte, 1);
}

}  // namespace

QtSignalNotifier::QtSignalNotifier(std::initializer_list<int> signalNumbers) : signalNumbers_(signalNumbers) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPair) != 0) {
        throw std::runtime_error("socketpair failed");
    }
    notifier_ = std::make_unique<QSocketNotifier>(signalPair[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(signalPair[1], &byte, 1) == 1) emit signalled(byte);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : signalNumbers_) sigaction(number, &action, nullptr);
}

QtSignalNotifier::~QtSignalNotifier() {
    for (const int number : signalNumbers_) std::signal(number, SIG_DFL);
    notifier_.reset();
    ::close(signalPair[0]);
    ::close(signalPair[1]);
}

}  // namespace tessel
