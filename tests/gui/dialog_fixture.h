#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

#include "gui/main_dialog.h"
#include "platform/qt/qt_stream_socket.h"

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

// A real main dialog on real sockets, for one test.
class DialogTest : public ::testing::Test {
protected:
    QLineEdit* edit(int id) { return qobject_cast<QLineEdit*>(dialog.window().control(id)); }
    QPushButton* button(int id) { return qobject_cast<QPushButton*>(dialog.window().control(id)); }

    QtSocketFactory sockets;
    UnusedUploader uploader;
    MainDialog dialog{sockets, uploader};
};

}  // namespace tessel::gui_test
