// The data side of a WinInet session: a file opened on the server (FtpOpenFile) and written in
// 1024-byte blocks or read, each call within its bound.
#include <array>
#include <memory>
#include <vector>

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
    struct Block {
        std::array<char, kBlock> bytes;
        DWORD size = 0;
        DWORD written = 0;
    };
    const auto block = std::make_shared<Block>();
    std::uint64_t sent = 0;
    bool stopped = false;
    bool failed = false;
    for (;;) {
        const std::optional<std::size_t> given = feed.fill(block->bytes.data(), block->bytes.size());
        if (!given) {
            failed = true;
            break;
        }
        if (*given == 0) break;
        block->size = static_cast<DWORD>(*given);
        // A block that cannot go out within a reply limit is below the stall floor.
        const bool written = Call(limits_.reply, [=] {
            return InternetWriteFile(file, block->bytes.data(), block->size, &block->written) != FALSE &&
                   block->written == block->size;
        });
        if (!written) {
            failed = true;
            break;
        }
        sent += block->size;
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
    const HINTERNET file = OpenFile(path, GENERIC_READ);
    if (file == nullptr) return Outcome::Failed;
    struct Buffer {
        std::vector<char> bytes = std::vector<char>(kReadSize);
        DWORD got = 0;
    };
    const auto buffer = std::make_shared<Buffer>();
    bool stopped = false;
    bool failed = false;
    for (;;) {
        const bool read = Call(limits_.reply, [=] {
            return InternetReadFile(file, buffer->bytes.data(), static_cast<DWORD>(buffer->bytes.size()),
                                    &buffer->got);
        });
        if (!read) {
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
