// The FTP session on WinInet: one connection handle (InternetConnect) is one control connection, which
// every request after the login reuses. Each blocking WinInet call is bounded by the session's
// watchdog, which closes the session's handles when a call overruns; the session is then dead and
// every later request fails at once.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "call_limits.h"
#include "call_watchdog.h"
#include "ftp_session.h"
#include "job_record.h"

namespace skiffs {

// The last line of the last reply the server sent this thread's WinInet calls; empty when none.
std::string LastReplyLine();

class WinInetSession final : public FtpSession {
public:
    WinInetSession(const JobRecord& record, const CallLimits& limits, bool kept);
    ~WinInetSession() override;
    WinInetSession(const WinInetSession&) = delete;
    WinInetSession& operator=(const WinInetSession&) = delete;

    Login Connect(std::string_view dir) override;
    bool Serves(const JobRecord& record) const override;
    void Rearm(const JobRecord& record, const CallLimits& limits) override;
    bool KeptConnectionWasGone() const override { return keptConnectionGone_; }
    void AllowData(std::uint64_t bytes) override;
    Outcome Store(std::string_view path, const StoreFeed& feed) override;
    Outcome Retrieve(std::string_view path, const Sink& sink) override;
    std::optional<std::vector<ListingEntry>> List(std::string_view dir) override;

private:
    using Clock = CallWatchdog::Clock;

    void Arm(const JobRecord& record, const CallLimits& limits);
    // The bound of one call that waits for a reply (or for data) at most limit.
    Clock::time_point Bound(std::chrono::seconds limit) const;
    // Starts a blocking call under the watchdog; false when the session is already dead.
    bool Begin(std::chrono::seconds limit);
    // Ends it: whether it succeeded (ok) and the session lives; notes what a failure says of a kept
    // connection.
    bool End(bool ok);
    // Logs in on a new connection and learns the login directory.
    bool Open();
    void CloseConnection();
    // Enters dir; true when it was entered.
    bool Enter(std::string_view dir);
    // Goes back to the login directory.
    bool Leave();
    // Lists the server's current directory.
    std::optional<std::vector<ListingEntry>> ListHere();
    // Closes a file or listing handle; for a file, whether the server confirmed the transfer.
    bool CloseTransfer(HINTERNET handle, std::chrono::seconds limit);
    // Closes the root handle, and with it every handle below it; once only.
    void CloseRoot();

    std::string host_;
    std::uint16_t port_;
    std::string user_;
    std::string password_;
    bool passive_;
    bool kept_;
    bool ascii_ = false;
    bool upload_ = false;
    CallLimits limits_;
    Clock::time_point start_;
    Clock::time_point deadline_;
    Clock::time_point lastUsed_;

    std::atomic<HINTERNET> root_{nullptr};
    HINTERNET connection_ = nullptr;
    std::string loginDirectory_;
    bool reused_ = false;
    bool answered_ = false;
    bool keptConnectionGone_ = false;
    CallWatchdog watchdog_;
};

}  // namespace skiffs
