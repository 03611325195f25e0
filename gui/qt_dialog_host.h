#pragma once

#include <QString>

#include "platform/dialog_host.h"

namespace tessel {

class TesselWindow;

// The dialog host on the Qt window: controls by template id, modal message boxes captioned with the
// program's name.
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


private:
    TesselWindow& window_;
    QString programName_;
};

}  // namespace tessel
