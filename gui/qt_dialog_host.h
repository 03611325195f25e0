#pragma once

#include <QString>

#include "platform/dialog_host.h"
#include "platform/qt/qt_event_pump.h"
#include "platform/qt/qt_window_timers.h"

namespace tessel {

class TesselWindow;

// The dialog host on the Qt window: controls by template id, modal message boxes captioned with the
// program's name, timers and the event loop of the GUI thread.
class QtDialogHost final : public DialogHost {
public:
    QtDialogHost(TesselWindow& window, QString programName);

    void setControlText(int controlId, std::string_view text) override;
    std::string controlText(int controlId) const override;
    void enableControl(int controlId, bool enabled) override;
    void setCaption(std::string_view text) override;
    MessageResult messageBox(std::string_view text, MessageIcon icon, MessageButtons buttons) override;
    void repaint() override;
    void endDialog(int result) override;

    void setTimer(int timerId, std::chrono::milliseconds period, Expiry onExpiry) override;
    void killTimer(int timerId) override;
    void pause(std::chrono::milliseconds duration) override;
    void dispatchPendingEvents() override;

private:
    TesselWindow& window_;
    QString programName_;
    QtWindowTimers timers_;
    QtEventPump pump_;
};

}  // namespace tessel
