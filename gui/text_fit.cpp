#include "gui/text_fit.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace tessel {
namespace {

// Half a pixel between letters at a time, up to a pixel and a half: beyond that the text no longer reads as
// one word.
constexpr qreal kSpacingStep = 0.5;
constexpr qreal kMostTightening = 1.5;

int TextRoom(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    if (button.autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    if (button.isDefault()) option.features |= QStyleOptionButton::DefaultButton;
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
}

}  // namespace

void FitButtonText(QPushButton& button) {
    const int room = TextRoom(button);
    QFont font = button.font();
    for (qreal spacing = -kSpacingStep;
         QFontMetrics(font).horizontalAdvance(button.text()) > room && spacing >= -kMostTightening;
         spacing -= kSpacingStep) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    }
    button.setFont(font);
}

}  // namespace tessel
