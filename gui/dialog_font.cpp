#include "gui/dialog_font.h"

#include <QFontDatabase>
#include <QStringList>

#include "gui/dialog_template.h"

namespace tessel {
namespace {

// Debian's fonts-ipafont-gothic. Its proportional Gothic comes first: like the template font it sets kana
// narrower than a full square, so the template's labels and buttons hold their texts. The font database
// lists a family under its name in the system's language ("IPA Pゴシック" under a Japanese locale), so each
// family goes by both of its names: the dialog then looks the same under every locale.
const QStringList kFallbackFamilies = {"IPAPGothic", "IPA Pゴシック", "IPAGothic", "IPAゴシック"};

QString InstalledFamily(const QString& preferred) {
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(preferred)) return preferred;
    for (const QString& family : kFallbackFamilies) {
        if (installed.contains(family)) return family;
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.front();
}

}  // namespace

QFont DialogFont() {
    const DialogTemplate& dialog = MainDialogTemplate();
    const QString preferred = QString::fromUtf8(dialog.fontFamily.data(), qsizetype(dialog.fontFamily.size()));
    QFont font;
    const QString family = InstalledFamily(preferred);
    // Without any Japanese font the toolkit's own substitution is all there is.
    font.setFamily(family.isEmpty() ? preferred : family);
    font.setPointSize(dialog.fontPointSize);
    return font;
}

}  // namespace tessel
