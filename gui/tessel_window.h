#pragma once

#include <QDialog>

#include <functional>
#include <map>

#include "gui/upload_progress_view.h"

class QProgressBar;

namespace tessel {

// The main dialog's window, laid out from its window template in the template's font. It knows nothing of
// updates: the update buttons and the closing question are handed to it.
class TesselWindow final : public QDialog, public UploadProgressView {
public:
    using CommandHandler = std::function<void(int controlId)>;
    // True when the window may close now; asked by the close button and the window's close command.
    using CloseGuard = std::function<bool()>;

    TesselWindow();

    // The control with this template id, or null.
    QWidget* control(int controlId) const;
    // Called with the id of an update button when it is pressed.
    void setCommandHandler(CommandHandler handler) { commandHandler_ = std::move(handler); }
    void setCloseGuard(CloseGuard guard) { closeGuard_ = std::move(guard); }

    // Shown over the detail line, which the procedures only ever clear.
    void showUploadProgress(std::string_view fileName, int doneBlocks, int totalBlocks) override;
    void endUploadProgress() override;
    QProgressBar& uploadProgress() { return *uploadProgress_; }

protected:
    // The window's close command: ends the dialog with the cancel result, if the guard allows.
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    void onCloseButton();
    bool mayClose() const { return !closeGuard_ || closeGuard_(); }

    std::map<int, QWidget*> controls_;
    QProgressBar* uploadProgress_ = nullptr;
    CommandHandler commandHandler_;
    CloseGuard closeGuard_;
};

}  // namespace tessel
