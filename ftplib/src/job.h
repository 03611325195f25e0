// One transfer's hold on the job table and its FTP session, from job start to the end of the call.
// Whatever way the call ends, the entry is released and the temporary file deleted; the session is
// closed, or handed back to the thread's record when sessions are kept (kept_session.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ftp_session.h"
#include "job_record.h"
#include "job_table.h"

namespace skiffs {

class Job {
public:
    explicit Job(JobRecord& record);
    ~Job();
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    // Claims the entry for the record's host, logs in (or takes up the thread's kept session) and
    // enters dir in the same exchange ("" stays in the login directory): SKIFF_OK when logged in, else
    // the call's code (SKIFF_HOST_BUSY for a busy host, SKIFF_NO_CONNECTION when the connection or
    // login fails). Whether dir was entered: InDirectory().
    int Begin(std::string_view dir = {});
    bool InDirectory() const { return inDirectory_; }

    FtpSession& Session() { return *session_; }
    // The entry this job claimed; none when the table was full at job start.
    std::optional<int> Entry() const { return entry_; }
    bool CancelRequested(int entry) const;
    void Progress(int entry, std::int64_t total, std::int64_t done);

    // The thread's temporary file, deleted when the job ends.
    std::string& TempName() { return tempName_; }

private:
    JobRecord& record_;
    JobTable& table_;
    const bool keep_;
    std::optional<int> entry_;
    std::unique_ptr<FtpSession> session_;
    std::string tempName_;
    bool inDirectory_ = false;
};

// Transfers count their progress in blocks of this size.
inline constexpr std::size_t kBlockSize = 1024;

// Number of 1024-byte blocks that size bytes make, the last one possibly short.
std::int64_t BlockCount(std::uint64_t size);

}  // namespace skiffs
