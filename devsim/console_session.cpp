#include "devsim/console_session.h"

#include "devsim/activity_log.h"

#include <algorithm>

#include "platform/os/code_page_932.h"

namespace tessel::devsim {

namespace {

// Pause between two blocks, so that a client's reads see them apart.
constexpr int kBlockGapMs = 30;

// The login ID and password as the device holds them: in code page 932, the bytes the updater sends for the
// same text. Text that code page 932 cannot hold stays as it is.
std::string DeviceText(const std::string& text) { return os::Utf8ToCp932(text).value_or(text); }

std::string FirstWord(const std::string& line) {
    const auto start = line.find_first_not_of(' ');
    if (start == std::string::npos) return {};
    return line.substr(start, line.find(' ', start) - start);
}

}  // namespace

ConsoleSession::ConsoleSession(QTcpSocket* socket, DeviceState& device, const LinkSettings& link, int id,
                               QObject* parent)
    : QObject(parent),
      socket_(socket),
      fromClient_(link, [this](const QByteArray& bytes) { OnReceived(bytes); }, this),
      toClient_(link,
                [this](const QByteArray& bytes) {
                    socket_->write(bytes);
                    socket_->flush();
                },
                this),
      device_(device),
      id_(id),
      shell_(device, [this](const std::string& text) { Note(text); }) {
    socket_->setParent(this);
    // The handshake of a real link: the device sees the connection three one-way delays after the client's
    // connect returned.
    fromClient_.HoldFor(3 * link.delayMs);
    toClient_.HoldFor(4 * link.delayMs);
    blockTimer_.setSingleShot(true);
    connect(&blockTimer_, &QTimer::timeout, this, &ConsoleSession::SendNextBlock);
    connect(socket_, &QTcpSocket::readyRead, this, [this] { fromClient_.Send(socket_->readAll()); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        Note("connection closed by the client");
        blockTimer_.stop();
        fromClient_.Clear();
        toClient_.Clear();
        emit closed(this);
    });
    Note("connected from " + socket_->peerAddress().toString().toStdString());
}

void ConsoleSession::Drop() {
    blockTimer_.stop();
    fromClient_.Clear();
    toClient_.Clear();
    socket_->disconnect(this);
    socket_->abort();
    Note("connection dropped");
}

void ConsoleSession::Note(const std::string& text) const {
    Log(device_.logName + "console " + std::to_string(id_) + ": " + text);
}

void ConsoleSession::OnReceived(const QByteArray& bytes) {
    for (const char c : bytes) {
        if (c == '\n' && afterCr_) {
            afterCr_ = false;
            continue;
        }
        afterCr_ = c == '\r';
        if (c == '\r' || c == '\n') {
            lines_.push_back(std::move(partialLine_));
            partialLine_.clear();
        } else {
            partialLine_ += c;
        }
    }
    HandleNextLines();
}

void ConsoleSession::HandleNextLines() {
    while (!lines_.empty() && blocks_.empty() && !restartAfterBlocks_) {
        const std::string line = std::move(lines_.front());
        lines_.pop_front();
        HandleLine(line);
    }
}

void ConsoleSession::HandleLine(const std::string& line) {
    switch (stage_) {
        case Stage::LoginId:
            Note("login ID \"" + Printable(line) + "\"");
            loginId_ = line;
            stage_ = Stage::Password;
            Queue(Reply{{ReplyBlock{0, [] { return std::string("Password: "); }}}, false});
            return;
        case Stage::Password:
            Login(line);
            return;
        case Stage::Commands:
            break;
    }
    Note("received \"" + Printable(line) + "\"");
    if (device_.silent) return;
    const std::string& trigger = device_.settings.silentAfter;
    if (!trigger.empty() && (line == trigger || FirstWord(line) == trigger)) {
        device_.silent = true;
        Note("the device falls silent (fault switched on)");
        return;
    }
    Queue(shell_.Handle(line));
}

void ConsoleSession::Login(const std::string& password) {
    if (loginId_ == DeviceText(device_.settings.loginId) && password == DeviceText(device_.settings.password)) {
        Note("login accepted");
        stage_ = Stage::Commands;
        Queue(Reply{{ReplyBlock{0, [] { return std::string("\r\n> "); }}}, false});
        return;
    }
    Note("login refused");
    stage_ = Stage::LoginId;
    Queue(Reply{{ReplyBlock{0, [] { return std::string("Login incorrect\r\nlogin: "); }}}, false});
}

void ConsoleSession::Queue(Reply reply) {
    const bool idle = blocks_.empty();
    for (auto& block : reply.blocks) blocks_.push_back(std::move(block));
    restartAfterBlocks_ = restartAfterBlocks_ || reply.restart;
    if (idle && !blocks_.empty()) {
        const int sinceLastWrite = lastWrite_.isValid() ? static_cast<int>(lastWrite_.elapsed()) : kBlockGapMs;
        blockTimer_.start(std::max(blocks_.front().delayMs, kBlockGapMs - sinceLastWrite));
    }
}

void ConsoleSession::SendNextBlock() {
    ReplyBlock block = std::move(blocks_.front());
    blocks_.pop_front();
    Write(block.text());
    if (!blocks_.empty()) {
        blockTimer_.start(std::max(blocks_.front().delayMs, kBlockGapMs));
    } else if (restartAfterBlocks_) {
        // Once the last block has reached the client.
        toClient_.Send({}, [this] { emit restartRequested(); });
    } else {
        HandleNextLines();
    }
}

void ConsoleSession::Write(const std::string& text) {
    if (device_.silent || text.empty()) return;
    Note("sent \"" + Printable(text) + "\"");
    toClient_.Send(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    lastWrite_.start();
}

}  // namespace tessel::devsim
