#include "wininet_session.h"

#include <algorithm>
#include <array>

#include "kept_session.h"

namespace skiffs {

namespace {

// The longest wait for the reply to QUIT when a session closes.
constexpr std::chrono::seconds kQuitReply{5};
// Replies that one WinInet call waits for: the login (greeting, USER, PASS), and the opening of a
// file or a listing (TYPE, PASV, the transfer command).
constexpr int kRepliesPerWinInetCall = 3;
// A server that never stops listing is not followed past this many entries.
constexpr std::size_t kMostEntries = 1u << 20;

// Errors of a connection that was gone before the request was made.
bool IsDeadConnection(DWORD error) {
    return error == ERROR_INTERNET_CONNECTION_ABORTED || error == ERROR_INTERNET_CONNECTION_RESET ||
           error == ERROR_FTP_DROPPED || error == ERROR_INTERNET_OPERATION_CANCELLED;
}

}  // namespace

std::string LastReplyLine() {
    DWORD error = 0;
    std::array<char, 1024> text{};
    DWORD length = static_cast<DWORD>(text.size());
    if (!InternetGetLastResponseInfoA(&error, text.data(), &length)) return {};
    std::string reply(text.data(), std::min<std::size_t>(length, text.size()));
    // The last line holds the code of a multi-line reply.
    while (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n')) reply.pop_back();
    const std::size_t lineStart = reply.find_last_of('\n');
    return lineStart == std::string::npos ? reply : reply.substr(lineStart + 1);
}

WinInetSession::WinInetSession(const JobRecord& record, const CallLimits& limits, bool kept)
    : host_(FieldText(record.host)),
      port_(record.port),
      user_(FieldText(record.user)),
      password_(FieldText(record.password)),
      passive_(record.passive != 0),
      kept_(kept),
      watchdog_([this] { CloseRoot(); }) {
    Arm(record, limits);
    root_ = InternetOpenA("", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
}

WinInetSession::~WinInetSession() {
    // Closing the connection sends QUIT and waits for its reply; nothing depends on it.
    if (connection_ != nullptr && Begin(std::min(limits_.reply, kQuitReply))) {
        InternetCloseHandle(connection_);
        End(true);
    }
    connection_ = nullptr;
    CloseRoot();
}

void WinInetSession::CloseRoot() {
    if (const HINTERNET root = root_.exchange(nullptr)) InternetCloseHandle(root);
}

bool WinInetSession::Serves(const JobRecord& record) const {
    return host_ == FieldText(record.host) && port_ == record.port && user_ == FieldText(record.user) &&
           password_ == FieldText(record.password) && passive_ == (record.passive != 0);
}

void WinInetSession::Rearm(const JobRecord& record, const CallLimits& limits) {
    Arm(record, limits);
    reused_ = true;
}

void WinInetSession::Arm(const JobRecord& record, const CallLimits& limits) {
    ascii_ = record.transferType == kTransferTypeAscii;
    upload_ = record.direction == kDirectionUpload;
    limits_ = limits;
    start_ = Clock::now();
    deadline_ = start_ + CallBound(limits_, 0, upload_);
    answered_ = false;
    keptConnectionGone_ = false;
}

void WinInetSession::AllowData(std::uint64_t bytes) { deadline_ = start_ + CallBound(limits_, bytes, upload_); }

WinInetSession::Clock::time_point WinInetSession::Bound(std::chrono::seconds limit) const {
    return std::min<Clock::time_point>(Clock::now() + limit, deadline_);
}

bool WinInetSession::Begin(std::chrono::seconds limit) {
    if (root_.load() == nullptr || watchdog_.Expired()) return false;
    watchdog_.Arm(Bound(limit));
    return true;
}

bool WinInetSession::End(bool ok) {
    const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    const bool expired = watchdog_.Disarm();
    lastUsed_ = Clock::now();
    if (ok && !expired) {
        answered_ = true;
        return true;
    }
    // The call's first exchange failed over the connection kept from the call before: the device
    // restarted and reset it, or closed it (421).
    if (reused_ && !answered_ && !expired && (IsDeadConnection(error) || LastReplyLine().rfind("421", 0) == 0)) {
        keptConnectionGone_ = true;
    }
    return false;
}

bool WinInetSession::Open() {
    if (!Begin(kRepliesPerWinInetCall * limits_.reply)) return false;
    const INTERNET_PORT port = port_ == 0 ? INTERNET_DEFAULT_FTP_PORT : port_;
    connection_ = InternetConnectA(root_.load(), host_.c_str(), port, user_.c_str(), password_.c_str(),
                                   INTERNET_SERVICE_FTP, passive_ ? INTERNET_FLAG_PASSIVE : 0, 1);
    if (!End(connection_ != nullptr)) return false;
    std::array<char, MAX_PATH + 1> dir{};
    DWORD length = static_cast<DWORD>(dir.size());
    if (!Begin(limits_.reply)) return false;
    if (!End(FtpGetCurrentDirectoryA(connection_, dir.data(), &length) != FALSE)) return false;
    loginDirectory_.assign(dir.data(), std::min<std::size_t>(length, dir.size() - 1));
    return true;
}

void WinInetSession::CloseConnection() {
    if (connection_ != nullptr && !watchdog_.Expired()) InternetCloseHandle(connection_);
    connection_ = nullptr;
}

bool WinInetSession::Enter(std::string_view dir) {
    const std::string path(dir);
    return Begin(limits_.reply) && End(FtpSetCurrentDirectoryA(connection_, path.c_str()) != FALSE);
}

bool WinInetSession::Leave() {
    return Begin(limits_.reply) && End(FtpSetCurrentDirectoryA(connection_, loginDirectory_.c_str()) != FALSE);
}

FtpSession::Login WinInetSession::Connect(std::string_view dir) {
    // A kept connection idle for long is not trusted: a new login replaces it.
    if (connection_ != nullptr && Clock::now() - lastUsed_ > std::chrono::seconds(kKeptSessionIdleSeconds)) {
        CloseConnection();
        reused_ = false;
    }
    if (connection_ == nullptr && !Open()) return Login::Failed;
    if (dir.empty()) return Login::Entered;
    // The check goes in and back out: every request starts from the login directory.
    if (!Enter(dir)) return watchdog_.Expired() ? Login::Failed : Login::NoDirectory;
    return Leave() ? Login::Entered : Login::Failed;
}

std::optional<std::vector<ListingEntry>> WinInetSession::List(std::string_view dir) {
    if (!dir.empty() && !Enter(dir)) return std::nullopt;
    std::optional<std::vector<ListingEntry>> entries = ListHere();
    if (!Leave()) return std::nullopt;
    return entries;
}

std::optional<std::vector<ListingEntry>> WinInetSession::ListHere() {
    std::vector<ListingEntry> entries;
    WIN32_FIND_DATAA found{};
    if (!Begin(kRepliesPerWinInetCall * limits_.reply)) return std::nullopt;
    const HINTERNET find =
        FtpFindFirstFileA(connection_, nullptr, &found, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 1);
    // An empty directory is an empty listing.
    if (!End(find != nullptr || GetLastError() == ERROR_NO_MORE_FILES)) return std::nullopt;
    if (find == nullptr) return entries;
    bool complete = false;
    while (entries.size() < kMostEntries && Begin(limits_.reply)) {
        ListingEntry entry;
        entry.name = found.cFileName;
        entry.size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
        entry.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back(std::move(entry));
        const BOOL more = InternetFindNextFileA(find, &found);
        if (!End(more != FALSE || GetLastError() == ERROR_NO_MORE_FILES)) break;
        if (!more) {
            complete = true;
            break;
        }
    }
    CloseTransfer(find, limits_.reply);
    if (!complete) return std::nullopt;
    return entries;
}

std::unique_ptr<FtpSession> OpenFtpSession(const JobRecord& record, const CallLimits& limits, bool kept) {
    return std::make_unique<WinInetSession>(record, limits, kept);
}

}  // namespace skiffs
