#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <memory>

#include "dialog/control_ids.h"
#include "gui/tessel_app.h"
#include "gui/tessel_window.h"
#include "plain_text.h"
#include "sample_package.h"

namespace tessel::gui_test {
namespace {

constexpr int kShowBoundMs = 10000;

TesselWindow* ShownWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = dynamic_cast<TesselWindow*>(widget);
        if (window && window->isVisible()) return window;
    }
    return nullptr;
}

TEST(TesselAppTest, ShowsTheDialogModallyAndEndsWhenItCloses) {
    SamplePackage package;
    package.writeManagementFile("#T# テッセル\r\n");
    QString caption;
    QString undo;
    bool modal = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        TesselWindow* window = ShownWindow();
        if (window == nullptr) return;
        poll.stop();
        caption = window->windowTitle();
        modal = QApplication::activeModalWidget() == window;
        auto* address = qobject_cast<QLineEdit*>(window->control(kAddressEdit));
        const std::unique_ptr<QMenu> menu(address->createStandardContextMenu());
        undo = PlainText(menu->actions().front()->text());
        qobject_cast<QPushButton*>(window->control(kCloseButton))->click();
    });
    poll.start(10);
    // Should the window never close, the deadline ends it, and the checks below fail.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] {
        if (TesselWindow* window = ShownWindow()) window->done(QDialog::Rejected);
    });
    deadline.start(kShowBoundMs);

    EXPECT_EQ(CTesselApp().InitInstance(package.dir()), 0);
    EXPECT_EQ(caption, "テッセル");
    EXPECT_TRUE(modal);
    // Qt's own texts follow the system's language while the program runs.
    EXPECT_EQ(undo, QLocale::system().language() == QLocale::Japanese ? "元に戻す" : "Undo");
    EXPECT_EQ(ShownWindow(), nullptr);
    EXPECT_EQ(QCoreApplication::organizationName(), "ORVEX CORPORATION");
    EXPECT_EQ(QCoreApplication::applicationName(), "Tessel");
}

}  // namespace
}  // namespace tessel::gui_test
