#pragma once

class QPushButton;

namespace tessel {

// Sets a push button's text closer when it is wider than the room the style leaves inside the button's frame,
// as Japanese type is set close where space is short: the glyphs keep their size. The button's geometry and
// text must be set.
void FitButtonText(QPushButton& button);

}  // namespace tessel
