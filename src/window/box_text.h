#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace verz {

// Text boxes hold their text with CR LF line breaks, as the program's texts
// are written; the edit widget itself keeps bare line feeds.
QString BoxText(const QPlainTextEdit &box);
void SetBoxText(QPlainTextEdit &box, const QString &text);
// Adds text at the end of the box, leaving what it holds, the caret and the
// view alone: the cost is the new text's, not the box's. A long line (a
// page's translation is one) is held as several blocks joined without a
// break, so that the box lays out only the part it shows (see box_text.cpp).
void AppendBoxText(QPlainTextEdit &box, const QString &text);
// Puts text in place of the box's selection, as a paste does, when one of its
// lines is long enough to be held in blocks; false, the box untouched, when
// none is (the widget's own paste then does as well).
bool InsertLongBoxText(QPlainTextEdit &box, const QString &text);
// BoxText(box).size(), without building the text.
qsizetype BoxTextLength(const QPlainTextEdit &box);
QString ToLineFeeds(QString text);
// The text a selection of the box gives, with line feeds, or a null string
// when the selection crosses no join and reads as the widget's own copy does.
// `selected` is the selection's raw text (QTextCursor::selectedText).
QString JoinedSelectionText(const QPlainTextEdit &box, const QString &selected);

// A text box: the edit widget whose copied selection reads as the box's text
// does, where a long line is held as several joined blocks, and where a long
// line pasted or dropped is held so too.
class TextBoxEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
};

}  // namespace verz
