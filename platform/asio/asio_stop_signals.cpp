#include "platform/asio/asio_stop_signals.h"

#include <asio/io_context.hpp>
#include <asio/signal_set.hpp>

namespace tessel {

struct AsioStopSignals::Watch : std::enable_shared_from_this<Watch> {
    Watch(asio::io_context& context, std::function<void(int)> handler)
        : signals(context), onSignal(std::move(handler)) {}

    void await() {
        signals.async_wait([self = shared_from_this()](const std::error_code& error, int signalNumber) {
            if (error || self->ended) return;
            self->await();
            self->onSignal(signalNumber);
        });
    }

    asio::signal_set signals;
    std::function<void(int)> onSignal;
    bool ended = false;
};

AsioStopSignals::AsioStopSignals(asio::io_context& context, std::initializer_list<int> signalNumbers,
                                 std::function<void(int signalNumber)> onSignal)
    : watch_(std::make_shared<Watch>(context, std::move(onSignal))) {
    for (const int number : signalNumbers) watch_->signals.add(number);
    watch_->await();
}

AsioStopSignals::~AsioStopSignals() {
    watch_->ended = true;
    std::error_code ignored;
    watch_->signals.clear(ignored);
    watch_->signals.cancel(ignored);
}

}  // namespace tessel
