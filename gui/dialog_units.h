#pragma once

#include <QRect>
#include <QSize>

#include "gui/dialog_template.h"

class QFont;

namespace tessel {

// Converts dialog units to pixels with the base units of a dialog font: the average width of the Latin
// letters and the character height, as the window system that defined dialog units measures them.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int baseWidth() const { return baseWidth_; }
    int baseHeight() const { return baseHeight_; }
    int toPixelsX(int units) const;
    int toPixelsY(int units) const;
    QRect toPixels(const DialogRect& rect) const;
    QSize toPixels(int width, int height) const;

private:
    int baseWidth_;
    int baseHeight_;
};

}  // namespace tessel
