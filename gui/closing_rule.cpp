#include "gui/closing_rule.h"

#include "dialog/tessel_dlg.h"

namespace tessel {

bool MayCloseDialog(const CTesselDlg& dialog, DialogHost& host) {
    // Step 0 (still connecting) and -1 (stopped after an error) count as idle.
    if (dialog.step() <= 0) return true;
    return host.messageBox("アップデート処理中です。よろしいですか？", MessageIcon::Warning,
                           MessageButtons::YesNo) == MessageResult::Yes;
}

}  // namespace tessel
