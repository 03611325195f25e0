// The data side of a WinInet session: a file opened on the server (FtpOpenFile) and written in
// 1024-byte blocks or read, each call within its bound.
#include <array>
#include <memory>
#include <vector>

#include "stall_meter.h"
#include "wininet_session.h"

namespace skiffs {

namespace {

constexpr std::size_t kBlock = 1024;
// A large read keeps the number of calls of a big download low.
constexpr std::size_t kReadSize = 64 * 1024;
// Replies that opening a file waits for: TYPE, PASV and the transfer command.
constexpr int kRepliesToOpen = 3;

// Whether the last reply was a refusal (4xx or 5xx).
bool LastReplyRefused() {
    const std::string line = LastReplyLine();
    return !line.empty() && (line.front() == '4' || line.front() == '5');
}

}  // namespace

HINTERNET WinInetSession::OpenFile(std::string_view path, DWORD access) {
    const auto file = std::make_shared<HINTERNET>(nullptr);
    const HINTERNET connection = connection_;
    const DWORD flags = (ascii_ ? FTP_TRANSFER_TYPE_ASCII : FTP_TRANSFER_TYPE_BINARY) | INTERNET_FLAG_RELOAD |
                        INTERNET_FLAG_NO_CACHE_WRITE;
    const bool opened = Call(kRepliesToOpen * limits_.reply, [=, name = std::string(path)] {
        *file = FtpOpenFileA(connection, name.c_str(), access, flags, 1);
        return *file != nullptr;
    });
    return opened ? *file : nullptr;
}

bool WinInetSession::CloseTransfer(HINTERNET handle, std::chrono::seconds limit) {
    // Closing a file handle waits for the reply that ends the transfer.
    return Call(limit, [=] { return InternetCloseHandle(handle) != FALSE && !LastReplyRefused(); });
}

FtpSession::Outcome WinInetSession::Store(std::string_view path, const StoreFeed& feed) {
    const HINTERNET file = OpenFile(path, GENERIC_WRITE);
    if (file == nullptr) return Outcome::Failed;
    std::uint64_t sent = 0;
    bool stopped = false;
    bool unread = false;
    // The blocks go out from the session's thread in one call, which beats after each: handing every
    // block to that thread on its own costs more than sending it. The feed is asked on the caller's
    // behalf, only while the caller still waits.
    const bool written = CallWithPulse(limits_.reply, [&, file](CallRunner::Pulse& pulse) -> BOOL {
        std::array<char, kBlock> block;
        for (;;) {
            std::optional<std::size_t> given;
            if (!pulse.WithCaller([&] { given = feed.fill(block.data(), block.size()); })) return FALSE;
            if (!given) {
                pulse.WithCaller([&] { unread = true; });
                return FALSE;
            }
            if (*given == 0) return TRUE;
            // A block that cannot go out within a reply limit is below the stall floor.
            DWORD done = 0;
            if (!InternetWriteFile(file, block.data(), static_cast<DWORD>(*given), &done) || done != *given) {
                return FALSE;
            }
            if (!pulse.Beat()) return FALSE;
            bool go = true;
            if (!pulse.WithCaller([&] {
                    sent += done;
                    go = feed.sent(sent);
                    stopped = !go;
                })) {
                return FALSE;
            }
            // Closing the file now ends it with the blocks sent so far.
            if (!go) return TRUE;
        }
    });
    // The reply that confirms the file may take as long as the device writes it.
    const bool confirmed = CloseTransfer(file, std::max(limits_.reply, limits_.finalReply));
    if (!written || unread) return Outcome::Failed;
    if (stopped) return Outcome::Stopped;
    return confirmed ? Outcome::Done : Outcome::Failed;
}

FtpSession::Outcome WinInetSession::Retrieve(std::string_view path, const Sink& sink) {
    const HINTERNET file = OpenFile(path, GENERIC_READ);
    if (file == nullptr) return Outcome::Failed;
    struct Buffer {
        std::vector<char> bytes = std::vector<char>(kReadSize);
        DWORD got = 0;
    };
    const auto buffer = std::make_shared<Buffer>();
    bool stopped = false;
    bool failed = false;
    // A read returns as soon as any bytes arrive: a drip-feed answers each in time.
    StallMeter meter(limits_, Clock::now());
    for (;;) {
        const bool read = Call(limits_.reply, [=] {
            return InternetReadFile(file, buffer->bytes.data(), static_cast<DWORD>(buffer->bytes.size()), &buffer->got);
        });
        if (!read || !meter.Moved(buffer->got, Clock::now())) {
            failed = true;
            break;
        }
        if (buffer->got == 0) break;
        if (!sink(buffer->bytes.data(), buffer->got)) {
            stopped = true;
            break;
        }
    }
    const bool confirmed = CloseTransfer(file, limits_.reply);
    if (failed) return Outcome::Failed;
    if (stopped) return Outcome::Stopped;
    return confirmed ? Outcome::Done : Outcome::Failed;
}

}  // namespace skiffs
