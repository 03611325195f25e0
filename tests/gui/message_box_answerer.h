#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <vector>

namespace tessel::gui_test {

struct ShownMessageBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    // The texts of its buttons, in the order of the box's standard buttons.
    QStringList buttonTexts;
};

// Answers every message box the program opens, from the box's own message loop: OK where it is offered, and
// the chosen answer to a Yes/No question. Keeps what each box showed.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton questionAnswer = QMessageBox::No);

    void setQuestionAnswer(QMessageBox::StandardButton answer) { questionAnswer_ = answer; }
    const std::vector<ShownMessageBox>& shown() const { return shown_; }
    bool sawText(const QString& text) const;

private:
    void answerOpenBoxes();

    QTimer poll_;
    QMessageBox::StandardButton questionAnswer_;
    std::vector<ShownMessageBox> shown_;
};

}  // namespace tessel::gui_test
