#pragma once

#include "gui/dialog_template.h"

class QWidget;

namespace tessel {

// The widget for one control of a window template, with its text and style, as a child of parent. Its
// geometry is left to the caller.
QWidget* CreateControl(const ControlTemplate& control, QWidget* parent);

}  // namespace tessel
