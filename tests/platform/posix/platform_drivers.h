// Each implementation of the platform interfaces on this system with the event loop that runs it, so that one
// set of contract tests runs against every implementation.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <asio/io_context.hpp>
#include <asio/post.hpp>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/asio/asio_event_pump.h"
#include "platform/asio/asio_stream_socket.h"
#include "platform/asio/asio_window_timers.h"
#include "platform/qt/qt_event_pump.h"
#include "platform/qt/qt_stream_socket.h"
#include "platform/qt/qt_window_timers.h"
#include "tests/platform/qt_test_support.h"

// The drivers stand outside any namespace: test names carry their type names.

constexpr std::chrono::milliseconds kWaitBound{10000};

// The Qt implementations on the application's event loop (the test program makes the QCoreApplication).
class QtPlatform {
public:
    using Timers = tessel::QtWindowTimers;

    std::unique_ptr<tessel::StreamSocket> makeSocket(tessel::StreamSocketEvents& events) {
        return std::make_unique<tessel::QtStreamSocket>(events);
    }
    std::unique_ptr<tessel::SocketFactory> makeFactory() { return std::make_unique<tessel::QtSocketFactory>(); }
    std::unique_ptr<Timers> makeTimers() { return std::make_unique<tessel::QtWindowTimers>(); }
    std::unique_ptr<tessel::EventPump> makePump() { return std::make_unique<tessel::QtEventPump>(); }

    // An event for the loop to handle later.
    void post(std::function<void()> event) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(event), Qt::QueuedConnection);
    }
    // Runs the event loop until the condition holds or the bound has passed; returns the condition.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound = kWaitBound) {
        return tessel::qt_test::WaitFor(condition, bound);
    }
    // Handles whatever is waiting now.
    void dispatch() { QCoreApplication::processEvents(); }
};

// The Asio implementations on an io_context of their own, run by the test's thread.
class AsioPlatform {
    static constexpr std::chrono::milliseconds kIdleStep{1};

public:
    using Timers = tessel::AsioWindowTimers;

    std::unique_ptr<tessel::StreamSocket> makeSocket(tessel::StreamSocketEvents& events) {
        return std::make_unique<tessel::AsioStreamSocket>(context_, events);
    }
    std::unique_ptr<tessel::SocketFactory> makeFactory() {
        return std::make_unique<tessel::AsioSocketFactory>(context_);
    }
    std::unique_ptr<Timers> makeTimers() { return std::make_unique<tessel::AsioWindowTimers>(context_); }
    std::unique_ptr<tessel::EventPump> makePump() { return std::make_unique<tessel::AsioEventPump>(context_); }

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

// Every implementation the contract tests run against.
using PlatformDrivers = ::testing::Types<QtPlatform, AsioPlatform>;
