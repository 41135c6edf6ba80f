#include "engine/page_reader.h"

#include <QByteArrayView>

namespace verz {

namespace {

// Windows-1252 for 0x80..0x9F; the five bytes the code page leaves undefined
// keep their C1 code point, as the desktop's own conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = QChar(code >= 0x80 && code < 0xA0 ? kCp1252High[code - 0x80] : char16_t(code));
    }
    return text;
}

// The page read as one line, the way the translation is cut from it: every
// line end (CR, LF or CR LF) with the spaces after it is one space. (The text
// as a whole would also start with a space; only positions relative to the
// marker matter, so that space is left out.) This works on the bytes: CR, LF
// and space are single bytes in UTF-8 and in Windows-1252 alike and never part
// of a longer sequence, and the page is never copied whole.
struct JoinedBytes {
    const char *in;
    const char *end;
    bool lineStart;

    // The next byte of the joined text, or -1 at its end.
    int next()
    {
        while (in != end) {
            const char c = *in++;
            if (c == '\r' || c == '\n') {
                if (c == '\r' && in != end && *in == '\n')
                    ++in;
                lineStart = true;
                return in != end ? ' ' : -1;
            }
            if (lineStart && c == ' ')
                continue;
            lineStart = false;
            return static_cast<unsigned char>(c);
        }
        return -1;
    }
};

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Byte offset just past the first "id=result_box dir=" of the joined page, or
// -1. Only its one space can come from a line end.
qsizetype findMarkerEnd(QByteArrayView page)
{
    static constexpr QByteArrayView head("id=result_box");
    static constexpr QByteArrayView tail("dir=");
    for (qsizetype at = page.indexOf(head); at >= 0; at = page.indexOf(head, at + 1)) {
        qsizetype p = at + head.size();
        if (p < page.size() && page[p] == ' ') {
            ++p;
        } else if (p < page.size() && isLineEnd(page[p])) {
            p += page[p] == '\r' && p + 1 < page.size() && page[p + 1] == '\n' ? 2 : 1;
            while (p < page.size() && page[p] == ' ')
                ++p;
        } else {
            continue;
        }
        if (page.sliced(p).startsWith(tail))
            return p + tail.size();
    }
    return -1;
}

// The joined text of the bytes [from, to), starting in the given state; the
// bytes at `to` are known not to be the page's end.
QByteArray joinedSlice(QByteArrayView page, qsizetype from, qsizetype to, bool lineStart)
{
    QByteArray joined(to - from, Qt::Uninitialized);
    char *out = joined.data();
    for (qsizetype p = from; p < to;) {
        const char c = page[p++];
        if (isLineEnd(c)) {
            if (c == '\r' && p < to && page[p] == '\n')
                ++p;
            *out++ = ' ';
            lineStart = true;
        } else if (!(lineStart && c == ' ')) {
            *out++ = c;
            lineStart = false;
        }
    }
    joined.truncate(out - joined.constData());
    return joined;
}

// The text after the marker and the six characters closing its tag
// (`"ltr">`) up to the next "</div>". Marker and "</div>" are ASCII and are
// found in the bytes; only the cut is joined and decoded.
QString cutResultBox(const QByteArray &page)
{
    static constexpr QByteArrayView closing("</div>");
    const qsizetype markerEnd = findMarkerEnd(page);
    if (markerEnd < 0)
        return {};
    const bool utf8 = page.isValidUtf8();

    // Six 16-bit characters: a character beyond the BMP counts two, and a
    // count that ends inside one takes it whole, so the cut never begins with
    // half a character.
    JoinedBytes reader{page.constData() + markerEnd, page.constData() + page.size(), false};
    for (int counted = 0; counted < 6;) {
        const int b = reader.next();
        if (b < 0)
            return {};
        if (!utf8)
            ++counted;
        else if ((b & 0xC0) != 0x80)
            counted += b >= 0xF0 ? 2 : 1;
    }
    while (utf8 && reader.in != reader.end && (*reader.in & 0xC0) == 0x80)
        ++reader.in;

    const qsizetype start = reader.in - page.constData();
    const qsizetype endAt = page.indexOf(closing, start);
    if (endAt < 0)
        return {};
    const QByteArray cut = joinedSlice(page, start, endAt, reader.lineStart);
    return utf8 ? QString::fromUtf8(cut) : decodeWindows1252(cut);
}

int digitValue(char16_t c, int base)
{
    int value = -1;
    if (c >= u'0' && c <= u'9')
        value = c - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c - u'A' + 10;
    return value < base ? value : -1;
}

// The code point of a numeric reference body ("#233", "#xE9"), or -1 when it
// is not one or names no character.
char32_t numericReference(QStringView body)
{
    constexpr char32_t kNone = char32_t(-1);
    if (body.size() < 2 || body[0] != u'#')
        return kNone;
    const bool hex = body[1] == u'x' || body[1] == u'X';
    const int base = hex ? 16 : 10;
    const QStringView digits = body.mid(hex ? 2 : 1);
    if (digits.isEmpty() || digits.size() > 8)
        return kNone;
    char32_t value = 0;
    for (const QChar digit : digits) {
        const int d = digitValue(digit.unicode(), base);
        if (d < 0)
            return kNone;
        value = value * char32_t(base) + char32_t(d);
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return kNone;
    return value;
}

char32_t entityValue(QStringView body)
{
    if (body == u"amp")
        return U'&';
    if (body == u"lt")
        return U'<';
    if (body == u"gt")
        return U'>';
    if (body == u"quot")
        return U'"';
    if (body == u"apos")
        return U'\'';
    // A translation is one line: a line end written as a reference is a
    // space, like the line ends of the page itself.
    const char32_t code = numericReference(body);
    return code == U'\r' || code == U'\n' ? U' ' : code;
}

// One left-to-right pass: decoded text is never looked at again, so "&amp;lt;"
// gives "&lt;". Unknown entities stay as they are.
QString decodeEntities(const QString &text)
{
    constexpr qsizetype kLongestBody = 10;  // "#x10FFFF" and a little slack
    QString out;
    out.reserve(text.size());
    const QStringView view(text);
    qsizetype copied = 0;
    qsizetype amp = view.indexOf(u'&');
    while (amp >= 0) {
        // Looking no further than the longest entity keeps a text full of
        // bare "&" linear.
        const qsizetype semicolon = view.mid(amp + 1, kLongestBody + 1).indexOf(u';');
        if (semicolon >= 0) {
            const char32_t code = entityValue(view.mid(amp + 1, semicolon));
            if (code != char32_t(-1)) {
                out.append(view.mid(copied, amp - copied));
                const auto units = QChar::fromUcs4(code);
                out.append(QStringView(units));
                copied = amp + 1 + semicolon + 1;
                amp = view.indexOf(u'&', copied);
                continue;
            }
        }
        amp = view.indexOf(u'&', amp + 1);
    }
    out.append(view.mid(copied));
    return out;
}

}  // namespace

QString ExtractTranslation(const QByteArray &page)
{
    QString translation = cutResultBox(page);
    if (translation.isEmpty())
        return translation;
    translation = decodeEntities(translation);
    translation.replace(QChar(0x2026), QStringLiteral("..."));
    return translation;
}

QString AppendTranslation(const QString &previous, const QString &translation)
{
    if (previous.isEmpty())
        return translation + QLatin1Char(' ');
    return previous + QStringLiteral("\r\n") + translation + QLatin1Char(' ');
}

}  // namespace verz
