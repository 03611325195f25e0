#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/dialog_host.h"

namespace tessel {

// The dialog host on a Win32 dialog window: controls by id, caption and message boxes through the system's
// Unicode functions (texts are UTF-8 in the program), message boxes captioned with the program's name.
class Win32DialogHost final : public DialogHost {
public:
    // How the dialog's window ends with a result.
    using EndAction = std::function<void(int result)>;

    Win32DialogHost(std::string_view programName, EndAction end);

    // The dialog window the host works on; until it is given, message boxes have no owner.
    void attach(HWND dialog) { dialog_ = dialog; }

    void setControlText(int controlId, std::string_view text) override;
    std::string controlText(int controlId) const override;
    void enableControl(int controlId, bool enabled) override;
    void setCaption(std::string_view text) override;
    MessageResult messageBox(std::string_view text, MessageIcon icon, MessageButtons buttons) override;
    void repaint() override;
    void endDialog(int result) override;

private:
    std::wstring programName_;
    EndAction end_;
    HWND dialog_ = nullptr;
};

// The text of a window as UTF-8.
std::string WindowTextUtf8(HWND window);
// Text for the system: UTF-8 that is not valid becomes U+FFFD, never an empty text.
std::wstring WideText(std::string_view utf8);

}  // namespace tessel
