#include "loopback_address.h"

#include <QHostAddress>
#include <QTcpServer>

namespace tessel::gui_test {

std::uint16_t UnusedLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

}  // namespace tessel::gui_test
