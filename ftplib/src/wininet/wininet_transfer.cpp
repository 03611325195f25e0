// The data side of a WinInet session: a file opened on the server (FtpOpenFile) and written in
// 1024-byte blocks or read, each call under the watchdog.
#include <array>
#include <vector>

#include "wininet_session.h"

namespace skiffs {

namespace {

constexpr std::size_t kBlock = 1024;
// A large read keeps the number of calls of a big download low.
constexpr std::size_t kReadSize = 64 * 1024;
// Replies that opening a file waits for: TYPE, PASV and the transfer command.
constexpr int kRepliesToOpen = 3;

DWORD TransferFlags(bool ascii) {
    return (ascii ? FTP_TRANSFER_TYPE_ASCII : FTP_TRANSFER_TYPE_BINARY) | INTERNET_FLAG_RELOAD |
           INTERNET_FLAG_NO_CACHE_WRITE;
}

// Whether the last reply was a refusal (4xx or 5xx).
bool LastReplyRefused() {
    const std::string line = LastReplyLine();
    return !line.empty() && (line.front() == '4' || line.front() == '5');
}

}  // namespace

bool WinInetSession::CloseTransfer(HINTERNET handle, std::chrono::seconds limit) {
    // A handle the watchdog has closed with the root is gone already.
    if (!Begin(limit)) return false;
    // Closing a file handle waits for the reply that ends the transfer.
    const bool closed = InternetCloseHandle(handle) != FALSE && !LastReplyRefused();
    return End(closed);
}

FtpSession::Outcome WinInetSession::Store(std::string_view path, const StoreFeed& feed) {
    const std::string name(path);
    if (!Begin(kRepliesToOpen * limits_.reply)) return Outcome::Failed;
    const HINTERNET file = FtpOpenFileA(connection_, name.c_str(), GENERIC_WRITE, TransferFlags(ascii_), 1);
    if (!End(file != nullptr)) return Outcome::Failed;
    std::array<char, kBlock> block;
    std::uint64_t sent = 0;
    bool stopped = false;
    bool failed = false;
    for (;;) {
        const std::optional<std::size_t> given = feed.fill(block.data(), block.size());
        if (!given) {
            failed = true;
            break;
        }
        if (*given == 0) break;
        // A block that cannot go out within a reply limit is below the stall floor.
        DWORD written = 0;
        if (!Begin(limits_.reply) ||
            !End(InternetWriteFile(file, block.data(), static_cast<DWORD>(*given), &written) != FALSE &&
                 written == *given)) {
            failed = true;
            break;
        }
        sent += written;
        if (!feed.sent(sent)) {
            // Closing the file now ends it with the blocks sent so far.
            stopped = true;
            break;
        }
    }
    // The reply that confirms the file may take as long as the device writes it.
    const bool confirmed = CloseTransfer(file, std::max(limits_.reply, limits_.finalReply));
    if (failed) return Outcome::Failed;
    if (stopped) return Outcome::Stopped;
    return confirmed ? Outcome::Done : Outcome::Failed;
}

FtpSession::Outcome WinInetSession::Retrieve(std::string_view path, const Sink& sink) {
    const std::string name(path);
    if (!Begin(kRepliesToOpen * limits_.reply)) return Outcome::Failed;
    const HINTERNET file = FtpOpenFileA(connection_, name.c_str(), GENERIC_READ, TransferFlags(ascii_), 1);
    if (!End(file != nullptr)) return Outcome::Failed;
    std::vector<char> buffer(kReadSize);
    bool stopped = false;
    bool failed = false;
    for (;;) {
        DWORD got = 0;
        if (!Begin(limits_.reply) ||
            !End(InternetReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got) != FALSE)) {
            failed = true;
            break;
        }
        if (got == 0) break;
        if (!sink(buffer.data(), got)) {
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
