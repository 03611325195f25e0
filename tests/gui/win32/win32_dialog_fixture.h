#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "gui/win32/main_dialog.h"
#include "platform/win32/win32_stream_socket.h"

namespace tessel::gui_test {

// An uploader that must not be reached: the tests that use it start no upload.
class UnusedUploader final : public FileUploader {
public:
    int sendFile(const UploadRequest&) override {
        ADD_FAILURE() << "unexpected upload";
        return kUploadInvalidArgument;
    }
    void cancel() override {}
};

// Runs the thread's message loop until the condition holds or the bound has passed; returns the condition.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound = std::chrono::seconds(10));

// A real Win32 main dialog on real sockets, for one test.
class Win32DialogTest : public ::testing::Test {
protected:
    HWND control(int id) { return dialog.window().control(id); }
    std::string text(int id) { return dialog.host().controlText(id); }
    void setText(int id, const std::string& utf8) { dialog.host().setControlText(id, utf8); }
    // Presses a button as the operator's click does.
    void click(int id) { ::SendMessageW(control(id), BM_CLICK, 0, 0); }
    bool enabled(int id) { return ::IsWindowEnabled(control(id)) != FALSE; }
    // Posts a key to the control and runs the window's own loop until the window ends (or ten seconds pass).
    int runWithKey(int id, WPARAM key);

    Win32SocketFactory sockets;
    UnusedUploader uploader;
    MainDialog dialog{sockets, uploader};
};

}  // namespace tessel::gui_test
