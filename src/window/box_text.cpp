#include "window/box_text.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace verz {

namespace {
// The box lays out a block whole whenever it shows or changes it, at about
// half a second per MiB: a page's translation, one line, froze the window
// for seconds. Lines longer than this are therefore held as several blocks,
// each cut after a space; that space is stored as a no-break space, which
// looks the same and reads as a space, and a block ending in one is joined to
// the next without a break when the box's text is read or copied.
constexpr qsizetype kBlockChars = 16 * 1024;
// A cut after a sentence end is looked for in the last quarter of a block.
constexpr qsizetype kSentenceSearch = kBlockChars / 4;
constexpr QChar kJoin(QChar::Nbsp);
// Set on a box's document once a line was cut; only then can a no-break
// space at a block end be a join (a pasted text may hold one of its own).
constexpr char kHoldsJoins[] = "verzHoldsJoins";

// A join as raw text shows it: the no-break space, then the block separator.
QString joinInRawText()
{
    return QString(kJoin) + QChar(QChar::ParagraphSeparator);
}

bool holdsJoins(const QPlainTextEdit &box)
{
    return box.document()->property(kHoldsJoins).toBool();
}

// What QTextDocument::toPlainText makes of raw text, the joins left out.
QString plainFromRaw(QString raw)
{
    raw.replace(joinInRawText(), QString(kJoin));
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

// Where the block starting at `from` in `line` (no line feed in it) ends: one
// past the space it is cut after, or the line's end when it is short enough
// or holds no space to cut at.
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
    qsizetype space = line.lastIndexOf(QLatin1Char(' '), last);
    if (space < from)
        space = line.indexOf(QLatin1Char(' '), last);
    // A space ending the line needs no cut: the line ends there.
    return space < 0 || space == line.size() - 1 ? line.size() : space + 1;
}

void insertLine(QTextCursor &end, QStringView line)
{
    qsizetype from = 0;
    for (qsizetype to = blockEnd(line, from); to < line.size(); to = blockEnd(line, from)) {
        end.insertText(line.sliced(from, to - 1 - from).toString() + kJoin);
        end.insertBlock();
        from = to;
    }
    end.insertText(line.sliced(from).toString());
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
    box.document()->setProperty(kHoldsJoins, false);
    box.setPlainText(ToLineFeeds(text));
}

void AppendBoxText(QPlainTextEdit &box, const QString &text)
{
    const QString lines = ToLineFeeds(text);
    QTextDocument &document = *box.document();
    QTextCursor end(&document);
    end.movePosition(QTextCursor::End);
    // One edit: one change signal and one undo step, as a single insertion gives.
    end.beginEditBlock();
    for (qsizetype from = 0;;) {
        qsizetype lineEnd = lines.indexOf(QLatin1Char('\n'), from);
        if (lineEnd < 0)
            lineEnd = lines.size();
        if (lineEnd - from > kBlockChars)
            document.setProperty(kHoldsJoins, true);
        insertLine(end, QStringView(lines).sliced(from, lineEnd - from));
        if (lineEnd == lines.size())
            break;
        end.insertBlock();
        from = lineEnd + 1;
    }
    end.endEditBlock();
}

qsizetype BoxTextLength(const QPlainTextEdit &box)
{
    // Every block ends in a separator, the last one included; in the box's
    // text each break between blocks is CR LF, and a join is none.
    const QTextDocument &document = *box.document();
    const qsizetype separators = document.blockCount() - 1;
    qsizetype breaks = separators;
    if (holdsJoins(box)) {
        for (QTextBlock block = document.firstBlock(); block.next().isValid();
             block = block.next()) {
            if (block.length() > 1 &&
                document.characterAt(block.position() + block.length() - 2) == kJoin)
                --breaks;
        }
    }
    return document.characterCount() - 1 - separators + 2 * breaks;
}

QString JoinedSelectionText(const QPlainTextEdit &box, const QString &selected)
{
    if (!holdsJoins(box) || !selected.contains(joinInRawText()))
        return QString();
    return plainFromRaw(selected);
}

}  // namespace verz
