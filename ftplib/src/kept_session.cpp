#include "kept_session.h"

#include <cstdlib>
#include <cstring>

#include "ftp_session.h"

namespace skiffs {

bool KeepSessionEnabled() {
    const char* value = std::getenv("SKIFFS_KEEP_SESSION");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

KeptSession::KeptSession() = default;

KeptSession::~KeptSession() = default;

std::unique_ptr<FtpSession> KeptSession::Take(const JobRecord& record, const CallLimits& limits, bool reuse) {
    std::unique_ptr<FtpSession> kept = std::move(session_);
    if (kept && reuse && kept->Serves(record)) {
        kept->Rearm(record, limits);
        return kept;
    }
    kept.reset();
    return OpenFtpSession(record, limits, reuse);
}

void KeptSession::Keep(std::unique_ptr<FtpSession> session) { session_ = std::move(session); }

void KeptSession::Drop() { session_.reset(); }

bool KeptSession::WasGone() const { return session_ && session_->KeptConnectionWasGone(); }

}  // namespace skiffs
