#pragma once

#include <QString>

class QPlainTextEdit;

namespace verz {

// Text boxes hold their text with CR LF line breaks, as the program's texts
// are written; the edit widget itself keeps bare line feeds.
QString BoxText(const QPlainTextEdit &box);
void SetBoxText(QPlainTextEdit &box, const QString &text);
QString ToLineFeeds(QString text);

}  // namespace verz
