#include "message_box_answerer.h"

#include <QAbstractButton>
#include <QApplication>

namespace tessel::gui_test {

MessageBoxAnswerer::MessageBoxAnswerer(QMessageBox::StandardButton questionAnswer)
    : questionAnswer_(questionAnswer) {
    QObject::connect(&poll_, &QTimer::timeout, [this] { answerOpenBoxes(); });
    poll_.start(10);
}

bool MessageBoxAnswerer::sawText(const QString& text) const {
    for (const ShownMessageBox& box : shown_) {
        if (box.text == text) return true;
    }
    return false;
}

void MessageBoxAnswerer::answerOpenBoxes() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box == nullptr || !box->isVisible()) continue;
        QStringList buttonTexts;
        for (QAbstractButton* button : box->buttons()) buttonTexts << button->text();
        shown_.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(), buttonTexts});
        const QMessageBox::StandardButton answer =
            box->standardButtons().testFlag(QMessageBox::Ok) ? QMessageBox::Ok : questionAnswer_;
        box->button(answer)->click();
    }
}

}  // namespace tessel::gui_test
