#include "gui/qt_dialog_host.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "gui/tessel_window.h"

namespace tessel {
namespace {

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

QtDialogHost::QtDialogHost(TesselWindow& window, QString programName)
    : window_(window), programName_(std::move(programName)) {}

void QtDialogHost::setControlText(int controlId, std::string_view text) {
    QWidget* widget = window_.control(controlId);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(FromUtf8(text));
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(FromUtf8(text));
    }
}

std::string QtDialogHost::controlText(int controlId) const {
    QWidget* widget = window_.control(controlId);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text().toStdString();
    if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text().toStdString();
    return {};
}

void QtDialogHost::enableControl(int controlId, bool enabled) {
    if (QWidget* widget = window_.control(controlId)) widget->setEnabled(enabled);
}

void QtDialogHost::setCaption(std::string_view text) { window_.setWindowTitle(FromUtf8(text)); }

MessageResult QtDialogHost::messageBox(std::string_view text, MessageIcon icon, MessageButtons buttons) {
    const bool question = buttons == MessageButtons::YesNo;
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Warning,
                    programName_, FromUtf8(text),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, &window_);
    box.setWindowModality(Qt::ApplicationModal);
    const int answer = box.exec();
    if (!question) return MessageResult::Ok;
    return answer == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
}

void QtDialogHost::repaint() { window_.repaint(); }

void QtDialogHost::endDialog(int result) { window_.done(result); }


}  // namespace tessel
