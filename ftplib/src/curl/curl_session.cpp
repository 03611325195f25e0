#include "curl_session.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "kept_session.h"
#include "verbose_trace.h"

namespace skiffs {

namespace {

// The longest wait for the reply to QUIT when a session closes.
constexpr std::chrono::seconds kQuitReply{5};

// A large receive buffer keeps the number of system calls of a big download low.
constexpr long kReceiveBuffer = 512 * 1024;

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// Percent-encodes a path for the URL; "/" keeps separating its parts.
std::string EncodePath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c) || c == '/' || c == ':') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

std::string BaseUrl(const JobRecord& record) {
    std::string host(FieldText(record.host));
    if (host.find(':') != std::string::npos && host.front() != '[') {
        host = "[" + EncodePath(host) + "]";
    }
    const unsigned port = record.port == 0 ? 21 : record.port;
    return "ftp://" + host + ":" + std::to_string(port) + "/";
}

CURL* Handle(void* curl) { return static_cast<CURL*>(curl); }

struct SinkCall {
    const FtpSession::Sink* sink;
    bool stopped = false;
};

std::size_t WriteToSink(char* data, std::size_t size, std::size_t count, void* user) {
    auto& call = *static_cast<SinkCall*>(user);
    if (!(*call.sink)(data, size * count)) {
        call.stopped = true;
        return 0;
    }
    return size * count;
}

std::size_t Discard(char*, std::size_t size, std::size_t count, void*) { return size * count; }

}  // namespace

CurlSession::CurlSession(const JobRecord& record, const CallLimits& limits, bool kept)
    : curl_(nullptr),
      kept_(kept),
      base_(BaseUrl(record)),
      user_(FieldText(record.user)),
      password_(FieldText(record.password)),
      passive_(record.passive != 0) {
    Arm(record, limits);
    InitCurlOnce();
    curl_ = curl_easy_init();
}

CurlSession::~CurlSession() {
    if (curl_ == nullptr) return;
    // Closing sends QUIT and waits for its reply as long as the last request let a reply take: after a
    // store, the final reply's bound. Nothing depends on that reply, and a device gone silent must not
    // hold the call or the thread's end that long. libcurl takes the wait from the last request begun
    // on the handle, so one that goes nowhere (a scheme libcurl does not know) sets it first.
    CURL* curl = Handle(curl_);
    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(std::min(limits_.reply, kQuitReply).count()));
    curl_easy_setopt(curl, CURLOPT_URL, "skiffs-close:");
    curl_easy_perform(curl);
    curl_easy_cleanup(curl);
}

bool CurlSession::Serves(const JobRecord& record) const {
    return base_ == BaseUrl(record) && user_ == FieldText(record.user) && password_ == FieldText(record.password) &&
           passive_ == (record.passive != 0);
}

void CurlSession::Rearm(const JobRecord& record, const CallLimits& limits) {
    Arm(record, limits);
    reused_ = true;
}

void CurlSession::Arm(const JobRecord& record, const CallLimits& limits) {
    ascii_ = record.transferType == kTransferTypeAscii;
    upload_ = record.direction == kDirectionUpload;
    verbose_ = std::getenv("SKIFFS_VERBOSE") != nullptr;
    limits_ = limits;
    start_ = std::chrono::steady_clock::now();
    deadline_ = start_ + CallBound(limits_, 0, upload_);
    answered_ = false;
    keptConnectionGone_ = false;
}

void CurlSession::Prepare(std::string_view path, long fileMethod) {
    CURL* curl = Handle(curl_);
    curl_easy_reset(curl);
    const std::string url = base_ + EncodePath(path);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_USERNAME, user_.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password_.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, fileMethod);
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, ascii_ ? 1L : 0L);
    if (!passive_) curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
    // A passive reply names an address; the data connection goes to the server already connected.
    curl_easy_setopt(curl, CURLOPT_FTP_SKIP_PASV_IP, 1L);
    const long replySeconds = static_cast<long>(limits_.reply.count());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, replySeconds);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, replySeconds);
    curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, replySeconds * 1000);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits_.stallFloorBytesPerSecond);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, replySeconds);
    // What is left of the whole call's bound; a request made after it ran out fails at once.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, std::max<long>(1, static_cast<long>(left.count())));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Discard);
    if (kept_) curl_easy_setopt(curl, CURLOPT_MAXAGE_CONN, kKeptSessionIdleSeconds);
    if (verbose_) {
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, TraceDebug);
    }
}

void CurlSession::AllowData(std::uint64_t bytes) { deadline_ = start_ + CallBound(limits_, bytes, upload_); }

CurlSession::Login CurlSession::Connect(std::string_view dir) {
    if (curl_ == nullptr) return Login::Failed;
    // On a new connection the directory is entered straight from the login directory: one round trip
    // fewer than a second request, which would first go back there.
    std::string path(dir);
    if (!path.empty() && path.back() != '/') path += '/';
    Prepare(path, CURLFTPMETHOD_SINGLECWD);
    curl_easy_setopt(Handle(curl_), CURLOPT_NOBODY, 1L);
    const CURLcode code = static_cast<CURLcode>(Perform());
    if (code == CURLE_OK) return Login::Entered;
    if (path.empty()) return Login::Failed;
    // The login directory is known once the login went through: what failed after it was the CWD.
    const char* entry = nullptr;
    curl_easy_getinfo(Handle(curl_), CURLINFO_FTP_ENTRY_PATH, &entry);
    return code == CURLE_REMOTE_ACCESS_DENIED || entry != nullptr ? Login::NoDirectory : Login::Failed;
}

int CurlSession::Perform() {
    CURL* curl = Handle(curl_);
    const CURLcode code = curl_easy_perform(curl);
    long connects = 0;
    long reply = 0;
    curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &connects);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
    // The call's first exchange failed over the connection kept from the call before (no new one was
    // made), without a reply or with the server closing it. A request that exchanged nothing, as the
    // connection already was where it had to be, is no exchange.
    constexpr long kClosing = 421;
    if (reused_ && !answered_ && code != CURLE_OK && connects == 0 && (reply == 0 || reply == kClosing)) {
        keptConnectionGone_ = true;
    }
    if (reply != 0) answered_ = true;
    return code;
}

CurlSession::Outcome CurlSession::Retrieve(std::string_view path, const Sink& sink) {
    return Retrieve(path, CURLFTPMETHOD_NOCWD, sink);
}

CurlSession::Outcome CurlSession::Retrieve(std::string_view path, long fileMethod, const Sink& sink) {
    Prepare(path, fileMethod);
    CURL* curl = Handle(curl_);
    SinkCall call{&sink};
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBuffer);
    // The size is known from the listing: no SIZE command, which some servers lack.
    curl_easy_setopt(curl, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToSink);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &call);
    const int code = Perform();
    if (call.stopped) return Outcome::Stopped;
    return code == CURLE_OK ? Outcome::Done : Outcome::Failed;
}

std::optional<std::vector<ListingEntry>> CurlSession::List(std::string_view dir) {
    std::string path(dir);
    if (!path.empty() && path.back() != '/') path += '/';
    std::string listing;
    // A server that never stops listing is not followed past this.
    constexpr std::size_t kLargestListing = 16u << 20;
    const Sink collect = [&](const char* data, std::size_t size) {
        if (listing.size() + size > kLargestListing) return false;
        listing.append(data, size);
        return true;
    };
    // A path that ends in "/" lists the directory: CWD into it, then LIST.
    if (Retrieve(path, CURLFTPMETHOD_SINGLECWD, collect) != Outcome::Done) return std::nullopt;
    return ParseListing(listing);
}

std::unique_ptr<FtpSession> OpenFtpSession(const JobRecord& record, const CallLimits& limits, bool kept) {
    return std::make_unique<CurlSession>(record, limits, kept);
}

}  // namespace skiffs
