#include <QLocale>
#include <QPainter>

#include "dialog/control_ids.h"
#include "dialog_fixture.h"
#include "sample_package.h"

namespace tessel::gui_test {
namespace {

// The window with a plain title strip above it: the offscreen platform draws no window frame, and the
// caption is part of what the management file sets.
QImage WithTitleStrip(QWidget& window) {
    const QPixmap client = window.grab();
    const int strip = QFontMetrics(window.font()).height() + 12;
    QImage image(client.width(), client.height() + strip, QImage::Format_RGB32);
    image.fill(QColor(0x2b, 0x57, 0x97));
    QPainter painter(&image);
    const int iconSize = strip - 8;
    painter.drawPixmap(4, 4, window.windowIcon().pixmap(iconSize, iconSize));
    painter.setPen(Qt::white);
    painter.setFont(window.font());
    painter.drawText(QRect(iconSize + 10, 0, client.width() - iconSize - 10, strip), Qt::AlignVCenter,
                     window.windowTitle());
    painter.drawPixmap(0, strip, client);
    return image;
}

TEST_F(DialogTest, ScreenshotWithASamplePackage) {
    SamplePackage package;
    package.writeManagementFile("#T# テッセル データロガー 更新パッケージ\r\n#F# 01.07.02\r\n#S# 02.00.00\r\n");
    dialog.initialise(package.dir());
    edit(kLoginIdEdit)->setText("admin");
    edit(kPasswordEdit)->setText("admin");
    edit(kStatusLine)->setText("ファームウェア・アップデート終了");
    dialog.window().show();

    // One screenshot for each locale the suite runs under: tessel-dialog-ja_JP.png, tessel-dialog-C.png.
    const QString path =
        QStringLiteral(TESSEL_SCREENSHOT_DIR "/tessel-dialog-%1.png").arg(QLocale::system().name());
    const QImage screenshot = WithTitleStrip(dialog.window());
    ASSERT_FALSE(screenshot.isNull());
    EXPECT_GT(screenshot.height(), dialog.window().height());
    EXPECT_TRUE(screenshot.save(path, "PNG")) << path.toStdString();
    EXPECT_TRUE(QImage(path).size() == screenshot.size());
}

}  // namespace
}  // namespace tessel::gui_test
