#include "window/text_box_edit.h"

#include "window/box_text.h"

#include <QMimeData>

namespace verz {

QMimeData *TextBoxEdit::createMimeDataFromSelection() const
{
    const QString joined = JoinedSelectionText(*this, textCursor().selectedText());
    if (joined.isNull())
        return QPlainTextEdit::createMimeDataFromSelection();
    // Plain text only: the rich copy would hold the joins as paragraph breaks.
    auto *data = new QMimeData;
    data->setText(joined);
    return data;
}

void TextBoxEdit::insertFromMimeData(const QMimeData *source)
{
    if (source == nullptr || isReadOnly() || !source->hasText() ||
        !InsertLongBoxText(*this, source->text()))
        QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace verz
