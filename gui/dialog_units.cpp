#include "gui/dialog_units.h"

#include <QFont>
#include <QFontMetrics>

namespace tessel {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// units * base / divisor rounded to the nearest integer, halves up; template values are never negative.
int Scale(int units, int base, int divisor) { return (units * base + divisor / 2) / divisor; }

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The width of the 52 letters over 26, halved with rounding: the average letter width, rounded.
    const int alphabetWidth = metrics.horizontalAdvance(QString::fromLatin1(kAlphabet));
    baseWidth_ = (alphabetWidth / 26 + 1) / 2;
    baseHeight_ = metrics.height();
}

int DialogUnits::toPixelsX(int units) const { return Scale(units, baseWidth_, 4); }

int DialogUnits::toPixelsY(int units) const { return Scale(units, baseHeight_, 8); }

QRect DialogUnits::toPixels(const DialogRect& rect) const {
    return {toPixelsX(rect.x), toPixelsY(rect.y), toPixelsX(rect.width), toPixelsY(rect.height)};
}

QSize DialogUnits::toPixels(int width, int height) const { return {toPixelsX(width), toPixelsY(height)}; }

}  // namespace tessel
