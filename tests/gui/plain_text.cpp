#include "plain_text.h"

#include <QRegularExpression>

namespace tessel::gui_test {

QString PlainText(QString text) {
    text = text.section('\t', 0, 0);
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
    text.remove('&');
    return text;
}

}  // namespace tessel::gui_test
