#include "window/box_text.h"

#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace verz {

namespace {
// The box lays out a block whole whenever it shows or changes it, at about
// half a second per MiB, and a block with no space in time growing with the
// square of its length: a page's translation, one line, froze the window for
// seconds, and one long word for minutes. Lines longer than this are
// therefore held as several blocks, each ending in a join mark that the box's
// text and copies leave out, with the break after it. A block is cut after a
// space, which becomes the mark (a no-break space: it looks the same and reads
// as a space); with no space in it, between two characters as the user sees
// them, with a word joiner as the mark, which shows nothing and reads as
// nothing.
constexpr qsizetype kBlockChars = 16 * 1024;
// A block without spaces costs the square of its length: shorter.
constexpr qsizetype kCharacterBlockChars = kBlockChars / 4;
// A cut after a sentence end is looked for in the last quarter of a block.
constexpr qsizetype kSentenceSearch = kBlockChars / 4;
constexpr QChar kSpaceJoin(QChar::Nbsp);
constexpr QChar kWordJoin(0x2060);
// Set on a box's document once a line was cut; only then can a mark at a
// block end be a join (a pasted text may hold one of its own).
constexpr char kHoldsJoins[] = "verzHoldsJoins";

bool holdsJoins(const QPlainTextEdit &box)
{
    return box.document()->property(kHoldsJoins).toBool();
}

// What QTextDocument::toPlainText makes of raw text, the joins left out.
QString plainFromRaw(QString raw)
{
    raw.replace(QString(kSpaceJoin) + QChar(QChar::ParagraphSeparator), QString(kSpaceJoin));
    raw.replace(QString(kWordJoin) + QChar(QChar::ParagraphSeparator), QString());
    for (QChar &c : raw) {
        switch (c.unicode()) {
        case 0xfdd0:  // frame start and end, which a plain box never holds
        case 0xfdd1:
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
            c = QLatin1Char('\n');
            break;
        case QChar::Nbsp:
            c = QLatin1Char(' ');
            break;
        default:
            break;
        }
    }
    return raw;
}

// Where a block of `line` starting at `from`, and as long as a block may be
// (`end`), ends when it holds no space: at the last boundary between two
// characters as shown, so a surrogate pair, a letter and its marks, or an
// emoji sequence stay whole. The finder reads only the block's last units and
// the two after it (a pair's second half): reading whole blocks cost as much
// as the rest of the work.
qsizetype characterCut(QStringView line, qsizetype from, qsizetype end)
{
    constexpr qsizetype kContext = 64;
    const qsizetype start = std::max(from, end - kContext);
    const qsizetype stop = std::min(end + 2, line.size());
    QTextBoundaryFinder tail(QTextBoundaryFinder::Grapheme, line.data() + start, stop - start);
    tail.setPosition(end - start);
    if (tail.isAtBoundary())
        return end;
    const qsizetype before = tail.toPreviousBoundary();
    if (before > 0)
        return start + before;
    // One character longer than that (a letter under many marks) is cut
    // after it, wherever that is.
    QTextBoundaryFinder rest(QTextBoundaryFinder::Grapheme, line.data() + from, line.size() - from);
    rest.setPosition(end - from);
    if (rest.isAtBoundary())
        return end;
    const qsizetype previous = rest.toPreviousBoundary();
    if (previous > 0)
        return from + previous;
    rest.setPosition(end - from);
    const qsizetype after = rest.toNextBoundary();
    return after < 0 ? line.size() : from + after;
}

// Where the block starting at `from` in `line` (no line feed in it) ends: one
// past the space it is cut after, between two characters when it holds no
// space, or the line's end when it is short enough.
qsizetype blockEnd(QStringView line, qsizetype from)
{
    if (line.size() - from <= kBlockChars)
        return line.size();
    const qsizetype last = from + kBlockChars - 1;
    for (qsizetype i = last; i > last - kSentenceSearch; --i) {
        const QChar before = line.at(i - 1);
        if (line.at(i) == u' ' && (before == u'.' || before == u'!' || before == u'?'))
            return i + 1;
    }
    // Looked for in the block alone: a line without spaces is not read again
    // from its start for each of its blocks.
    const qsizetype space = line.sliced(from, kBlockChars).lastIndexOf(QLatin1Char(' '));
    if (space >= 0)
        return from + space + 1;
    return characterCut(line, from, from + kCharacterBlockChars);
}

// The line as the box holds it: its blocks, each but the last ending in its
// join mark and a line feed. Sets `cut` when the line was cut.
QString heldLine(QStringView line, bool &cut)
{
    if (line.size() <= kBlockChars)
        return line.toString();
    cut = true;
    QString held;
    held.reserve(line.size() + 2 * (line.size() / (kBlockChars / 2)));
    qsizetype from = 0;
    for (qsizetype to = blockEnd(line, from); to < line.size(); to = blockEnd(line, from)) {
        if (line.at(to - 1) == u' ') {
            held.append(line.sliced(from, to - 1 - from)).append(kSpaceJoin);
        } else {
            held.append(line.sliced(from, to - from)).append(kWordJoin);
        }
        held.append(QLatin1Char('\n'));
        from = to;
    }
    return held.append(line.sliced(from));
}

// Every line of `lines` (line feeds only) as the box holds it.
QString heldText(const QString &lines, bool &cut)
{
    QString held;
    for (qsizetype from = 0;;) {
        qsizetype lineEnd = lines.indexOf(QLatin1Char('\n'), from);
        if (lineEnd < 0)
            lineEnd = lines.size();
        held.append(heldLine(QStringView(lines).sliced(from, lineEnd - from), cut));
        if (lineEnd == lines.size())
            return held;
        held.append(QLatin1Char('\n'));
        from = lineEnd + 1;
    }
}

bool endsInJoin(const QTextDocument &document, const QTextBlock &block)
{
    if (block.length() < 2)
        return false;
    const QChar last = document.characterAt(block.position() + block.length() - 2);
    return last == kSpaceJoin || last == kWordJoin;
}
}  // namespace

QString ToLineFeeds(QString text)
{
    // Most texts hold none: spared the copies a replacement makes.
    if (!text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString BoxText(const QPlainTextEdit &box)
{
    QString text = holdsJoins(box) ? plainFromRaw(box.document()->toRawText()) : box.toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void SetBoxText(QPlainTextEdit &box, const QString &text)
{
    bool cut = false;
    const QString held = heldText(ToLineFeeds(text), cut);
    // Before the change: the box's change handlers read its length.
    box.document()->setProperty(kHoldsJoins, cut);
    box.setPlainText(held);
}

void AppendBoxText(QPlainTextEdit &box, const QString &text)
{
    bool cut = false;
    const QString held = heldText(ToLineFeeds(text), cut);
    QTextDocument &document = *box.document();
    if (cut)
        document.setProperty(kHoldsJoins, true);
    QTextCursor end(&document);
    end.movePosition(QTextCursor::End);
    // One insertion: one change signal and one undo step.
    end.insertText(held);
}

bool InsertLongBoxText(QPlainTextEdit &box, const QString &text)
{
    bool cut = false;
    const QString held = heldText(ToLineFeeds(text), cut);
    if (!cut)
        return false;
    box.document()->setProperty(kHoldsJoins, true);
    QTextCursor caret = box.textCursor();
    caret.insertText(held);
    box.setTextCursor(caret);
    box.ensureCursorVisible();
    return true;
}

qsizetype BoxTextLength(const QPlainTextEdit &box)
{
    // Every block ends in a separator, the last one included; in the box's
    // text each break between blocks is CR LF, a join after a space is none,
    // and a join between characters takes its mark away as well.
    const QTextDocument &document = *box.document();
    const qsizetype separators = document.blockCount() - 1;
    qsizetype length = document.characterCount() - 1 - separators + 2 * separators;
    if (holdsJoins(box)) {
        for (QTextBlock block = document.firstBlock(); block.next().isValid();
             block = block.next()) {
            if (!endsInJoin(document, block))
                continue;
            length -= 2;
            if (document.characterAt(block.position() + block.length() - 2) == kWordJoin)
                --length;
        }
    }
    return length;
}

QString JoinedSelectionText(const QPlainTextEdit &box, const QString &selected)
{
    if (!holdsJoins(box) ||
        (!selected.contains(QString(kSpaceJoin) + QChar(QChar::ParagraphSeparator)) &&
         !selected.contains(QString(kWordJoin) + QChar(QChar::ParagraphSeparator))))
        return QString();
    return plainFromRaw(selected);
}

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
