// A window that shows nothing, and a network, an uploader and an observer that are never reached: enough for the
// dialog's operations that only judge bytes.
#pragma once

#include <memory>
#include <string>

#include "platform/dialog_ports.h"
#include "platform/file_uploader.h"
#include "platform/stream_socket.h"
#include "platform/update_observer.h"

namespace tessel::fuzz {

class NullHost final : public DialogHost, public WindowTimers, public EventPump {
public:
    void setControlText(int, std::string_view) override {}
    std::string controlText(int) const override { return {}; }
    void enableControl(int, bool) override {}
    void setCaption(std::string_view) override {}
    MessageResult messageBox(std::string_view, MessageIcon, MessageButtons) override { return MessageResult::Ok; }
    void repaint() override {}
    void endDialog(int) override {}
    void setTimer(int, std::chrono::milliseconds, Expiry) override {}
    void killTimer(int) override {}
    void pause(std::chrono::milliseconds) override {}
    void dispatchPendingEvents() override {}
};

class NoSockets final : public SocketFactory {
public:
    std::unique_ptr<StreamSocket> createStreamSocket(StreamSocketEvents&) override { return nullptr; }
    std::string deviceAddress(std::string_view) override { return {}; }
};

class NoUploads final : public FileUploader {
public:
    int sendFile(const UploadRequest&) override { return kUploadNoConnection; }
    void cancel() override {}
};

class NoObserver final : public UpdateObserver {
public:
    void updateEnded(const UpdateOutcome&) override {}
};

}  // namespace tessel::fuzz
