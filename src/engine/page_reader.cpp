#include "engine/page_reader.h"

#include <QStringDecoder>

namespace verz {

namespace {

// Windows-1252 for 0x80..0x9F; the five bytes the code page leaves undefined
// keep their C1 code point, as the desktop's own conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodePage(const QByteArray &page)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(page);
    if (!utf8.hasError())
        return text;
    text.resize(page.size());
    QChar *out = text.data();
    for (const char byte : page) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = QChar(code >= 0x80 && code < 0xA0 ? kCp1252High[code - 0x80] : char16_t(code));
    }
    return text;
}

// The page as one line: it starts with a space, and every line end (CR, LF or
// CR LF) with the spaces after it becomes one space. Spaces at the very start
// go as well, so positions agree with the item-by-item reading of old.
QString joinLines(const QString &text)
{
    QString joined;
    if (text.isEmpty())
        return joined;
    joined.reserve(text.size() + 1);
    joined.append(QLatin1Char(' '));
    const qsizetype size = text.size();
    const QChar *chars = text.constData();
    bool lineStart = true;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = chars[i].unicode();
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < size && chars[i + 1] == u'\n')
                ++i;
            if (i + 1 < size)
                joined.append(QLatin1Char(' '));
            lineStart = true;
        } else if (lineStart && c == u' ') {
            continue;
        } else {
            joined.append(chars[i]);
            lineStart = false;
        }
    }
    return joined;
}

QString cutResultBox(const QString &page)
{
    static const QString marker = QStringLiteral("id=result_box dir=");
    static const QString end = QStringLiteral("</div>");
    const qsizetype markerAt = page.indexOf(marker);
    if (markerAt < 0)
        return {};
    // The marker and the six characters closing its tag (`"ltr">`).
    const qsizetype start = markerAt + marker.size() + 6;
    if (start > page.size())
        return {};
    const qsizetype endAt = page.indexOf(end, start);
    if (endAt < 0)
        return {};
    return page.mid(start, endAt - start);
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
    return numericReference(body);
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
        const qsizetype semicolon = view.indexOf(u';', amp + 1);
        if (semicolon < 0)
            break;
        if (semicolon - amp - 1 <= kLongestBody) {
            const char32_t code = entityValue(view.mid(amp + 1, semicolon - amp - 1));
            if (code != char32_t(-1)) {
                out.append(view.mid(copied, amp - copied));
                const auto units = QChar::fromUcs4(code);
                out.append(QStringView(units));
                copied = semicolon + 1;
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
    QString translation = cutResultBox(joinLines(decodePage(page)));
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
