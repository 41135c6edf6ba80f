#pragma once

#include <QByteArray>
#include <QString>

#include <variant>

namespace verz {

// What a /translate_t query asks for, once it has been read strictly.
struct TranslateQuery {
    QString text;
    QString source;  // two-letter codes as the program sends them
    QString target;
};

enum class QueryError {
    MissingText,
    MissingLangpair,
    MalformedLangpair,
    UnknownLanguage,
    BadEncoding,  // a broken %XX escape or bytes that are not UTF-8
};

// Reads the query part of the address as the program sends it
// ("text=<percent-encoded UTF-8>&langpair=xx|yy", the bar possibly as %7C).
// "+" counts as a space, as in form encoding; the first occurrence of a key wins.
std::variant<TranslateQuery, QueryError> ParseTranslateQuery(const QByteArray &rawQuery);

// One field of a query ("q" of /detect) by the same rules: the first
// occurrence, "+" as a space, strict UTF-8; MissingText when it is absent.
std::variant<QString, QueryError> QueryField(const QByteArray &rawQuery, QStringView key);

// Strict %XX decoding: nullopt-like empty result and ok=false on a "%" that is
// not followed by two hex digits.
QByteArray PercentDecodeStrict(const QByteArray &encoded, bool *ok);

}  // namespace verz
