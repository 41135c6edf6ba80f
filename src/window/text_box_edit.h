#pragma once

#include <QPlainTextEdit>

namespace verz {

// A text box: the edit widget whose copied selection reads as the box's text
// does (box_text.h), where a long line is held as several joined blocks.
class TextBoxEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    QMimeData *createMimeDataFromSelection() const override;
};

}  // namespace verz
