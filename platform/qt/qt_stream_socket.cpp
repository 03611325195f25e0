#include "platform/qt/qt_stream_socket.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QMetaObject>
#include <QString>
#include <QTcpSocket>

#include <algorithm>
#include <optional>

namespace tessel {
namespace {

// The codes Windows Sockets gives for the same failures, so that a reported code means the same everywhere.
int ErrorCode(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return 10061;
    case QAbstractSocket::RemoteHostClosedError: return 10054;
    case QAbstractSocket::HostNotFoundError: return 11001;
    case QAbstractSocket::SocketTimeoutError: return 10060;
    case QAbstractSocket::NetworkError: return 10051;
    case QAbstractSocket::SocketAccessError: return 10013;
    case QAbstractSocket::SocketResourceError: return 10055;
    case QAbstractSocket::AddressInUseError: return 10048;
    default: return 10022;
    }
}

std::optional<QHostAddress> ResolveHost(std::string_view host) {
    const QString text = QString::fromUtf8(host.data(), static_cast<qsizetype>(host.size()));
    QHostAddress address;
    if (address.setAddress(text)) return address;
    const QHostInfo info = QHostInfo::fromName(text);
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) return std::nullopt;
    // Devices are addressed over IPv4; a name with both kinds of address is reached on its IPv4 one.
    for (const QHostAddress& candidate : info.addresses()) {
        if (candidate.protocol() == QAbstractSocket::IPv4Protocol) return candidate;
    }
    return info.addresses().first();
}

}  // namespace

QtStreamSocket::QtStreamSocket(StreamSocketEvents& events)
    : events_(events), socket_(new QTcpSocket), self_(std::make_shared<QtStreamSocket*>(this)) {
    QObject::connect(socket_, &QTcpSocket::connected, socket_, [this] { deliverConnected(); });
    QObject::connect(socket_, &QTcpSocket::errorOccurred, socket_, [this] { deliverError(); });
    QObject::connect(socket_, &QTcpSocket::readyRead, socket_, [this] { postToSelf([](QtStreamSocket& s) { s.deliverReceive(); }); });
}

QtStreamSocket::~QtStreamSocket() {
    *self_ = nullptr;
    socket_->disconnect();
    socket_->abort();
    // The socket may be inside one of its own signals.
    socket_->deleteLater();
}

template <typename Action>
void QtStreamSocket::postToSelf(Action action) {
    QMetaObject::invokeMethod(
        socket_,
        [weak = std::weak_ptr<QtStreamSocket*>(self_), action] {
            const auto self = weak.lock();
            if (self && *self) action(**self);
        },
        Qt::QueuedConnection);
}

void QtStreamSocket::deliverConnected() {
    postToSelf([](QtStreamSocket& s) {
        if (!s.connecting_) return;
        s.connecting_ = false;
        s.events_.onConnect(0);
    });
}

void QtStreamSocket::deliverError() {
    const int code = ErrorCode(socket_->error());
    postToSelf([code](QtStreamSocket& s) {
        // Errors after the connect (such as the peer closing) are not notified.
        if (!s.connecting_) return;
        s.connecting_ = false;
        s.events_.onConnect(code);
    });
}

void QtStreamSocket::deliverReceive() {
    if (closed_) return;
    events_.onReceive(0);
}

bool QtStreamSocket::connect(std::string_view host, std::uint16_t port) {
    if (closed_ || socket_->state() != QAbstractSocket::UnconnectedState) return false;
    const std::optional<QHostAddress> address = ResolveHost(host);
    if (!address) return false;
    connecting_ = true;
    socket_->connectToHost(*address, port);
    return true;
}

std::ptrdiff_t QtStreamSocket::send(const char* data, std::size_t size) {
    if (closed_ || socket_->state() != QAbstractSocket::ConnectedState) return -1;
    const qint64 written = socket_->write(data, static_cast<qint64>(size));
    socket_->flush();
    return static_cast<std::ptrdiff_t>(written);
}

std::ptrdiff_t QtStreamSocket::receive(char* buffer, std::size_t capacity) {
    if (closed_) return -1;
    const qint64 available = socket_->bytesAvailable();
    if (available <= 0) return socket_->state() == QAbstractSocket::UnconnectedState ? 0 : -1;
    const qint64 count = socket_->read(buffer, std::min<qint64>(available, static_cast<qint64>(capacity)));
    // Qt signals readyRead only for new data: whatever this read left behind gets a notification of its own.
    if (count > 0 && socket_->bytesAvailable() > 0) postToSelf([](QtStreamSocket& s) { s.deliverReceive(); });
    return static_cast<std::ptrdiff_t>(count);
}

void QtStreamSocket::close() {
    if (closed_) return;
    closed_ = true;
    connecting_ = false;
    socket_->close();
}

bool QtStreamSocket::isOpen() const {
    return !closed_ && socket_->state() != QAbstractSocket::UnconnectedState;
}

std::string QtSocketFactory::deviceAddress(std::string_view host) {
    const std::optional<QHostAddress> address = ResolveHost(host);
    if (!address) return {};
    bool mapped = false;
    const quint32 v4 = address->toIPv4Address(&mapped);
    return (mapped ? QHostAddress(v4) : *address).toString().toStdString();
}

std::unique_ptr<StreamSocket> QtSocketFactory::createStreamSocket(StreamSocketEvents& events) {
    return std::make_unique<QtStreamSocket>(events);
}

}  // namespace tessel
