// One FTP session (one control connection) of a call, as the transfers see it; each system's protocol
// engine implements it in a folder of its own. Every request after the login reuses the connection,
// and each starts from the login directory. Every request keeps to the call's limits: a reply limit
// per reply, the stall floor on data connections and the bound of the whole call. A kept session
// outlives its call and serves the thread's next call to the same server (kept_session.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "call_limits.h"
#include "ftp_listing.h"
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
    enum class Login { Failed, Entered, NoDirectory };

    // Closing a session sends QUIT and waits for its reply no longer than the closing bound.
    virtual ~FtpSession() = default;

    // Connects, logs in and, in the same exchange, enters dir: relative to the login directory unless
    // it starts with "/"; "" stays in the login directory. Failed when the server cannot be reached,
    // refuses the login or is silent; NoDirectory when logged in but dir cannot be entered. The next
    // request goes back to the login directory first. On a connection kept from an earlier call only
    // the way into dir is sent (nothing at all for "", where the connection already is).
    virtual Login Connect(std::string_view dir) = 0;

    // Whether the session was opened for the record's host, port, user, password and passive setting.
    virtual bool Serves(const JobRecord& record) const = 0;
    // Arms the kept session for the next call of the record: its transfer type, direction, tracing and
    // limits, and the whole call's bound counted from now.
    virtual void Rearm(const JobRecord& record, const CallLimits& limits) = 0;
    // Whether the call's first exchange failed over a connection kept from an earlier call without a
    // reply, or with 421 (the server closing it): the connection was gone before the call began, and
    // nothing of the call has reached the server.
    virtual bool KeptConnectionWasGone() const = 0;

    // Gives the call time for this many bytes over its data connection, at the stall floor.
    virtual void AllowData(std::uint64_t bytes) = 0;

    // Stores the feed's bytes under path, in the record's transfer type. The bytes go out in
    // 1024-byte blocks, as many at a time as the socket takes at once, so that a stop asked for
    // between two blocks holds back the next one. The reply that confirms the file has its own limit.
    virtual Outcome Store(std::string_view path, const StoreFeed& feed) = 0;

    // Retrieves path into the sink.
    virtual Outcome Retrieve(std::string_view path, const Sink& sink) = 0;

    // The entries of dir, relative to the login directory ("" is the login directory), as the server
    // lists them; nothing when the listing fails.
    virtual std::optional<std::vector<ListingEntry>> List(std::string_view dir) = 0;
};

// A new session for the call of the record, on the protocol engine the library was built with;
// nothing is sent before Connect. A kept session (kept true) does not use a connection again once it
// has been idle for longer than kKeptSessionIdleSeconds.
std::unique_ptr<FtpSession> OpenFtpSession(const JobRecord& record, const CallLimits& limits, bool kept);

}  // namespace skiffs
