#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QStyle>

#include <vector>

#include "dialog/control_ids.h"
#include "dialog_fixture.h"
#include "gui/dialog_template.h"
#include "gui/program_icon.h"

namespace tessel::gui_test {
namespace {

// Pixels per dialog unit as dialog units are defined: a quarter of the average Latin letter width and an
// eighth of the character height of the dialog's font.
struct BaseUnits {
    double x;
    double y;
};

BaseUnits MeasureBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {std::round(letters / 52.0) / 4.0, metrics.height() / 8.0};
}

void ExpectPlaced(const QRect& actual, const DialogRect& units, const BaseUnits& base, const QString& what) {
    SCOPED_TRACE(what.toStdString());
    EXPECT_NEAR(actual.x(), units.x * base.x, 1.0);
    EXPECT_NEAR(actual.y(), units.y * base.y, 1.0);
    EXPECT_NEAR(actual.width(), units.width * base.x, 1.0);
    EXPECT_NEAR(actual.height(), units.height * base.y, 1.0);
}

QWidget* ChildWithText(QWidget& window, const QString& text, int occurrence = 0) {
    for (QWidget* child : window.findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(child);
        const auto* group = qobject_cast<QGroupBox*>(child);
        if ((label && label->text() == text) || (group && group->title() == text)) {
            if (occurrence-- == 0) return child;
        }
    }
    return nullptr;
}

using DialogLayoutTest = DialogTest;

TEST_F(DialogLayoutTest, PlacesTheControlsWhereTheTemplateSaysInDialogUnits) {
    const BaseUnits base = MeasureBaseUnits(dialog.window().font());
    const QSize client = dialog.window().size();
    EXPECT_NEAR(client.width(), 303 * base.x, 1.0);
    EXPECT_NEAR(client.height(), 149 * base.y, 1.0);

    const std::vector<std::pair<int, DialogRect>> byId = {
        {kCloseButton, {231, 122, 62, 19}},     {kAddressEdit, {56, 12, 84, 12}},
        {kLoginIdEdit, {56, 28, 84, 12}},       {kPasswordEdit, {56, 44, 84, 12}},
        {kFtpPortEdit, {56, 60, 28, 12}},       {kFirmwareButton, {222, 21, 66, 21}},
        {kScriptButton, {222, 72, 66, 21}},     {kFirmwareVersionEdit, {156, 33, 54, 12}},
        {kScriptVersionEdit, {156, 84, 54, 12}}, {kStatusLine, {8, 111, 195, 12}},
        {kDetailLine, {8, 96, 132, 12}},
    };
    for (const auto& [id, rect] : byId) {
        QWidget* control = dialog.window().control(id);
        ASSERT_NE(control, nullptr) << id;
        ExpectPlaced(control->geometry(), rect, base, QString::number(id));
    }
    struct Unnamed {
        const char* text;
        int occurrence;
        DialogRect rect;
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
        QWidget* control = ChildWithText(dialog.window(), QString::fromUtf8(entry.text), entry.occurrence);
        ASSERT_NE(control, nullptr) << entry.text;
        ExpectPlaced(control->geometry(), entry.rect, base, QString::fromUtf8(entry.text));
    }
}

TEST_F(DialogLayoutTest, ButtonsInsideTheGroupBoxesReceiveTheirClicks) {
    for (const int id : {kFirmwareButton, kScriptButton}) {
        QWidget* control = dialog.window().control(id);
        EXPECT_EQ(dialog.window().childAt(control->geometry().center()), control) << id;
    }
}

TEST_F(DialogLayoutTest, ControlsCarryTheirTextsAndStyles) {
    EXPECT_EQ(button(kCloseButton)->text(), "閉じる");
    EXPECT_TRUE(button(kCloseButton)->isDefault());
    EXPECT_EQ(button(kFirmwareButton)->text(), "ファーム・アップデート");
    EXPECT_EQ(button(kScriptButton)->text(), "スクリプト・アップデート");
    EXPECT_FALSE(button(kFirmwareButton)->isDefault());

    for (const int id : {kAddressEdit, kLoginIdEdit, kPasswordEdit}) {
        EXPECT_FALSE(edit(id)->isReadOnly()) << id;
        EXPECT_TRUE(edit(id)->hasFrame()) << id;
    }
    EXPECT_EQ(edit(kPasswordEdit)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit(kAddressEdit)->echoMode(), QLineEdit::Normal);
    for (const int id : {kFtpPortEdit, kFirmwareVersionEdit, kScriptVersionEdit, kStatusLine, kDetailLine}) {
        EXPECT_TRUE(edit(id)->isReadOnly()) << id;
    }
    EXPECT_TRUE(edit(kStatusLine)->hasFrame());
    EXPECT_FALSE(edit(kDetailLine)->hasFrame());

    dialog.window().show();
    EXPECT_FALSE(edit(kFtpPortEdit)->isVisible());
    EXPECT_FALSE(ChildWithText(dialog.window(), "FTPポート番号")->isVisible());
    EXPECT_TRUE(edit(kAddressEdit)->isVisible());
    EXPECT_TRUE(ChildWithText(dialog.window(), "ORVEX TAL Corporation")->isVisible());

    const Qt::WindowFlags flags = dialog.window().windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(dialog.window().windowTitle().isEmpty());
}

TEST_F(DialogLayoutTest, TabOrderFollowsTheTemplate) {
    dialog.window().show();
    std::vector<int> order;
    QWidget* widget = dialog.window().control(kCloseButton);
    do {
        if (widget->isVisible() && widget->focusPolicy() & Qt::TabFocus) {
            const QString name = widget->objectName();
            order.push_back(name.startsWith("control") ? name.mid(7).toInt() : -1);
        }
        widget = widget->nextInFocusChain();
    } while (widget != dialog.window().control(kCloseButton));
    const std::vector<int> expected = {kCloseButton,    kAddressEdit,         kLoginIdEdit,       kPasswordEdit,
                                       kFirmwareButton, kScriptButton,        kFirmwareVersionEdit,
                                       kScriptVersionEdit, kStatusLine,       kDetailLine};
    EXPECT_EQ(order, expected);
}

TEST_F(DialogLayoutTest, UsesANinePointJapaneseFont) {
    const QFont font = dialog.window().font();
    EXPECT_EQ(font.pointSize(), 9);
    const QString family = QFontInfo(font).family();
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese)) << family.toStdString();
    EXPECT_TRUE(QFontMetrics(font).inFont(QChar(0x9589)));  // 閉
}

TEST_F(DialogLayoutTest, HasALargeAndASmallProgramIcon) {
    const QList<QSize> sizes = dialog.window().windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

TEST_F(DialogLayoutTest, MinimisedWindowPaintsTheIconCentred) {
    QWidget& window = dialog.window();
    window.showMinimized();
    ASSERT_TRUE(window.isMinimized());
    QImage painted(window.size(), QImage::Format_ARGB32);
    window.render(&painted, QPoint(), QRegion(), QWidget::DrawWindowBackground);

    const int iconSize = window.style()->pixelMetric(QStyle::PM_LargeIconSize, nullptr, &window);
    QImage expected(window.size(), QImage::Format_ARGB32);
    expected.fill(window.palette().window().color());
    QPainter painter(&expected);
    painter.drawPixmap((window.width() - iconSize + 1) / 2, (window.height() - iconSize + 1) / 2,
                       ProgramIconPixmap(iconSize));
    painter.end();
    EXPECT_EQ(painted, expected);

    window.showNormal();
    window.render(&painted, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    EXPECT_NE(painted, expected);
}

}  // namespace
}  // namespace tessel::gui_test
