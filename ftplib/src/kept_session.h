// The FTP session a thread keeps open between its calls when SKIFFS_KEEP_SESSION is 1, so that its next
// call to the same server neither connects nor logs in again. Over a slow link that saves the connect, the
// greeting, USER, PASS and PWD of every file after the first.
#pragma once

#include <memory>

#include "call_limits.h"

namespace skiffs {

class FtpSession;
struct JobRecord;

// A kept connection idle longer than this is not used again: a fresh login replaces it. The uploads of one
// update step follow each other within a second or two; a device's restart takes longer than this, so a
// connection from before a restart is mostly not even tried.
inline constexpr long kKeptSessionIdleSeconds = 10;

// Whether calls keep their session for the next call of the same thread: SKIFFS_KEEP_SESSION is "1".
bool KeepSessionEnabled();

class KeptSession {
public:
    KeptSession();
    // The thread has ended: its kept session is closed (QUIT).
    ~KeptSession();
    KeptSession(const KeptSession&) = delete;
    KeptSession& operator=(const KeptSession&) = delete;

    // The session of the call in record. With reuse, the kept one when it was opened for the call's host,
    // port, user, password and passive setting, armed afresh for this call; otherwise a new one, and the kept
    // one is closed first.
    std::unique_ptr<FtpSession> Take(const JobRecord& record, const CallLimits& limits, bool reuse);
    // Holds the session of a call that has ended, for the thread's next call.
    void Keep(std::unique_ptr<FtpSession> session);
    // Closes the kept session, if there is one.
    void Drop();
    // Whether the call that just ended met the kept connection gone: its first exchange failed over it.
    bool WasGone() const;

private:
    std::unique_ptr<FtpSession> session_;
};

}  // namespace skiffs
