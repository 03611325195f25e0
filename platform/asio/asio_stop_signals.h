// Process signals reported on an io_context, so that a program can end in order.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>

namespace asio {
class io_context;
}

namespace tessel {

// While it lives, the given signals do not end the process: each one is reported to onSignal by the thread
// that runs the context. One watcher per process.
class AsioStopSignals {
public:
    AsioStopSignals(asio::io_context& context, std::initializer_list<int> signalNumbers,
                    std::function<void(int signalNumber)> onSignal);
    ~AsioStopSignals();
    AsioStopSignals(const AsioStopSignals&) = delete;
    AsioStopSignals& operator=(const AsioStopSignals&) = delete;

private:
    struct Watch;
    std::shared_ptr<Watch> watch_;
};

}  // namespace tessel
