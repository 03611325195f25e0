#include "gui/tessel_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

#include "dialog/control_ids.h"
#include "gui/control_factory.h"
#include "gui/dialog_font.h"
#include "gui/dialog_template.h"
#include "gui/dialog_units.h"
#include "gui/program_icon.h"
#include "gui/text_fit.h"

namespace tessel {

TesselWindow::TesselWindow()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint) {
    setFont(DialogFont());
    setWindowIcon(ProgramIcon());
    buildControls();
}

QWidget* TesselWindow::control(int controlId) const {
    const auto found = controls_.find(controlId);
    return found == controls_.end() ? nullptr : found->second;
}

void TesselWindow::buildControls() {
    const DialogTemplate& dialog = MainDialogTemplate();
    const DialogUnits units(font());
    setFixedSize(units.toPixels(dialog.width, dialog.height));
    QWidget* previous = nullptr;
    for (const ControlTemplate& entry : dialog.controls) {
        QWidget* widget = CreateControl(entry, this);
        widget->setGeometry(units.toPixels(entry.rect));
        if (auto* button = qobject_cast<QPushButton*>(widget)) FitButtonText(*button);
        if (entry.id != kNoControlId) controls_[entry.id] = widget;
        // A group box frames controls that come before it in the template: keep it beneath them.
        if (qobject_cast<QGroupBox*>(widget)) widget->lower();
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous) setTabOrder(previous, widget);
            previous = widget;
        }
    }
    uploadProgress_ = new QProgressBar(this);
    uploadProgress_->setGeometry(control(kDetailLine)->geometry());
    uploadProgress_->hide();
    const auto connectButton = [this](int id, auto action) {
        connect(static_cast<QPushButton*>(control(id)), &QPushButton::clicked, this, action);
    };
    connectButton(kCloseButton, [this] { onCloseButton(); });
    for (const int id : {kFirmwareButton, kScriptButton}) {
        connectButton(id, [this, id] {
            if (commandHandler_) commandHandler_(id);
        });
    }
}

void TesselWindow::showUploadProgress(std::string_view fileName, int doneBlocks, int totalBlocks) {
    uploadProgress_->setRange(0, qMax(totalBlocks, 1));
    uploadProgress_->setValue(qBound(0, doneBlocks, uploadProgress_->maximum()));
    uploadProgress_->setFormat(QString::fromUtf8(fileName.data(), qsizetype(fileName.size())) +
                               QStringLiteral("  %p%"));
    uploadProgress_->show();
    repaint();
}

void TesselWindow::endUploadProgress() {
    uploadProgress_->hide();
    repaint();
}

void TesselWindow::onCloseButton() {
    if (mayClose()) done(QDialog::Accepted);
}

void TesselWindow::closeEvent(QCloseEvent* event) {
    // A window that has already ended has nothing to ask.
    if (!isVisible()) {
        event->accept();
        return;
    }
    if (!mayClose()) {
        event->ignore();
        return;
    }
    done(QDialog::Rejected);
    event->accept();
}

// A minimised window shows the program icon centred in its client area. Desktops that draw minimised windows
// themselves (X11 and Wayland window managers) never ask for this painting; they show the window icon.
void TesselWindow::paintEvent(QPaintEvent* event) {
    if (!isMinimized()) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int iconSize = style()->pixelMetric(QStyle::PM_LargeIconSize, nullptr, this);
    painter.drawPixmap((width() - iconSize + 1) / 2, (height() - iconSize + 1) / 2,
                       windowIcon().pixmap(iconSize, iconSize));
}

}  // namespace tessel
