#include "call_runner.h"

#include <wininet.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace skiffs {

struct CallRunner::State {
    std::mutex mutex;
    std::condition_variable changed;
    std::function<BOOL(Pulse&)> call;
    bool pending = false;
    bool running = false;
    bool stop = false;
    // The caller has stopped waiting for the running call.
    bool abandoned = false;
    Clock::time_point lastBeat;
    Result result;
};

bool CallRunner::Pulse::Beat() {
    std::lock_guard lock(state_.mutex);
    state_.lastBeat = Clock::now();
    return !state_.abandoned;
}

bool CallRunner::Pulse::WithCaller(const std::function<void()>& f) {
    std::lock_guard lock(state_.mutex);
    if (state_.abandoned) return false;
    f();
    return true;
}

namespace {

void Serve(const std::shared_ptr<CallRunner::State>& state) {
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->changed.wait(lock, [&] { return state->pending || state->stop; });
        if (state->stop) return;
        std::function<BOOL(CallRunner::Pulse&)> call = std::move(state->call);
        state->pending = false;
        state->running = true;
        lock.unlock();
        CallRunner::Pulse pulse(*state);
        CallRunner::Result result;
        result.ok = call(pulse) != FALSE;
        if (!result.ok) {
            result.error = GetLastError();
            result.reply = LastReplyLine();
        }
        lock.lock();
        state->result = std::move(result);
        state->running = false;
        state->changed.notify_all();
    }
}

}  // namespace

std::string LastReplyLine() {
    DWORD error = 0;
    std::array<char, 1024> text{};
    DWORD length = static_cast<DWORD>(text.size());
    if (!InternetGetLastResponseInfoA(&error, text.data(), &length)) return {};
    std::string reply(text.data(), std::min<std::size_t>(length, text.size()));
    // The last line holds the code of a multi-line reply.
    while (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n')) reply.pop_back();
    const std::size_t lineStart = reply.find_last_of('\n');
    return lineStart == std::string::npos ? reply : reply.substr(lineStart + 1);
}

CallRunner::CallRunner() : state_(std::make_shared<State>()) {
    std::thread([state = state_] { Serve(state); }).detach();
}

CallRunner::~CallRunner() {
    // A call that overran may never return: the thread keeps the state alive and ends after it.
    std::lock_guard lock(state_->mutex);
    state_->stop = true;
    state_->changed.notify_all();
}

CallRunner::Result CallRunner::Run(std::function<BOOL(Pulse&)> call, std::chrono::milliseconds idle,
                                   Clock::time_point deadline) {
    std::unique_lock lock(state_->mutex);
    if (state_->running) return Result{false, true, ERROR_INTERNET_TIMEOUT, {}};
    state_->call = std::move(call);
    state_->pending = true;
    state_->abandoned = false;
    state_->lastBeat = Clock::now();
    state_->changed.notify_all();
    const auto ended = [&] { return !state_->pending && !state_->running; };
    // Woken when the call ends, or when its bound as last known comes; a beat moves the bound later.
    for (;;) {
        const Clock::time_point bound = std::min(state_->lastBeat + idle, deadline);
        if (state_->changed.wait_until(lock, bound, ended)) return state_->result;
        if (Clock::now() >= std::min(state_->lastBeat + idle, deadline)) break;
    }
    state_->abandoned = true;
    return Result{false, true, ERROR_INTERNET_TIMEOUT, {}};
}

}  // namespace skiffs
