#include "job.h"

#include <algorithm>
#include <limits>

#include "kept_session.h"
#include "temp_folder.h"
#include "transfer.h"

namespace skiffs {

namespace {

std::int32_t Clamp32(std::int64_t value) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

Job::Job(JobRecord& record) : record_(record), table_(JobTable::Process()), keep_(KeepSessionEnabled()) {}

Job::~Job() {
    RemoveTemporaryFile(tempName_);
    if (entry_) table_.Release(*entry_);
    if (keep_) record_.kept.Keep(std::move(session_));
    session_.reset();
}

int Job::Begin(std::string_view dir) {
    const JobTable::Started started = table_.Start(FieldText(record_.host));
    if (started.claim == JobTable::Claim::HostBusy) return SKIFF_HOST_BUSY;
    entry_ = started.entry;
    session_ = record_.kept.Take(record_, CurrentCallLimits(), keep_);
    const FtpSession::Login login = session_->Connect(dir);
    inDirectory_ = login == FtpSession::Login::Entered;
    return login == FtpSession::Login::Failed ? SKIFF_NO_CONNECTION : SKIFF_OK;
}

bool Job::CancelRequested(int entry) const { return table_.CancelRequested(entry); }

void Job::Progress(int entry, std::int64_t total, std::int64_t done) {
    table_.SetProgress(entry, Clamp32(total), Clamp32(done));
}

std::int64_t BlockCount(std::uint64_t size) { return static_cast<std::int64_t>((size + 1023) / 1024); }

}  // namespace skiffs
