// The dialog of a terminal: the status line goes to standard output as it changes, message boxes to
// standard error (answered at once), control texts and states are kept for the core to read back.
#pragma once

#include <chrono>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/dialog_host.h"

namespace tessel::cli {

// A new text of the status line, and when it came.
struct StatusChange {
    std::chrono::system_clock::time_point at;
    std::string text;  // UTF-8
};

class TerminalDialogHost final : public DialogHost {
public:
    TerminalDialogHost(std::ostream& out, std::ostream& err);

    void setControlText(int controlId, std::string_view text) override;
    std::string controlText(int controlId) const override;
    void enableControl(int controlId, bool enabled) override;
    void setCaption(std::string_view text) override;
    MessageResult messageBox(std::string_view text, MessageIcon icon, MessageButtons buttons) override;
    void repaint() override;
    void endDialog(int result) override;

    const std::string& caption() const { return caption_; }
    // Every status line the run went through, in order.
    const std::vector<StatusChange>& statusChanges() const { return statusChanges_; }

private:
    std::ostream& out_;
    std::ostream& err_;
    std::map<int, std::string> texts_;
    std::string caption_;
    std::vector<StatusChange> statusChanges_;
};

}  // namespace tessel::cli
