// A slow upload through the main dialog's uploader: the window is painted and shows the progress meanwhile,
// and nothing else is dispatched until the upload has ended.
#include <gtest/gtest.h>

#include <QEvent>
#include <QHostAddress>
#include <QMetaObject>
#include <QProgressBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWindow>

#include <filesystem>
#include <memory>

#include "dialog/control_ids.h"
#include "ftp_server.h"
#include "gui/main_dialog.h"
#include "gui/upload_progress_mailbox.h"
#include "platform/qt/qt_stream_socket.h"
#include "platform/skiffs/skiffs_uploader.h"
#include "tests/platform/qt_test_support.h"

namespace tessel::gui_test {
namespace {

using qt_test::WaitFor;

// 160 blocks at 40 blocks a second: about four seconds, long enough for many repaints.
constexpr std::size_t kFileSize = 160 * 1024;
constexpr long kBytesPerSecond = 40 * 1024;

// Counts the paint events a widget receives while an upload runs, and how far the progress bar had come.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget& widget, const bool& uploading, const QProgressBar& bar)
        : uploading_(uploading), bar_(bar) {
        widget.installEventFilter(this);
    }
    int paints = 0;
    int mostDone = 0;
    int total = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && uploading_) {
            ++paints;
            mostDone = qMax(mostDone, bar_.value());
            total = bar_.maximum();
        }
        return false;
    }

private:
    const bool& uploading_;
    const QProgressBar& bar_;
};

class UploadPaintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = test::MakeTempDir("gui-upload-painting");
        test::FtpServerOptions options;
        options.rate = kBytesPerSecond;
        server_ = std::make_unique<test::FtpServer>(dir_ / "device", options);
        local_ = dir_ / "kbteva.bin";
        test::WriteFileBytes(local_, std::string(kFileSize, '\x5a'));
        dialog_.window().show();
        ASSERT_TRUE(WaitFor([&] { return dialog_.window().windowHandle()->isExposed(); }));
    }
    void TearDown() override {
        server_.reset();
        std::filesystem::remove_all(dir_);
    }

    UploadRequest request() const {
        UploadRequest request;
        request.host = "127.0.0.1";
        request.user = server_->options().user;
        request.password = server_->options().password;
        request.port = server_->port();
        request.localPath = local_.string();
        request.remotePath = "B:\\kbteva.bin";
        return request;
    }

    QWidget& control(int id) { return *dialog_.window().control(id); }

    std::filesystem::path dir_;
    std::filesystem::path local_;
    std::unique_ptr<test::FtpServer> server_;
    QtSocketFactory sockets_;
    UploadProgressMailbox progress_;
    SkiffsUploader skiffs_{&progress_};
    MainDialog dialog_{sockets_, skiffs_, &progress_};
};

TEST_F(UploadPaintingTest, TheWindowIsPaintedAndShowsTheProgressWhileNothingElseIsDispatched) {
    bool uploading = false;
    QProgressBar& bar = dialog_.window().uploadProgress();
    // The buttons an update disables must look disabled during its upload.
    dialog_.host().enableControl(kFirmwareButton, false);
    PaintWatch button(control(kFirmwareButton), uploading, bar);
    PaintWatch progress(bar, uploading, bar);

    // Waiting before the upload starts: a timer, a queued call (the way console events are delivered), and
    // data on a connection (a socket notification).
    bool timerDuringUpload = false;
    bool timerFired = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        timerFired = true;
        timerDuringUpload = uploading;
    });
    timer.start(0);
    bool callDuringUpload = false;
    bool called = false;
    QMetaObject::invokeMethod(&timer, [&] {
        called = true;
        callDuringUpload = uploading;
    }, Qt::QueuedConnection);
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, listener.serverPort());
    ASSERT_TRUE(client.waitForConnected(5000));
    ASSERT_TRUE(listener.waitForNewConnection(5000));
    std::unique_ptr<QTcpSocket> peer(listener.nextPendingConnection());
    bool readDuringUpload = false;
    bool read = false;
    QObject::connect(&client, &QTcpSocket::readyRead, [&] {
        read = true;
        readDuringUpload = uploading;
    });
    peer->write("login: ");
    ASSERT_TRUE(peer->waitForBytesWritten(5000));

    uploading = true;
    const int result = dialog_.uploader().sendFile(request());
    uploading = false;

    EXPECT_EQ(result, 0);
    EXPECT_EQ(test::ReadFileBytes(server_->root() / "B:" / "kbteva.bin").size(), kFileSize);
    EXPECT_GT(button.paints, 1);
    EXPECT_GT(progress.paints, 1);
    EXPECT_GT(progress.mostDone, 0);
    EXPECT_EQ(progress.total, int(kFileSize / 1024));
    EXPECT_FALSE(bar.isVisible());
    EXPECT_FALSE(timerFired);
    EXPECT_FALSE(called);
    EXPECT_FALSE(read);

    // They were held back, not lost.
    EXPECT_TRUE(WaitFor([&] { return timerFired && called && read; }));
    EXPECT_FALSE(timerDuringUpload);
    EXPECT_FALSE(callDuringUpload);
    EXPECT_FALSE(readDuringUpload);
}

TEST_F(UploadPaintingTest, TheProgressNamesTheFileAndTheResultComesBackAsItIs) {
    const bool uploading = true;
    QProgressBar& bar = dialog_.window().uploadProgress();
    PaintWatch watch(bar, uploading, bar);
    // A folder the device does not have: the server refuses the file at once.
    UploadRequest refused = request();
    refused.remotePath = "B:\\missing\\kbteva.bin";
    const int result = dialog_.uploader().sendFile(refused);
    EXPECT_EQ(result, SkiffsUploader().sendFile(refused));
    EXPECT_NE(result, 0);
    EXPECT_GT(watch.paints, 0);
    EXPECT_EQ(bar.format(), "kbteva.bin  %p%");
}

}  // namespace
}  // namespace tessel::gui_test
