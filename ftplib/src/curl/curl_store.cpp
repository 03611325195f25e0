// The upload side of a session: the file goes out in 1024-byte blocks, paced by the data socket.
// Only as many blocks are handed to libcurl as the socket takes at once, so nothing waits inside
// libcurl that a stop could no longer hold back, and the bytes counted as sent are those libcurl
// has written to the socket.
#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

#include "curl_session.h"
#include "socket_send_queue.h"
#include "verbose_trace.h"

namespace skiffs {

namespace {

constexpr std::size_t kBlock = 1024;
// The data socket's send buffer. It bounds what the kernel holds beyond the blocks counted as sent
// (the kernel keeps about as much again for its own accounting), and is ample for a local network.
constexpr std::size_t kSocketBuffer = 64 * 1024;
constexpr std::size_t kMostBlocksAtOnce = kSocketBuffer / kBlock;

using Clock = std::chrono::steady_clock;

struct StoreCall {
    const FtpSession::StoreFeed* feed = nullptr;
    std::chrono::seconds replyLimit{0};
    bool verbose = false;
    curl_socket_t dataSocket = CURL_SOCKET_BAD;
    std::uint64_t handed = 0;
    bool fileEnded = false;
    bool stopped = false;
    // Since when a command waits for its reply; none while no reply is due.
    std::optional<Clock::time_point> awaitingSince;
};

// Blocks the data socket takes now without waiting: room left in its send queue, at least one.
std::size_t BlocksThatFit(curl_socket_t fd) {
    if (fd == CURL_SOCKET_BAD) return 1;
    const std::optional<std::size_t> queued = QueuedSendBytes(static_cast<SocketHandle>(fd));
    if (!queued) return 1;
    const std::size_t room = *queued < kSocketBuffer ? kSocketBuffer - *queued : 0;
    return std::clamp<std::size_t>(room / kBlock, 1, kMostBlocksAtOnce);
}

std::size_t Fill(char* buffer, std::size_t size, std::size_t count, void* user) {
    auto& call = *static_cast<StoreCall*>(user);
    const std::size_t max = std::min(size * count, BlocksThatFit(call.dataSocket) * kBlock);
    const std::optional<std::size_t> given = call.feed->fill(buffer, max);
    if (!given) return CURL_READFUNC_ABORT;
    call.handed += *given;
    if (*given == 0) call.fileEnded = true;
    return *given;
}

// The last socket opened is the data connection: the control connection already stands, and in
// active mode the accepted connection follows the listening one.
int OnSocket(void* user, curl_socket_t fd, curlsocktype) {
    auto& call = *static_cast<StoreCall*>(user);
    call.dataSocket = fd;
    AskSendBuffer(static_cast<SocketHandle>(fd), static_cast<int>(kSocketBuffer));
    return CURL_SOCKOPT_OK;
}

// Follows the control connection: a command sent waits for its reply; the last line of a reply
// ("226 ..." rather than "226-...") ends the wait.
int OnDebug(CURL*, curl_infotype type, char* data, std::size_t size, void* user) {
    auto& call = *static_cast<StoreCall*>(user);
    if (type == CURLINFO_HEADER_OUT) call.awaitingSince = Clock::now();
    if (type == CURLINFO_HEADER_IN && size >= 4 && data[3] == ' ') call.awaitingSince.reset();
    if (call.verbose) TraceConversation(type, data, size);
    return 0;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
    auto& call = *static_cast<StoreCall*>(user);
    const auto sent = static_cast<std::uint64_t>(uploaded);
    // Blocks handed out but not yet written stay unsent when a stop is asked for.
    if (!call.feed->sent(sent) && call.handed > sent) {
        call.stopped = true;
        return 1;
    }
    // The reply that confirms the file is bounded by its own limit, which libcurl applies; every
    // other reply by the ordinary one.
    if (!call.fileEnded && call.awaitingSince && Clock::now() - *call.awaitingSince > call.replyLimit) return 1;
    return 0;
}

}  // namespace

CurlSession::Outcome CurlSession::Store(std::string_view path, const StoreFeed& feed) {
    Prepare(path, CURLFTPMETHOD_NOCWD);
    CURL* curl = static_cast<CURL*>(curl_);
    StoreCall call;
    call.feed = &feed;
    call.replyLimit = limits_.reply;
    call.verbose = verbose_;
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_UPLOAD_BUFFERSIZE, static_cast<long>(kSocketBuffer));
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, Fill);
    curl_easy_setopt(curl, CURLOPT_READDATA, &call);
    curl_easy_setopt(curl, CURLOPT_SOCKOPTFUNCTION, OnSocket);
    curl_easy_setopt(curl, CURLOPT_SOCKOPTDATA, &call);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &call);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, OnDebug);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &call);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>(std::max(limits_.reply, limits_.finalReply).count()));
    const int code = Perform();
    if (call.stopped) return Outcome::Stopped;
    return code == CURLE_OK ? Outcome::Done : Outcome::Failed;
}

}  // namespace skiffs
