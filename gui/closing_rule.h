#pragma once

namespace tessel {

class CTesselDlg;
class DialogHost;

// Whether the dialog may close now: at once while no procedure is past its first step, otherwise only when
// the operator answers Yes to the question. A running procedure is left as it is either way.
bool MayCloseDialog(const CTesselDlg& dialog, DialogHost& host);

}  // namespace tessel
