#pragma once

// The page read the plain way: decode all of it (UTF-8, else Windows-1252),
// join its lines, cut on characters, replace entities with a pattern. The
// reader, which works on bytes in one pass, must agree with it.
#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringDecoder>

namespace verz::reference {
namespace detail {

inline QString DecodedPage(const QByteArray &page)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(page);
    if (!utf8.hasError())
        return text;
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString latin;
    for (const char byte : page) {
        const auto code = static_cast<unsigned char>(byte);
        latin.append(QChar(code >= 0x80 && code < 0xA0 ? high[code - 0x80] : char16_t(code)));
    }
    return latin;
}

inline QString JoinedText(const QString &text)
{
    QString joined;
    bool lineStart = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            if (i + 1 < text.size())
                joined.append(u' ');
            lineStart = true;
        } else if (!(lineStart && text[i] == u' ')) {
            joined.append(text[i]);
            lineStart = false;
        }
    }
    return joined;
}

inline QString ReplacedEntities(const QString &cut)
{
    static const QRegularExpression entity(
        QStringLiteral("&(amp|lt|gt|quot|apos|#[0-9]{1,8}|#[xX][0-9A-Fa-f]{1,8});"));
    QString out;
    qsizetype copied = 0;
    for (auto it = entity.globalMatch(cut); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString body = match.captured(1);
        char32_t code = 0;
        if (body == u"amp")
            code = U'&';
        else if (body == u"lt")
            code = U'<';
        else if (body == u"gt")
            code = U'>';
        else if (body == u"quot")
            code = U'"';
        else if (body == u"apos")
            code = U'\'';
        else if (body.size() > 1 && (body[1] == u'x' || body[1] == u'X'))
            code = body.mid(2).toUInt(nullptr, 16);
        else
            code = body.mid(1).toUInt(nullptr, 10);
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            continue;
        if (code == U'\r' || code == U'\n')
            code = U' ';
        out.append(QStringView(cut).mid(copied, match.capturedStart() - copied));
        const auto units = QChar::fromUcs4(code);
        out.append(QStringView(units));
        copied = match.capturedEnd();
    }
    out.append(QStringView(cut).mid(copied));
    return out;
}

}  // namespace detail

inline QString ExtractTranslation(const QByteArray &page)
{
    const QString joined = detail::JoinedText(detail::DecodedPage(page));
    const qsizetype marker = joined.indexOf(u"id=result_box dir=");
    if (marker < 0)
        return {};
    const qsizetype start = marker + 24;
    const qsizetype end = joined.indexOf(u"</div>", start);
    if (start > joined.size() || end < 0)
        return {};
    QString cut = joined.mid(start, end - start);
    // A cut that would begin inside a surrogate pair begins after it.
    if (!cut.isEmpty() && cut[0].isLowSurrogate())
        cut.remove(0, 1);
    return detail::ReplacedEntities(cut).replace(QChar(0x2026), QStringLiteral("..."));
}
}  // namespace verz::reference
