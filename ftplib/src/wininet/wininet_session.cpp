#include "wininet_session.h"

#include <algorithm>
#include <array>
#include <memory>

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

WinInetSession::WinInetSession(const JobRecord& record, const CallLimits& limits)
    : host_(FieldText(record.host)),
      port_(record.port),
      user_(FieldText(record.user)),
      password_(FieldText(record.password)),
      passive_(record.passive != 0) {
    Arm(record, limits);
    root_ = InternetOpenA("", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    dead_ = root_ == nullptr;
}

WinInetSession::~WinInetSession() {
    // Closing the connection sends QUIT and waits for its reply; nothing depends on it.
    CloseConnection();
    CloseRoot();
}

void WinInetSession::CloseRoot() {
    if (root_ != nullptr) InternetCloseHandle(root_);
    root_ = nullptr;
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

bool WinInetSession::Call(std::chrono::seconds limit, std::function<BOOL()> call) {
    return CallWithPulse(limit, [call = std::move(call)](CallRunner::Pulse&) { return call(); });
}

bool WinInetSession::CallWithPulse(std::chrono::seconds limit, std::function<BOOL(CallRunner::Pulse&)> call) {
    if (dead_) return false;
    const CallRunner::Result result = runner_.Run(std::move(call), limit, deadline_);
    lastUsed_ = Clock::now();
    if (result.overran) {
        dead_ = true;
        connection_ = nullptr;
        // Ends what closing can end (a connect, a reply awaited); a read or write on a data connection
        // stays with the session's thread until the connection ends.
        CloseRoot();
        return false;
    }
    if (result.ok) {
        answered_ = true;
        return true;
    }
    // The call's first exchange failed over the connection kept from the call before: the device
    // restarted and reset it, or closed it (421).
    if (reused_ && !answered_ && (IsDeadConnection(result.error) || result.reply.rfind("421", 0) == 0)) {
        keptConnectionGone_ = true;
    }
    return false;
}

bool WinInetSession::Open() {
    struct Login {
        HINTERNET connection = nullptr;
        std::array<char, MAX_PATH + 1> dir{};
        DWORD length = MAX_PATH + 1;
    };
    const auto login = std::make_shared<Login>();
    const HINTERNET root = root_;
    const INTERNET_PORT port = port_ == 0 ? INTERNET_DEFAULT_FTP_PORT : port_;
    const DWORD flags = passive_ ? INTERNET_FLAG_PASSIVE : 0;
    const bool connected = Call(kRepliesPerWinInetCall * limits_.reply, [=, host = host_, user = user_,
                                                                         password = password_] {
        login->connection = InternetConnectA(root, host.c_str(), port, user.c_str(), password.c_str(),
                                             INTERNET_SERVICE_FTP, flags, 1);
        return login->connection != nullptr;
    });
    if (!connected) return false;
    connection_ = login->connection;
    const HINTERNET connection = connection_;
    if (!Call(limits_.reply, [=] { return FtpGetCurrentDirectoryA(connection, login->dir.data(), &login->length); })) {
        return false;
    }
    loginDirectory_.assign(login->dir.data(), std::min<std::size_t>(login->length, login->dir.size() - 1));
    return true;
}

void WinInetSession::CloseConnection() {
    const HINTERNET connection = connection_;
    connection_ = nullptr;
    if (connection != nullptr) Call(std::min(limits_.reply, kQuitReply), [=] { return InternetCloseHandle(connection); });
}

bool WinInetSession::Enter(std::string_view dir) {
    const HINTERNET connection = connection_;
    return Call(limits_.reply, [=, path = std::string(dir)] { return FtpSetCurrentDirectoryA(connection, path.c_str()); });
}

bool WinInetSession::Leave() { return Enter(loginDirectory_); }

FtpSession::Login WinInetSession::Connect(std::string_view dir) {
    // A kept connection idle for long is not trusted: a new login replaces it.
    if (connection_ != nullptr && Clock::now() - lastUsed_ > std::chrono::seconds(kKeptSessionIdleSeconds)) {
        CloseConnection();
        reused_ = false;
    }
    if (connection_ == nullptr && !Open()) return Login::Failed;
    if (dir.empty()) return Login::Entered;
    // The check goes in and back out: every request starts from the login directory.
    if (!Enter(dir)) return dead_ ? Login::Failed : Login::NoDirectory;
    return Leave() ? Login::Entered : Login::Failed;
}

std::optional<std::vector<ListingEntry>> WinInetSession::List(std::string_view dir) {
    if (!dir.empty() && !Enter(dir)) return std::nullopt;
    std::optional<std::vector<ListingEntry>> entries = ListHere();
    if (!Leave()) return std::nullopt;
    return entries;
}

std::optional<std::vector<ListingEntry>> WinInetSession::ListHere() {
    struct Find {
        HINTERNET handle = nullptr;
        WIN32_FIND_DATAA found{};
        bool more = true;
    };
    const auto find = std::make_shared<Find>();
    const HINTERNET connection = connection_;
    // An empty directory is an empty listing.
    const bool listed = Call(kRepliesPerWinInetCall * limits_.reply, [=] {
        find->handle = FtpFindFirstFileA(connection, nullptr, &find->found,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 1);
        find->more = find->handle != nullptr;
        return find->handle != nullptr || GetLastError() == ERROR_NO_MORE_FILES;
    });
    if (!listed) return std::nullopt;
    std::vector<ListingEntry> entries;
    bool complete = !find->more;
    while (!complete && entries.size() < kMostEntries) {
        ListingEntry entry;
        entry.name = find->found.cFileName;
        entry.size = (std::uint64_t{find->found.nFileSizeHigh} << 32) | find->found.nFileSizeLow;
        entry.directory = (find->found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back(std::move(entry));
        const bool next = Call(limits_.reply, [=] {
            find->more = InternetFindNextFileA(find->handle, &find->found) != FALSE;
            return find->more || GetLastError() == ERROR_NO_MORE_FILES;
        });
        if (!next) break;
        complete = !find->more;
    }
    if (find->handle != nullptr) CloseTransfer(find->handle, limits_.reply);
    if (!complete) return std::nullopt;
    return entries;
}

std::unique_ptr<FtpSession> OpenFtpSession(const JobRecord& record, const CallLimits& limits, bool) {
    return std::make_unique<WinInetSession>(record, limits);
}

}  // namespace skiffs
