#include "gui/win32/dialog_resource.h"

#include <string>

#include "platform/win32/win32_dialog_host.h"

namespace tessel {
namespace {

// The predefined window classes by their atoms.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

constexpr DWORD kDialogStyle = DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
// Shown on the taskbar although it is a dialog.
constexpr DWORD kDialogExStyle = WS_EX_APPWINDOW;

class TemplateWriter {
public:
    void word(unsigned value) { words_.push_back(static_cast<WORD>(value)); }
    void doubleWord(DWORD value) {
        word(value & 0xFFFF);
        word(value >> 16);
    }
    void text(std::string_view utf8) {
        for (const wchar_t character : WideText(utf8)) word(character);
        word(0);
    }
    void alignToDoubleWord() {
        if (words_.size() % 2 != 0) word(0);
    }
    std::vector<WORD> take() { return std::move(words_); }

private:
    std::vector<WORD> words_;
};

WORD ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Edit: return kEditClass;
    case ControlKind::Label: return kStaticClass;
    case ControlKind::PushButton:
    case ControlKind::GroupBox: return kButtonClass;
    }
    return kStaticClass;
}

}  // namespace

DWORD ControlStyle(const ControlTemplate& control) {
    DWORD style = WS_CHILD;
    if ((control.style & kHidden) == 0) style |= WS_VISIBLE;
    switch (control.kind) {
    case ControlKind::PushButton:
        style |= WS_TABSTOP | ((control.style & kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
    case ControlKind::Edit:
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        if (control.style & kBordered) style |= WS_BORDER;
        if (control.style & kReadOnly) style |= ES_READONLY;
        if (control.style & kPassword) style |= ES_PASSWORD;
        break;
    case ControlKind::GroupBox: style |= BS_GROUPBOX; break;
    case ControlKind::Label: style |= SS_LEFT; break;
    }
    return style;
}

std::vector<WORD> BuildDialogResource(const DialogTemplate& dialog) {
    TemplateWriter out;
    out.word(1);        // version of the extended template
    out.word(0xFFFF);   // its signature
    out.doubleWord(0);  // help id
    out.doubleWord(kDialogExStyle);
    out.doubleWord(kDialogStyle);
    out.word(static_cast<WORD>(dialog.controls.size()));
    for (const int value : {0, 0, dialog.width, dialog.height}) out.word(static_cast<WORD>(value));
    out.word(0);  // no menu
    out.word(0);  // the dialog's own window class
    out.text("");
    out.word(static_cast<WORD>(dialog.fontPointSize));
    out.word(FW_NORMAL);
    out.word(SHIFTJIS_CHARSET << 8);  // not italic; the Japanese character set
    out.text(dialog.fontFamily);
    for (const ControlTemplate& control : dialog.controls) {
        out.alignToDoubleWord();
        out.doubleWord(0);  // help id
        out.doubleWord(0);  // extended style
        out.doubleWord(ControlStyle(control));
        const DialogRect& rect = control.rect;
        for (const int value : {rect.x, rect.y, rect.width, rect.height}) out.word(static_cast<WORD>(value));
        out.doubleWord(static_cast<DWORD>(control.id == kNoControlId ? -1 : control.id));
        out.word(0xFFFF);
        out.word(ClassOf(control.kind));
        out.text(control.text);
        out.word(0);  // no creation data
    }
    return out.take();
}

}  // namespace tessel
