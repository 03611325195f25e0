// An upload through the painting uploader on the Win32 window: the window shows the file and how far it has
// come while the upload blocks the thread, and nothing else is dispatched until the upload has ended.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "dialog/control_ids.h"
#include "gui/painting_uploader.h"
#include "gui/upload_progress_mailbox.h"
#include "platform/win32/message_window.h"
#include "platform/win32/win32_dialog_host.h"
#include "win32_dialog_fixture.h"

namespace tessel::gui_test {
namespace {

using namespace std::chrono_literals;

// Passes everything on to the window and notes when it has shown the whole file.
class WatchedView final : public UploadProgressView {
public:
    explicit WatchedView(TesselDialogWindow& window) : window_(window) {}
    void showUploadProgress(std::string_view fileName, int doneBlocks, int totalBlocks) override {
        window_.showUploadProgress(fileName, doneBlocks, totalBlocks);
        if (totalBlocks > 0 && doneBlocks == totalBlocks) shownWhole = true;
    }
    void endUploadProgress() override {
        window_.endUploadProgress();
        ended = true;
    }
    std::atomic<bool> shownWhole{false};
    bool ended = false;

private:
    TesselDialogWindow& window_;
};

// Reports the whole file sent, and ends only once the window has shown it (or after ten seconds).
class ReportingUploader final : public FileUploader {
public:
    ReportingUploader(UploadProgressMailbox& mailbox, const WatchedView& view) : mailbox_(mailbox), view_(view) {}
    int sendFile(const UploadRequest& request) override {
        mailbox_.uploadProgress(request, 160, 160);
        for (int waited = 0; !view_.shownWhole && waited < 1000; ++waited) std::this_thread::sleep_for(10ms);
        return kUploadRemoteError;
    }
    void cancel() override {}

private:
    UploadProgressMailbox& mailbox_;
    const WatchedView& view_;
};

using Win32UploadPaintingTest = Win32DialogTest;

TEST_F(Win32UploadPaintingTest, TheWindowShowsTheUploadAndNothingElseIsDispatchedMeanwhile) {
    UploadProgressMailbox mailbox;
    WatchedView view(dialog.window());
    ReportingUploader slow(mailbox, view);
    PaintingUploader painting(slow, &mailbox, view);
    constexpr UINT kProbe = WM_APP + 3;
    bool probeHandled = false;
    win32::MessageWindow probe([&](UINT message, WPARAM, LPARAM) {
        probeHandled = probeHandled || message == kProbe;
        return message == kProbe;
    });
    ASSERT_TRUE(::PostMessageW(probe.handle(), kProbe, 0, 0));

    UploadRequest request;
    // "B:\表\kbteva.bin" in code page 932: the second byte of 表 is a backslash, and no separator.
    request.remotePath = "B:\\\x95\x5c\\kbteva.bin";
    EXPECT_EQ(painting.sendFile(request), kUploadRemoteError);

    EXPECT_TRUE(view.shownWhole);
    EXPECT_TRUE(view.ended);
    EXPECT_FALSE(probeHandled);
    EXPECT_EQ(WindowTextUtf8(dialog.window().uploadFileLabel()), "kbteva.bin  100%");
    EXPECT_EQ(::SendMessageW(dialog.window().uploadProgressBar(), PBM_GETPOS, 0, 0), 160);
    EXPECT_NE(::GetWindowLongPtrW(control(kDetailLine), GWL_STYLE) & WS_VISIBLE, 0);

    // Once the upload has ended, the loop handles what waited.
    EXPECT_TRUE(WaitFor([&] { return probeHandled; }));
}

}  // namespace
}  // namespace tessel::gui_test
