#include "pages/translate_query.h"

#include "common/languages.h"

#include <QList>
#include <QStringDecoder>

#include <optional>

namespace verz {

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<QString> DecodeComponent(const QByteArray &encoded)
{
    QByteArray spaced = encoded;
    spaced.replace('+', ' ');
    bool ok = false;
    const QByteArray bytes = PercentDecodeStrict(spaced, &ok);
    if (!ok)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

bool IsLowerAlpha(const QString &code)
{
    for (QChar c : code) {
        if (c < u'a' || c > u'z')
            return false;
    }
    return !code.isEmpty();
}

}  // namespace

QByteArray PercentDecodeStrict(const QByteArray &encoded, bool *ok)
{
    QByteArray out;
    out.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded.at(i);
        if (c != '%') {
            out.append(c);
            continue;
        }
        const int high = i + 1 < encoded.size() ? HexValue(encoded.at(i + 1)) : -1;
        const int low = i + 2 < encoded.size() ? HexValue(encoded.at(i + 2)) : -1;
        if (high < 0 || low < 0) {
            *ok = false;
            return {};
        }
        out.append(char(high * 16 + low));
        i += 2;
    }
    *ok = true;
    return out;
}

std::variant<TranslateQuery, QueryError> ParseTranslateQuery(const QByteArray &rawQuery)
{
    std::optional<QString> text;
    std::optional<QString> langpair;
    for (const QByteArray &field : rawQuery.split('&')) {
        const qsizetype equals = field.indexOf('=');
        const std::optional<QString> key =
            DecodeComponent(field.left(equals < 0 ? field.size() : equals));
        const std::optional<QString> value =
            DecodeComponent(equals < 0 ? QByteArray() : field.mid(equals + 1));
        if (!key || !value)
            return QueryError::BadEncoding;
        if (*key == u"text" && !text)
            text = *value;
        else if (*key == u"langpair" && !langpair)
            langpair = *value;
    }
    if (!text)
        return QueryError::MissingText;
    if (!langpair || langpair->isEmpty())
        return QueryError::MissingLangpair;

    const QStringList codes = langpair->split(QLatin1Char('|'));
    if (codes.size() != 2 || !IsLowerAlpha(codes.at(0)) || !IsLowerAlpha(codes.at(1)))
        return QueryError::MalformedLangpair;
    if (!LanguageByCode(codes.at(0)) || !LanguageByCode(codes.at(1)) || codes.at(0) == codes.at(1))
        return QueryError::UnknownLanguage;
    return TranslateQuery{*text, codes.at(0), codes.at(1)};
}

std::variant<QString, QueryError> QueryField(const QByteArray &rawQuery, QStringView key)
{
    for (const QByteArray &field : rawQuery.split('&')) {
        const qsizetype equals = field.indexOf('=');
        const std::optional<QString> name =
            DecodeComponent(field.left(equals < 0 ? field.size() : equals));
        if (!name)
            return QueryError::BadEncoding;
        if (*name != key)
            continue;
        const std::optional<QString> value =
            DecodeComponent(equals < 0 ? QByteArray() : field.mid(equals + 1));
        if (!value)
            return QueryError::BadEncoding;
        return *value;
    }
    return QueryError::MissingText;
}

}  // namespace verz
