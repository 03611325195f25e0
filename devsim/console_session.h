#pragma once

#include "devsim/command_shell.h"
#include "devsim/device_state.h"
#include "devsim/link_direction.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <deque>
#include <string>

namespace tessel::devsim {

// One console connection: splits what arrives into lines (CR, LF or CR LF), asks for the password after the
// login ID, then hands lines to the command shell and sends its reply blocks one by one, each in its own write.
// Lines that arrive while a reply is still being sent wait for it: the device is busy. Both directions go over
// the simulated link.
class ConsoleSession : public QObject {
    Q_OBJECT

public:
    ConsoleSession(QTcpSocket* socket, DeviceState& device, const LinkSettings& link, int id, QObject* parent);

    // Ends the connection at once, as a restarting device does.
    void Drop();

signals:
    void restartRequested();
    void closed(ConsoleSession* session);

private:
    enum class Stage { LoginId, Password, Commands };

    void OnReceived(const QByteArray& bytes);
    void HandleNextLines();
    void HandleLine(const std::string& line);
    void Login(const std::string& password);
    void Queue(Reply reply);
    void SendNextBlock();
    void Write(const std::string& text);
    void Note(const std::string& text) const;

    QTcpSocket* socket_;
    LinkDirection fromClient_;
    LinkDirection toClient_;
    DeviceState& device_;
    int id_;
    Stage stage_ = Stage::LoginId;
    std::string loginId_;
    std::string partialLine_;
    bool afterCr_ = false;
    std::deque<std::string> lines_;
    std::deque<ReplyBlock> blocks_;
    bool restartAfterBlocks_ = false;
    QTimer blockTimer_;
    QElapsedTimer lastWrite_;
    CommandShell shell_;
};

}  // namespace tessel::devsim
