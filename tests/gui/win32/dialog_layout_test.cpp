// The Win32 dialog as its window template defines it: places in dialog units, texts, styles, tab order and
// icon.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <vector>

#include "dialog/control_ids.h"
#include "platform/win32/win32_dialog_host.h"
#include "win32_dialog_fixture.h"

namespace tessel::gui_test {
namespace {

struct Units {
    int x, y, width, height;
};

// Dialog units in pixels of this dialog's font, each value on its own as the dialog manager converts a
// template's control: the result holds x, y, width and height, not corners.
RECT ToPixels(HWND dialog, const Units& units) {
    RECT rect{units.x, units.y, units.width, units.height};
    ::MapDialogRect(dialog, &rect);
    return rect;
}

RECT PlaceInDialog(HWND control, HWND dialog) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectPlaced(HWND dialog, HWND control, const Units& units, const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_NE(control, nullptr);
    const RECT expected = ToPixels(dialog, units);
    const RECT actual = PlaceInDialog(control, dialog);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right - actual.left, expected.right);
    EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
}

// The occurrence-th child without an id of the template that shows this text.
HWND ChildWithText(HWND dialog, const std::string& text, int occurrence = 0) {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(child) != 0xFFFF && ::GetDlgCtrlID(child) != -1) continue;
        if (WindowTextUtf8(child) == text && occurrence-- == 0) return child;
    }
    return nullptr;
}

LONG_PTR StyleOf(HWND control) { return ::GetWindowLongPtrW(control, GWL_STYLE); }

// The dialog manager draws a bordered edit control with a sunken edge instead of a plain border.
bool Bordered(HWND control) {
    return (StyleOf(control) & WS_BORDER) != 0 || (::GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
}

using Win32DialogLayoutTest = Win32DialogTest;

TEST_F(Win32DialogLayoutTest, PlacesTheControlsWhereTheTemplateSaysInDialogUnits) {
    const HWND window = dialog.window().handle();
    ASSERT_NE(window, nullptr);
    RECT client{};
    ::GetClientRect(window, &client);
    const RECT size = ToPixels(window, {0, 0, 303, 149});
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    const std::vector<std::pair<int, Units>> byId = {
        {kCloseButton, {231, 122, 62, 19}},      {kAddressEdit, {56, 12, 84, 12}},
        {kLoginIdEdit, {56, 28, 84, 12}},        {kPasswordEdit, {56, 44, 84, 12}},
        {kFtpPortEdit, {56, 60, 28, 12}},        {kFirmwareButton, {222, 21, 66, 21}},
        {kScriptButton, {222, 72, 66, 21}},      {kFirmwareVersionEdit, {156, 33, 54, 12}},
        {kScriptVersionEdit, {156, 84, 54, 12}}, {kStatusLine, {8, 111, 195, 12}},
        {kDetailLine, {8, 96, 132, 12}},
    };
    for (const auto& [id, units] : byId) ExpectPlaced(window, control(id), units, std::to_string(id));

    struct Unnamed {
        const char* text;
        int occurrence;
        Units units;
    };
    const Unnamed unnamed[] = {
        {"アドレス", 0, {7, 15, 31, 8}},
        {"ログインID", 0, {7, 31, 31, 8}},
        {"パスワード", 0, {7, 48, 31, 8}},
        {"FTPポート番号", 0, {6, 63, 45, 8}},
        {"ファームウェア・アップデート", 0, {150, 6, 144, 45}},
        {"スクリプト・アップデート", 0, {150, 57, 144, 45}},
        {"バージョン", 0, {156, 23, 33, 8}},
        {"バージョン", 1, {156, 74, 33, 8}},
        {"ORVEX TAL Corporation", 0, {8, 133, 81, 8}},
    };
    for (const Unnamed& entry : unnamed) {
        ExpectPlaced(window, ChildWithText(window, entry.text, entry.occurrence), entry.units, entry.text);
    }
}

TEST_F(Win32DialogLayoutTest, ControlsCarryTheirTextsAndStyles) {
    EXPECT_EQ(text(kCloseButton), "閉じる");
    EXPECT_EQ(text(kFirmwareButton), "ファーム・アップデート");
    EXPECT_EQ(text(kScriptButton), "スクリプト・アップデート");
    EXPECT_EQ(StyleOf(control(kCloseButton)) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(StyleOf(control(kFirmwareButton)) & BS_TYPEMASK, BS_PUSHBUTTON);

    for (const int id : {kAddressEdit, kLoginIdEdit, kPasswordEdit}) {
        EXPECT_EQ(StyleOf(control(id)) & ES_READONLY, 0) << id;
        EXPECT_TRUE(Bordered(control(id))) << id;
        EXPECT_NE(StyleOf(control(id)) & ES_AUTOHSCROLL, 0) << id;
    }
    EXPECT_NE(StyleOf(control(kPasswordEdit)) & ES_PASSWORD, 0);
    EXPECT_EQ(StyleOf(control(kAddressEdit)) & ES_PASSWORD, 0);
    for (const int id : {kFtpPortEdit, kFirmwareVersionEdit, kScriptVersionEdit, kStatusLine, kDetailLine}) {
        EXPECT_NE(StyleOf(control(id)) & ES_READONLY, 0) << id;
    }
    EXPECT_TRUE(Bordered(control(kStatusLine)));
    EXPECT_FALSE(Bordered(control(kDetailLine)));

    // The FTP port and its label are there for the core, not for the operator.
    EXPECT_EQ(StyleOf(control(kFtpPortEdit)) & WS_VISIBLE, 0);
    EXPECT_EQ(StyleOf(ChildWithText(dialog.window().handle(), "FTPポート番号")) & WS_VISIBLE, 0);
    EXPECT_NE(StyleOf(control(kAddressEdit)) & WS_VISIBLE, 0);
}

TEST_F(Win32DialogLayoutTest, TheWindowHasACaptionBarACloseMenuAndNoMinimiseOrMaximiseBox) {
    const HWND window = dialog.window().handle();
    const LONG_PTR style = StyleOf(window);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(WindowTextUtf8(window), "");
}

TEST_F(Win32DialogLayoutTest, TabOrderFollowsTheTemplate) {
    const HWND window = dialog.window().handle();
    // The visible controls that take the focus, in the order of the template.
    const std::vector<int> expected = {kCloseButton,    kAddressEdit,  kLoginIdEdit,         kPasswordEdit,
                                       kFirmwareButton, kScriptButton, kFirmwareVersionEdit, kScriptVersionEdit,
                                       kStatusLine,     kDetailLine};
    std::vector<int> visited;
    HWND at = control(kCloseButton);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        visited.push_back(::GetDlgCtrlID(at));
        at = ::GetNextDlgTabItem(window, at, FALSE);
    }
    EXPECT_EQ(visited, expected);
    // Round the circle, back to the first.
    EXPECT_EQ(::GetDlgCtrlID(at), kCloseButton);
}

TEST_F(Win32DialogLayoutTest, TheWindowCarriesTheProgramIconLargeAndSmall) {
    const HWND window = dialog.window().handle();
    const auto large = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    const auto small = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(large, nullptr);
    ASSERT_NE(small, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(large, &info));
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, ::GetSystemMetrics(SM_CXICON));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

TEST_F(Win32DialogLayoutTest, UploadProgressCoversTheDetailLineWhileItRuns) {
    dialog.window().showUploadProgress("kbteva.bin", 40, 160);
    EXPECT_EQ(StyleOf(control(kDetailLine)) & WS_VISIBLE, 0);
    EXPECT_NE(StyleOf(dialog.window().uploadProgressBar()) & WS_VISIBLE, 0);
    EXPECT_EQ(WindowTextUtf8(dialog.window().uploadFileLabel()), "kbteva.bin  25%");
    EXPECT_EQ(::SendMessageW(dialog.window().uploadProgressBar(), PBM_GETPOS, 0, 0), 40);
    dialog.window().endUploadProgress();
    EXPECT_EQ(StyleOf(dialog.window().uploadProgressBar()) & WS_VISIBLE, 0);
    EXPECT_NE(StyleOf(control(kDetailLine)) & WS_VISIBLE, 0);
}

}  // namespace
}  // namespace tessel::gui_test
