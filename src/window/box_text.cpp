#include "window/box_text.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

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

void AppendBoxText(QPlainTextEdit &box, const QString &text)
{
    QTextCursor end(box.document());
    end.movePosition(QTextCursor::End);
    end.insertText(ToLineFeeds(text));
}

qsizetype BoxTextLength(const QPlainTextEdit &box)
{
    // Every block ends in a separator, the last one included; in the box's
    // text each break between blocks is CR LF.
    const QTextDocument &document = *box.document();
    return document.characterCount() - 1 + (document.blockCount() - 1);
}

}  // namespace verz
