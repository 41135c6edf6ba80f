#pragma once

#include <QPlainTextEdit>

namespace verz {

// A text box: the edit widget whose copied selection reads as the box's text
// does (box_text.h), where a long line is held as several joined blocks, and
// where a long line pasted or dropped is held so too.
class TextBoxEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
};

}  // namespace verz
