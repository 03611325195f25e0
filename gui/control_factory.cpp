#include "gui/control_factory.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace tessel {
namespace {

QString Text(const ControlTemplate& control) {
    return QString::fromUtf8(control.text.data(), qsizetype(control.text.size()));
}

QWidget* CreateEdit(const ControlTemplate& control, QWidget* parent) {
    auto* edit = new QLineEdit(Text(control), parent);
    edit->setFrame((control.style & kBordered) != 0);
    edit->setReadOnly((control.style & kReadOnly) != 0);
    if (control.style & kPassword) edit->setEchoMode(QLineEdit::Password);
    // A read-only edit shows the window's background, so that it does not look like an input field.
    if (control.style & kReadOnly) {
        QPalette palette = edit->palette();
        palette.setBrush(QPalette::Base, palette.window());
        edit->setPalette(palette);
    }
    return edit;
}

QWidget* CreateButton(const ControlTemplate& control, QWidget* parent) {
    auto* button = new QPushButton(Text(control), parent);
    button->setDefault((control.style & kDefaultButton) != 0);
    return button;
}

QWidget* CreateLabel(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(Text(control), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::PushButton: widget = CreateButton(control, parent); break;
    case ControlKind::Label: widget = CreateLabel(control, parent); break;
    case ControlKind::Edit: widget = CreateEdit(control, parent); break;
    case ControlKind::GroupBox: widget = new QGroupBox(Text(control), parent); break;
    }
    if (control.id != kNoControlId) widget->setObjectName(QStringLiteral("control%1").arg(control.id));
    widget->setVisible((control.style & kHidden) == 0);
    return widget;
}

}  // namespace tessel
