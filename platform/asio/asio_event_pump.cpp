#include "platform/asio/asio_event_pump.h"

#include <asio/io_context.hpp>
#include <thread>

namespace tessel {

void AsioEventPump::pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

void AsioEventPump::dispatchPendingEvents() {
    // A poll that finds no work at all leaves the context stopped, which would make every later poll a no-op.
    if (context_.stopped()) context_.restart();
    context_.poll();
}

}  // namespace tessel
