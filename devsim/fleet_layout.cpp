#include "devsim/fleet_layout.h"

#include <QHostAddress>
#include <limits>

namespace tessel::devsim {

std::optional<QString> DeviceAddress(const QString& first, unsigned index) {
    const QHostAddress address(first);
    if (address.protocol() != QAbstractSocket::IPv4Protocol) return std::nullopt;
    const quint32 start = address.toIPv4Address();
    if (index > std::numeric_limits<quint32>::max() - start) return std::nullopt;
    return QHostAddress(start + index).toString();
}

QString DeviceRoot(const QString& root, const QString& address, unsigned devices) {
    return devices == 1 ? root : root + "/" + address;
}

}  // namespace tessel::devsim
