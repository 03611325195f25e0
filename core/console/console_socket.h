#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/stream_socket.h"

namespace tessel {

class CTesselDlg;

// The connection to the device's command console. It only turns the socket's notifications into console
// events of its dialog; the dialog owns it.
class CConsoleSocket final : private StreamSocketEvents {
public:
    explicit CConsoleSocket(CTesselDlg& dialog);
    ~CConsoleSocket();
    CConsoleSocket(const CConsoleSocket&) = delete;
    CConsoleSocket& operator=(const CConsoleSocket&) = delete;

    bool Create();
    bool Connect(std::string_view host, std::uint16_t port);
    std::ptrdiff_t Send(const char* data, std::size_t size);
    void Close();
    bool IsOpen() const;

private:
    void onConnect(int errorCode) override;
    void onReceive(int errorCode) override;
    void OnConnect(int errorCode);
    void OnReceive(int errorCode);

    CTesselDlg& dialog_;
    std::unique_ptr<StreamSocket> socket_;
};

}  // namespace tessel
