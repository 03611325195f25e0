#pragma once

#include <QString>

namespace tessel::gui_test {

// A button's or a menu entry's text as the operator reads it: without its mnemonic ("はい(&Y)", "&Yes") and
// without the shortcut after a tab.
QString PlainText(QString text);

}  // namespace tessel::gui_test
