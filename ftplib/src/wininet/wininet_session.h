// The FTP session on WinInet: one connection handle (InternetConnect) is one control connection, which
// every request after the login reuses. Each blocking WinInet call runs within its bound (call_runner.h);
// after one overran, the session is dead and every later request fails at once.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "call_limits.h"
#include "call_runner.h"
#include "ftp_session.h"
#include "job_record.h"

namespace skiffs {

class WinInetSession final : public FtpSession {
public:
    // A kept session and one of a single call differ in nothing here: a connection idle for long is
    // replaced in either.
    WinInetSession(const JobRecord& record, const CallLimits& limits);
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
    using Clock = CallRunner::Clock;

    void Arm(const JobRecord& record, const CallLimits& limits);
    // Runs a blocking WinInet call that waits for a reply (or for data) at most limit, and no longer than
    // the whole call's bound; true when it succeeded. Notes what a failure says of a kept connection.
    bool Call(std::chrono::seconds limit, std::function<BOOL()> call);
    // The same for a call that beats while it moves: limit counts from its last beat.
    bool CallWithPulse(std::chrono::seconds limit, std::function<BOOL(CallRunner::Pulse&)> call);
    // Logs in on a new connection and learns the login directory.
    bool Open();
    void CloseConnection();
    // Enters dir; true when it was entered.
    bool Enter(std::string_view dir);
    // Goes back to the login directory.
    bool Leave();
    // Lists the server's current directory.
    std::optional<std::vector<ListingEntry>> ListHere();
    // Opens a file on the server for reading or writing; null when it cannot be opened.
    HINTERNET OpenFile(std::string_view path, DWORD access);
    // Closes a file or listing handle; for a file, whether the server confirmed the transfer.
    bool CloseTransfer(HINTERNET handle, std::chrono::seconds limit);
    // Closes the root handle, and with it every handle below it; once only.
    void CloseRoot();

    std::string host_;
    std::uint16_t port_;
    std::string user_;
    std::string password_;
    bool passive_;
    bool ascii_ = false;
    bool upload_ = false;
    CallLimits limits_;
    Clock::time_point start_;
    Clock::time_point deadline_;
    Clock::time_point lastUsed_;

    HINTERNET root_ = nullptr;
    HINTERNET connection_ = nullptr;
    std::string loginDirectory_;
    // A call overran its bound: the handles are closed and nothing more is asked of the server.
    bool dead_ = false;
    bool reused_ = false;
    bool answered_ = false;
    bool keptConnectionGone_ = false;
    CallRunner runner_;
};

}  // namespace skiffs
