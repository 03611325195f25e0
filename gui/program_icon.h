#pragma once

#include <QIcon>
#include <QPixmap>

namespace tessel {

// The program's own icon, drawn at run time: a mosaic of tiles with an upward arrow.
QPixmap ProgramIconPixmap(int size);
// The small (16) and large (32) window icons, and larger sizes for desktops that show them.
QIcon ProgramIcon();

}  // namespace tessel
