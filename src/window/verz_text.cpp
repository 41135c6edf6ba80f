// The commands around the two text boxes: clear, copy, paste, move up, the
// placeholder of the input box and the font size that follows the text length.
#include "window/verz.h"

#include "window/box_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>

namespace verz {

namespace {
constexpr int kShortTextLength = 50;
constexpr qreal kShortTextPoints = 24.0;
constexpr qreal kLongTextPoints = 14.0;

// The system clipboard's text, whole Unicode; empty when it holds none.
QString clipboardText()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return QString();
    const QMimeData *data = clipboard->mimeData(QClipboard::Clipboard);
    if (data == nullptr || !data->hasText())
        return QString();
    return data->text();
}

void putOnClipboard(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text, QClipboard::Clipboard);
}
}  // namespace

void Verz::SizeForText(QPlainTextEdit &box)
{
    // A line break counts two characters, as the box's own text has CR LF.
    const qreal points = BoxTextLength(box) > kShortTextLength ? kLongTextPoints : kShortTextPoints;
    // A new font lays the whole box out again: only when the size changes.
    if (box.font().pointSizeF() == points)
        return;
    QFont font = box.font();
    font.setPointSizeF(points);
    box.setFont(font);
}

void Verz::Text1_Change()
{
    SizeForText(*w_.Text1);
}

void Verz::Text2_Change()
{
    SizeForText(*w_.Text2);
}

void Verz::Text1_Click()
{
    if (text1Tag() != QStringLiteral("S"))
        return;
    setText1(QString());
    w_.Text1->setProperty("Tag", QString());
}

void Verz::Command2_Click()
{
    setText2(QString());
}

void Verz::Command3_Click()
{
    putOnClipboard(ToLineFeeds(text2()));
}

void Verz::Command4_Click()
{
    // Appended at the end, wherever the caret is.
    setText1(text1() + clipboardText());
}

void Verz::Command5_Click()
{
    setText1(QString());
}

void Verz::Image1_Click()
{
    // Through the clipboard, so the moved text is also ready to paste elsewhere.
    // A clipboard that did not take the text stops here, before the input box
    // is cleared, so nothing is lost.
    Command3_Click();
    if (clipboardText() != ToLineFeeds(text2()))
        return;
    Command5_Click();
    Command4_Click();
    Command2_Click();
}

// The boxes as the other commands and the translation read and write them.
QString Verz::text1() const
{
    return BoxText(*w_.Text1);
}

QString Verz::text2() const
{
    return BoxText(*w_.Text2);
}

QString Verz::text1Tag() const
{
    return w_.Text1->property("Tag").toString();
}

void Verz::setText1(const QString &text)
{
    SetBoxText(*w_.Text1, text);
}

void Verz::setText2(const QString &text)
{
    SetBoxText(*w_.Text2, text);
}

}  // namespace verz
