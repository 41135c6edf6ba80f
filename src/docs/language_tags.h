#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace verz {

// The language a translation is tagged with, so the office program checks
// its spelling and hyphenates it as the language it now is: "fr" → "fr-FR".
QString LanguageTagFor(const QString &target);

// One zipped document's member with its language tags set to target (a
// two-letter code): OpenDocument's fo:language, fo:country and
// style:rfc-language-tag in styles and content, dc:language in the meta data;
// Word's w:lang w:val and the theme's font language; PowerPoint's lang.
// The East Asian and complex-script languages (style:language-asian,
// w:eastAsia, w:bidi, altLang) say what the text in those scripts is and are
// left as they are. Members that hold no tags come back unchanged.
QByteArray RetagMember(const QString &member, QByteArrayView bytes, const QString &target);

// An HTML page's own language: the html element's lang and xml:lang, added
// when it has none.
QByteArray RetagHtml(QByteArrayView html, const QString &target);

}  // namespace verz
