#include "window/box_text.h"

#include <QPlainTextEdit>

namespace verz {

QString ToLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString BoxText(const QPlainTextEdit &box)
{
    QString text = box.toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void SetBoxText(QPlainTextEdit &box, const QString &text)
{
    box.setPlainText(ToLineFeeds(text));
}

}  // namespace verz
