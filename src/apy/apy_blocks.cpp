#include "apy/apy_blocks.h"

#include "common/html_escape.h"

namespace verz {

namespace {

constexpr qsizetype kTagCost = 7;  // "<p>" and "</p>"

qsizetype CharCost(QChar c)
{
    switch (c.unicode()) {
    case u'&':
        return 5;  // &amp;
    case u'<':
    case u'>':
        return 4;  // &lt; &gt;
    default:
        if (c.unicode() < 0x80)
            return 1;
        // A surrogate pair is four bytes, two for each half.
        return c.unicode() < 0x800 || c.isSurrogate() ? 2 : 3;
    }
}

bool IsSentenceEnd(QChar c)
{
    return c == u'.' || c == u'!' || c == u'?' || c == u'…';
}

bool IsClosing(QChar c)
{
    return c == u'"' || c == u'\'' || c == u'»' || c == u')' || c == u']' || c == u'”' || c == u'’';
}

// Whether the text just before `at` ends a sentence, closing quotes aside.
bool EndsSentence(const QString &text, qsizetype from, qsizetype at)
{
    while (at > from && IsClosing(text.at(at - 1)))
        --at;
    return at > from && IsSentenceEnd(text.at(at - 1));
}

// Where the piece starting at `from` should end, given that it may not go
// past `limit`: after the last sentence end (and the spaces that follow it),
// else after the last line end, else after the last space, else at the limit.
qsizetype CutPoint(const QString &text, qsizetype from, qsizetype limit)
{
    qsizetype sentence = -1, line = -1, space = -1, runStart = -1;
    for (qsizetype i = from; i < limit; ++i) {
        const QChar c = text.at(i);
        if (!c.isSpace()) {
            runStart = -1;
            continue;
        }
        if (runStart < 0)
            runStart = i;
        // Spaces stay with the piece before them, so the next one starts on a word.
        const qsizetype after = i + 1;
        if (c == u'\n')
            line = after;
        space = after;
        if (EndsSentence(text, from, runStart))
            sentence = after;
    }
    if (sentence > from)
        return sentence;
    if (line > from)
        return line;
    if (space > from)
        return space;
    // One unbroken run longer than a call: cut it, but never inside a
    // surrogate pair.
    if (limit > from + 1 && text.at(limit - 1).isHighSurrogate())
        return limit - 1;
    return limit;
}

int EntityValue(QStringView name)
{
    if (name == u"amp")
        return '&';
    if (name == u"lt")
        return '<';
    if (name == u"gt")
        return '>';
    if (name == u"quot")
        return '"';
    if (name == u"apos")
        return '\'';
    if (name.startsWith(u"#x") || name.startsWith(u"#X")) {
        bool ok = false;
        const uint value = name.mid(2).toUInt(&ok, 16);
        return ok && value > 0 && value <= 0x10FFFF ? int(value) : -1;
    }
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint value = name.mid(1).toUInt(&ok, 10);
        return ok && value > 0 && value <= 0x10FFFF ? int(value) : -1;
    }
    return -1;
}

QString Unescaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'&') {
            const qsizetype end = text.indexOf(u';', i + 1);
            if (end > i && end - i <= 10) {
                const int value = EntityValue(text.mid(i + 1, end - i - 1));
                if (value > 0) {
                    const char32_t code = char32_t(value);
                    out += QString::fromUcs4(&code, 1);
                    i = end;
                    continue;
                }
            }
        }
        out += c;
    }
    return out;
}

}  // namespace

qsizetype BlockCost(const QString &text)
{
    qsizetype cost = kTagCost;
    for (QChar c : text)
        cost += CharCost(c);
    return cost;
}

QString BlocksQuery(const QStringList &texts)
{
    QString query;
    for (const QString &text : texts) {
        query += u"<p>";
        query += HtmlEscaped(text, EscapeQuotes::No);
        query += u"</p>";
    }
    return query;
}

std::optional<QStringList> SplitBlocks(const QString &answer, qsizetype expected)
{
    QStringList texts;
    qsizetype at = 0;
    const QStringView open = u"<p>", close = u"</p>";
    while (true) {
        // APy may put spaces or line ends between blocks; nothing else.
        while (at < answer.size() && answer.at(at).isSpace())
            ++at;
        if (at == answer.size())
            break;
        if (!QStringView(answer).mid(at).startsWith(open))
            return std::nullopt;
        at += open.size();
        const qsizetype end = answer.indexOf(close, at);
        if (end < 0 || answer.indexOf(u'<', at) < end)
            return std::nullopt;
        texts.append(Unescaped(QStringView(answer).mid(at, end - at)));
        at = end + close.size();
    }
    if (texts.size() != expected)
        return std::nullopt;
    return texts;
}

QStringList CutIntoBlocks(const QString &text, qsizetype maxCost)
{
    QStringList pieces;
    qsizetype from = 0;
    while (from < text.size()) {
        // The furthest end whose cost still fits.
        qsizetype cost = kTagCost, limit = from;
        while (limit < text.size() && cost + CharCost(text.at(limit)) <= maxCost)
            cost += CharCost(text.at(limit++));
        const qsizetype end = limit == text.size() ? limit : CutPoint(text, from, limit);
        pieces.append(text.mid(from, std::max(end, from + 1) - from));
        from = std::max(end, from + 1);
    }
    return pieces;
}

}  // namespace verz
