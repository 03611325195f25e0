// Bounds the blocking calls of a WinInet session. WinInet accepts timeouts but does not hold them under
// every implementation, and under Wine closing its handles from another thread ends a blocked connect but
// not a blocked read or write on a data connection. So each call runs on a thread of the session's own
// while the caller waits for it no longer than the call's bound. A call that overruns is left to that
// thread: the caller goes on with a failure, and every later call of the session fails at once.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <windows.h>

namespace skiffs {

class CallRunner {
public:
    using Clock = std::chrono::steady_clock;

    struct Result {
        // Whether the call succeeded, and ended in time.
        bool ok = false;
        // The call overran its bound (it may still be running).
        bool overran = false;
        // The system's error code after a failed call, and the last line of the server's last reply as the
        // calling thread saw it.
        DWORD error = ERROR_SUCCESS;
        std::string reply;
    };

    struct State;

    // What a long call (a whole upload's blocks) tells its caller while it runs on the session's thread.
    class Pulse {
    public:
        explicit Pulse(State& state) : state_(state) {}
        // The call still moves: its idle limit counts from now. False when the caller has given up on it.
        bool Beat();
        // Runs f while the caller still waits for the call, so that what f touches of the caller's is
        // still there; false, without running f, when the caller has given up. f must not block for long.
        bool WithCaller(const std::function<void()>& f);

    private:
        State& state_;
    };

    CallRunner();
    // The thread ends: at once when idle, else once its call returns.
    ~CallRunner();
    CallRunner(const CallRunner&) = delete;
    CallRunner& operator=(const CallRunner&) = delete;

    // Runs call on the session's thread and waits for it until deadline, and no longer than idle since
    // its start or its last beat. Whatever call touches outside Pulse::WithCaller must stay valid as long
    // as the call may run: values captured by copy, or memory shared with the call.
    Result Run(std::function<BOOL(Pulse&)> call, std::chrono::milliseconds idle, Clock::time_point deadline);

private:
    // Shared with the thread, which may outlive the runner.
    std::shared_ptr<State> state_;
};

// The last line of the last reply the server sent to the calling thread's WinInet calls; empty when none.
std::string LastReplyLine();

}  // namespace skiffs
