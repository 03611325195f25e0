// One FTP session (one control connection) of a call, on libcurl. Every request after the login
// reuses the connection, and each starts from the login directory. Every request keeps to the
// call's limits: a reply limit per reply, the stall floor on data connections and the bound of the
// whole call. A kept session outlives its call and serves the thread's next call to the same server
// (kept_session.h).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "call_limits.h"
#include "job_record.h"

namespace skiffs {

class FtpSession {
public:
    // What an upload sends, and what it learns of the bytes sent.
    struct StoreFeed {
        // Hands out the next bytes of the file into buf, at most max; 0 ends the file, nothing
        // breaks the transfer off.
        std::function<std::optional<std::size_t>(char* buf, std::size_t max)> fill;
        // Told how many bytes have gone to the network so far; false asks to stop before more go.
        std::function<bool(std::uint64_t sent)> sent;
    };
    // Takes the next bytes of a download; false stops the transfer.
    using Sink = std::function<bool(const char* data, std::size_t size)>;

    enum class Outcome { Done, Failed, Stopped };

    // A kept session does not use a connection again once it has been idle for longer than
    // kKeptSessionIdleSeconds.
    FtpSession(const JobRecord& record, const CallLimits& limits, bool kept = false);
    ~FtpSession();
    FtpSession(const FtpSession&) = delete;
    FtpSession& operator=(const FtpSession&) = delete;

    enum class Login { Failed, Entered, NoDirectory };

    // Connects, logs in and, in the same exchange, enters dir: relative to the login directory unless
    // it starts with "/"; "" stays in the login directory. Failed when the server cannot be reached,
    // refuses the login or is silent; NoDirectory when logged in but dir cannot be entered. The next
    // request goes back to the login directory first. On a connection kept from an earlier call only
    // the way into dir is sent (nothing at all for "", where the connection already is).
    Login Connect(std::string_view dir = {});

    // Whether the session was opened for the record's host, port, user, password and passive setting.
    bool Serves(const JobRecord& record) const;
    // Arms the kept session for the next call of the record: its transfer type, direction, tracing and
    // limits, and the whole call's bound counted from now.
    void Rearm(const JobRecord& record, const CallLimits& limits);
    // Whether the call's first exchange failed over a connection kept from an earlier call without a
    // reply, or with 421 (the server closing it): the connection was gone before the call began, and
    // nothing of the call has reached the server.
    bool KeptConnectionWasGone() const { return keptConnectionGone_; }

    // Gives the call time for this many bytes over its data connection, at the stall floor.
    void AllowData(std::uint64_t bytes);

    // Stores the feed's bytes under path, in the record's transfer type. The bytes go out in
    // 1024-byte blocks, as many at a time as the socket takes at once, so that a stop asked for
    // between two blocks holds back the next one. The reply that confirms the file has its own limit.
    Outcome Store(std::string_view path, const StoreFeed& feed);

    // Retrieves path into the sink.
    Outcome Retrieve(std::string_view path, const Sink& sink);

    // The listing (LIST) of dir, relative to the login directory ("" is the login directory).
    std::optional<std::string> List(std::string_view dir);

private:
    // Arms the session for the call of the record (see Rearm).
    void Arm(const JobRecord& record, const CallLimits& limits);
    // Runs the request prepared on the handle and gives libcurl's result code; notes whether it was
    // the call's first exchange and failed on a kept connection.
    int Perform();
    Outcome Retrieve(std::string_view path, long fileMethod, const Sink& sink);
    // Resets the handle for the next request on the same connection.
    void Prepare(std::string_view path, long fileMethod);

    void* curl_;
    bool kept_;
    std::string base_;
    std::string user_;
    std::string password_;
    bool ascii_;
    bool passive_;
    bool upload_;
    bool verbose_;
    CallLimits limits_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point deadline_;
    // Whether the session was kept from an earlier call: only then can its connection have died
    // before the call began.
    bool reused_ = false;
    // Whether a request of this call has had a reply yet.
    bool answered_ = false;
    bool keptConnectionGone_ = false;
};

}  // namespace skiffs
