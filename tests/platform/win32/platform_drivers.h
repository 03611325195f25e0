// The implementations of the platform interfaces on this system with the message loop that runs them, so that
// one set of contract tests runs against every implementation.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>

#include "platform/win32/message_window.h"
#include "platform/win32/win32_event_pump.h"
#include "platform/win32/win32_stream_socket.h"
#include "platform/win32/win32_window_timers.h"

// The drivers stand outside any namespace: test names carry their type names.

constexpr std::chrono::milliseconds kWaitBound{10000};

// The Win32 implementations on the test thread's message loop (the test program starts Windows Sockets).
class Win32Platform {
    static constexpr UINT kPostedEvent = WM_APP + 7;

public:
    using Timers = tessel::Win32WindowTimers;

    std::unique_ptr<tessel::StreamSocket> makeSocket(tessel::StreamSocketEvents& events) {
        return std::make_unique<tessel::Win32StreamSocket>(events);
    }
    std::unique_ptr<tessel::SocketFactory> makeFactory() { return std::make_unique<tessel::Win32SocketFactory>(); }
    std::unique_ptr<Timers> makeTimers() { return std::make_unique<tessel::Win32WindowTimers>(); }
    std::unique_ptr<tessel::EventPump> makePump() { return std::make_unique<tessel::Win32EventPump>(); }

    // An event for the loop to handle later: a message to a window of the driver's own.
    void post(std::function<void()> event) {
        auto* posted = new std::function<void()>(std::move(event));
        if (!::PostMessageW(events_.handle(), kPostedEvent, 0, reinterpret_cast<LPARAM>(posted))) delete posted;
    }
    // Runs the message loop until the condition holds or the bound has passed; returns the condition.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound = kWaitBound) {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (!condition() && std::chrono::steady_clock::now() < deadline) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            dispatch();
        }
        return condition();
    }
    // Handles whatever is waiting now.
    void dispatch() {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }

private:
    tessel::win32::MessageWindow events_{[](UINT message, WPARAM, LPARAM lParam) {
        if (message != kPostedEvent) return false;
        const std::unique_ptr<std::function<void()>> event(reinterpret_cast<std::function<void()>*>(lParam));
        (*event)();
        return true;
    }};
};

// Every implementation the contract tests run against.
using PlatformDrivers = ::testing::Types<Win32Platform>;
