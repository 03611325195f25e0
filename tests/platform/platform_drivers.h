// Each implementation of the platform interfaces with the event loop that runs it, so that one set of contract
// tests runs against every implementation.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <asio/io_context.hpp>
#include <asio/post.hpp>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>

#include "platform/asio/asio_event_pump.h"
#include "platform/asio/asio_stream_socket.h"
#include "platform/asio/asio_window_timers.h"
#include "platform/qt/qt_event_pump.h"
#include "platform/qt/qt_stream_socket.h"
#include "platform/qt/qt_window_timers.h"

namespace tessel::platform_test {

constexpr std::chrono::milliseconds kWaitBound{10000};

// The Qt implementations on the application's event loop (the test program makes the QCoreApplication).
class QtDriver {
public:
    using Timers = QtWindowTimers;

    std::unique_ptr<StreamSocket> makeSocket(StreamSocketEvents& events) {
        return std::make_unique<QtStreamSocket>(events);
    }
    std::unique_ptr<SocketFactory> makeFactory() { return std::make_unique<QtSocketFactory>(); }
    std::unique_ptr<Timers> makeTimers() { return std::make_unique<QtWindowTimers>(); }
    std::unique_ptr<EventPump> makePump() { return std::make_unique<QtEventPump>(); }

    // An event for the loop to handle later.
    void post(std::function<void()> event) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(event), Qt::QueuedConnection);
    }
    // Runs the event loop until the condition holds or the bound has passed; returns the condition.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound = kWaitBound) {
        QDeadlineTimer deadline(bound.count());
        while (!condition() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        return condition();
    }
    // Handles whatever is waiting now.
    void dispatch() { QCoreApplication::processEvents(); }
};

// The Asio implementations on an io_context of their own, run by the test's thread.
class AsioDriver {
    static constexpr std::chrono::milliseconds kIdleStep{1};

public:
    using Timers = AsioWindowTimers;

    std::unique_ptr<StreamSocket> makeSocket(StreamSocketEvents& events) {
        return std::make_unique<AsioStreamSocket>(context_, events);
    }
    std::unique_ptr<SocketFactory> makeFactory() { return std::make_unique<AsioSocketFactory>(context_); }
    std::unique_ptr<Timers> makeTimers() { return std::make_unique<AsioWindowTimers>(context_); }
    std::unique_ptr<EventPump> makePump() { return std::make_unique<AsioEventPump>(context_); }

    void post(std::function<void()> event) { asio::post(context_, std::move(event)); }
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound = kWaitBound) {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (!condition() && std::chrono::steady_clock::now() < deadline) {
            // Out of work, the context stops; the next event may still come from a test's own action.
            if (context_.stopped()) context_.restart();
            if (context_.run_one_for(std::chrono::milliseconds(20)) == 0) std::this_thread::sleep_for(kIdleStep);
        }
        return condition();
    }
    void dispatch() {
        if (context_.stopped()) context_.restart();
        context_.poll();
    }

private:
    asio::io_context context_;
};

struct DriverNames {
    template <typename Driver>
    static std::string GetName(int) {
        return std::is_same_v<Driver, QtDriver> ? "Qt" : "Asio";
    }
};

}  // namespace tessel::platform_test
