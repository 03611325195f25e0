#pragma once

#include <QFont>

namespace tessel {

// The dialog font of the main dialog's template, or the closest installed Japanese font of the same size.
QFont DialogFont();

}  // namespace tessel
