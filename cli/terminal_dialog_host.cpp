#include "cli/terminal_dialog_host.h"

#include "cli/visible_text.h"
#include "dialog/control_ids.h"

namespace tessel::cli {

TerminalDialogHost::TerminalDialogHost(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

void TerminalDialogHost::setControlText(int controlId, std::string_view text) {
    std::string& current = texts_[controlId];
    // The status line is the running account of the update: each new text is a line of output.
    if (controlId == kStatusLine && !text.empty() && text != current) {
        out_ << VisibleText(text) << std::endl;
        statusChanges_.push_back({std::chrono::system_clock::now(), std::string(text)});
    }
    current = std::string(text);
}

std::string TerminalDialogHost::controlText(int controlId) const {
    const auto found = texts_.find(controlId);
    return found == texts_.end() ? std::string() : found->second;
}

// The buttons of a terminal are the command line: nothing to enable.
void TerminalDialogHost::enableControl(int, bool) {}

void TerminalDialogHost::setCaption(std::string_view text) { caption_ = std::string(text); }

MessageResult TerminalDialogHost::messageBox(std::string_view text, MessageIcon, MessageButtons buttons) {
    err_ << VisibleText(text) << std::endl;
    return buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
}

void TerminalDialogHost::repaint() { out_.flush(); }

void TerminalDialogHost::endDialog(int) {}

}  // namespace tessel::cli
