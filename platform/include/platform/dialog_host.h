#pragma once

#include <string>
#include <string_view>


namespace tessel {

enum class MessageIcon { Warning, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageResult { Ok, Yes, No };

// The window that shows the dialog: controls addressed by id, caption, modal message boxes. Texts are UTF-8.
class DialogHost {
public:
    virtual ~DialogHost() = default;
    virtual void setControlText(int controlId, std::string_view text) = 0;
    virtual std::string controlText(int controlId) const = 0;
    virtual void enableControl(int controlId, bool enabled) = 0;
    virtual void setCaption(std::string_view text) = 0;
    // Modal: runs a nested message loop until the operator answers; the caption is the program's name.
    virtual MessageResult messageBox(std::string_view text, MessageIcon icon, MessageButtons buttons) = 0;
    // Paints the window at once, for a caller that is about to block the thread.
    virtual void repaint() = 0;
    virtual void endDialog(int result) = 0;
};

}  // namespace tessel
