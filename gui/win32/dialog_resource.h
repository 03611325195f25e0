#pragma once

#include <windows.h>

#include <vector>

#include "gui/dialog_template.h"

namespace tessel {

// The window template in the system's own in-memory form (an extended dialog template), for
// CreateDialogIndirectParam: the same controls, texts, styles and dialog units as the dialog on every system.
// DWORD-aligned, as the system requires; the caption is empty.
std::vector<WORD> BuildDialogResource(const DialogTemplate& dialog);

// The window style a template control gets.
DWORD ControlStyle(const ControlTemplate& control);

}  // namespace tessel
