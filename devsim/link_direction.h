#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

namespace tessel::devsim {

// The simulated link between the device and its clients, as over a cellular modem.
struct LinkSettings {
    int delayMs = 0;   // one-way delay
    int rateKbit = 0;  // kbit/s in each direction of each connection; 0: no limit
    bool Shaped() const { return delayMs > 0 || rateKbit > 0; }
};

// One direction of one connection over the link. Bytes come out in the order they went in, first at the rate
// (each waits for those before it), then the one-way delay later. Without a link they come out at once.
class LinkDirection : public QObject {
public:
    using Deliver = std::function<void(const QByteArray&)>;

    LinkDirection(const LinkSettings& link, Deliver deliver, QObject* parent);

    // Nothing comes out before ms from now: a new connection, whose handshake a real link delays.
    void HoldFor(int ms);
    // Sends bytes over the link; then, when given, runs once they came out.
    void Send(const QByteArray& bytes, std::function<void()> then = {});
    // Forgets what is still on the way (the connection ended).
    void Clear();

private:
    struct InFlight {
        qint64 dueNs;
        QByteArray bytes;
        std::function<void()> then;
    };

    void DeliverDue();
    void ArmTimer();

    LinkSettings link_;
    Deliver deliver_;
    QElapsedTimer clock_;
    qint64 lineFreeNs_ = 0;  // when the bytes sent so far have passed the rate
    qint64 holdUntilNs_ = 0;
    std::deque<InFlight> inFlight_;
    QTimer timer_;
};

}  // namespace tessel::devsim
