// Every text of the dialog fits its control, and Qt's own texts follow the system's language. CTest runs
// these tests under ja_JP.UTF-8 and under C.UTF-8.
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>

#include <memory>

#include "dialog/control_ids.h"
#include "dialog_fixture.h"
#include "gui/qt_translations.h"
#include "plain_text.h"

namespace tessel::gui_test {
namespace {

bool JapaneseSystem() { return QLocale::system().language() == QLocale::Japanese; }

void ExpectFits(const QString& text, const QFont& font, const QRect& room) {
    SCOPED_TRACE(text.toStdString());
    const QFontMetrics metrics(font);
    EXPECT_LE(metrics.horizontalAdvance(text), room.width());
    EXPECT_LE(metrics.height(), room.height());
}

// The room the style leaves a push button's text: inside its frame and its default-button indicator.
QRect TextRoom(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    if (button.autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    if (button.isDefault()) option.features |= QStyleOptionButton::DefaultButton;
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
}

// The room for the text inside an edit field's frame; the field keeps a pixel above and below the text.
QRect TextRoom(const QLineEdit& field) {
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.rect = field.contentsRect();
    option.lineWidth = field.hasFrame() ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field) : 0;
    option.state |= QStyle::State_Sunken;
    return field.style()->subElementRect(QStyle::SE_LineEditContents, &option, &field).adjusted(0, 1, 0, -1);
}

QRect TitleRoom(const QGroupBox& box) {
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.textAlignment = box.alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
}

class DialogTextsTest : public DialogTest {
protected:
    void SetUp() override { dialog.window().show(); }

    template <typename Widget>
    std::vector<Widget*> shown() {
        std::vector<Widget*> widgets;
        for (Widget* widget : dialog.window().findChildren<Widget*>()) {
            if (widget->isVisible()) widgets.push_back(widget);
        }
        return widgets;
    }
};

TEST_F(DialogTextsTest, EveryLabelButtonAndGroupTitleFitsItsControl) {
    const auto labels = shown<QLabel>();
    const auto buttons = shown<QPushButton>();
    const auto boxes = shown<QGroupBox>();
    ASSERT_EQ(labels.size(), 6u);
    ASSERT_EQ(buttons.size(), 3u);
    ASSERT_EQ(boxes.size(), 2u);
    for (const QLabel* label : labels) ExpectFits(label->text(), label->font(), label->contentsRect());
    for (const QPushButton* button : buttons) ExpectFits(button->text(), button->font(), TextRoom(*button));
    for (const QGroupBox* box : boxes) {
        const QRect room = TitleRoom(*box);
        EXPECT_TRUE(box->rect().contains(room)) << box->title().toStdString();
        ExpectFits(box->title(), box->font(), room);
    }
}

TEST_F(DialogTextsTest, EveryEditFieldIsHighEnoughForALineOfText) {
    const auto edits = shown<QLineEdit>();
    ASSERT_EQ(edits.size(), 7u);
    for (const QLineEdit* field : edits) {
        SCOPED_TRACE(field->objectName().toStdString());
        ExpectFits(field->text(), field->font(), TextRoom(*field));
    }
}

TEST_F(DialogTextsTest, TheFontIsTheProportionalIpaGothicUnderEveryLocale) {
    // The font database names the family in the system's language; the font itself must be the same.
    EXPECT_EQ(QFontInfo(dialog.window().font()).family(), QFontInfo(QFont("IPAPGothic")).family());
    const QFontMetrics metrics(dialog.window().font());
    EXPECT_LT(metrics.horizontalAdvance("ア"), metrics.horizontalAdvance("漢"));
}

TEST_F(DialogTextsTest, EditFieldsContextMenuSpeaksTheSystemsLanguage) {
    const QtTranslations translations;
    EXPECT_EQ(translations.loaded(), JapaneseSystem());
    const std::unique_ptr<QMenu> menu(edit(kAddressEdit)->createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) texts << PlainText(action->text());
    }
    const QStringList expected = JapaneseSystem()
                                     ? QStringList{"元に戻す", "やり直す", "切り取り", "コピー", "貼り付け", "削除",
                                                   "すべてを選択"}
                                     : QStringList{"Undo", "Redo", "Cut", "Copy", "Paste", "Delete", "Select All"};
    EXPECT_EQ(texts, expected);
}

}  // namespace
}  // namespace tessel::gui_test
