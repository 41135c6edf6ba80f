#pragma once

#include <QString>

class QPlainTextEdit;

namespace verz {

// Text boxes hold their text with CR LF line breaks, as the program's texts
// are written; the edit widget itself keeps bare line feeds.
QString BoxText(const QPlainTextEdit &box);
void SetBoxText(QPlainTextEdit &box, const QString &text);
// Adds text at the end of the box, leaving what it holds, the caret and the
// view alone: the cost is the new text's, not the box's.
void AppendBoxText(QPlainTextEdit &box, const QString &text);
// BoxText(box).size(), without building the text.
qsizetype BoxTextLength(const QPlainTextEdit &box);
QString ToLineFeeds(QString text);

}  // namespace verz
