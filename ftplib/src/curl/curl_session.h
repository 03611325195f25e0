// The FTP session on libcurl: one easy handle is one control connection, which every request after
// the login reuses.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "call_limits.h"
#include "ftp_session.h"
#include "job_record.h"

namespace skiffs {

class CurlSession final : public FtpSession {
public:
    CurlSession(const JobRecord& record, const CallLimits& limits, bool kept);
    ~CurlSession() override;
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    Login Connect(std::string_view dir) override;
    bool Serves(const JobRecord& record) const override;
    void Rearm(const JobRecord& record, const CallLimits& limits) override;
    bool KeptConnectionWasGone() const override { return keptConnectionGone_; }
    void AllowData(std::uint64_t bytes) override;
    Outcome Store(std::string_view path, const StoreFeed& feed) override;
    Outcome Retrieve(std::string_view path, const Sink& sink) override;
    std::optional<std::vector<ListingEntry>> List(std::string_view dir) override;

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
