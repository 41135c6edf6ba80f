#include "docs/language_tags.h"

#include <QHash>

namespace verz {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Sets attribute to value in every start tag that begins with element ("" for any),
// from the element's name to its '>'; quotes of either kind.
void SetAttribute(QByteArray &xml, QByteArrayView element, QByteArrayView attribute,
                  const QByteArray &value)
{
    const QByteArray opener = element.isEmpty() ? QByteArray("<") : '<' + element.toByteArray();
    qsizetype at = 0;
    while ((at = xml.indexOf(opener, at)) >= 0) {
        qsizetype end = at + opener.size();
        if (!element.isEmpty() && end < xml.size() && !IsSpace(xml[end]) && xml[end] != '/' &&
            xml[end] != '>') {
            at = end;  // <w:language…, not <w:lang
            continue;
        }
        // The tag's end, quoted '>' skipped.
        char quote = 0;
        while (end < xml.size() && (quote || xml[end] != '>')) {
            if (quote && xml[end] == quote)
                quote = 0;
            else if (!quote && (xml[end] == '"' || xml[end] == '\''))
                quote = xml[end];
            ++end;
        }
        qsizetype look = at + opener.size();
        while (look < end) {
            const qsizetype inTag = QByteArrayView(xml).sliced(look, end - look).indexOf(attribute);
            if (inTag < 0)
                break;
            const qsizetype found = look + inTag;
            qsizetype eq = found + attribute.size();
            if (!IsSpace(xml[found - 1]) || eq + 1 >= end || xml[eq] != '=' ||
                (xml[eq + 1] != '"' && xml[eq + 1] != '\'')) {
                look = found + 1;
                continue;
            }
            const char q = xml[eq + 1];
            const qsizetype close = xml.indexOf(q, eq + 2);
            if (close < 0 || close >= end)
                break;
            xml.replace(eq + 2, close - eq - 2, value);
            end += value.size() - (close - eq - 2);
            look = eq + 2 + value.size();
        }
        at = end;
    }
}

// Replaces the text of every <element>…</element>.
void SetElementText(QByteArray &xml, QByteArrayView element, const QByteArray &value)
{
    const QByteArray open = '<' + element.toByteArray() + '>';
    const QByteArray close = "</" + element.toByteArray() + '>';
    qsizetype at = 0;
    while ((at = xml.indexOf(open, at)) >= 0) {
        const qsizetype start = at + open.size();
        const qsizetype end = xml.indexOf(close, start);
        if (end < 0)
            break;
        xml.replace(start, end - start, value);
        at = start + value.size();
    }
}

}  // namespace

QString LanguageTagFor(const QString &target)
{
    static const QHash<QString, QString> kTags = {{QStringLiteral("fr"), QStringLiteral("fr-FR")},
                                                  {QStringLiteral("en"), QStringLiteral("en-GB")},
                                                  {QStringLiteral("es"), QStringLiteral("es-ES")},
                                                  {QStringLiteral("pt"), QStringLiteral("pt-PT")},
                                                  {QStringLiteral("it"), QStringLiteral("it-IT")},
                                                  {QStringLiteral("de"), QStringLiteral("de-DE")}};
    return kTags.value(target, target);
}

QByteArray RetagMember(const QString &member, QByteArrayView bytes, const QString &target)
{
    QByteArray xml = bytes.toByteArray();
    if (!member.endsWith(QLatin1String(".xml")))
        return xml;
    const QString full = LanguageTagFor(target);
    const QByteArray tag = full.toLatin1();
    const QByteArray language = full.section(u'-', 0, 0).toLatin1();
    const QByteArray country = full.section(u'-', 1, 1).toLatin1();
    if (member == QLatin1String("content.xml") || member == QLatin1String("styles.xml")) {
        SetAttribute(xml, {}, "fo:language", language);
        SetAttribute(xml, {}, "fo:country", country);
        SetAttribute(xml, {}, "style:rfc-language-tag", tag);
    } else if (member == QLatin1String("meta.xml") ||
               member == QLatin1String("docProps/core.xml")) {
        SetElementText(xml, "dc:language", tag);
    } else if (member.startsWith(QLatin1String("word/"))) {
        SetAttribute(xml, "w:lang", "w:val", tag);
        SetAttribute(xml, "w:themeFontLang", "w:val", tag);
    } else if (member.startsWith(QLatin1String("ppt/"))) {
        SetAttribute(xml, {}, "lang", tag);
    }
    return xml;
}

QByteArray RetagHtml(QByteArrayView html, const QString &target)
{
    QByteArray page = html.toByteArray();
    const QByteArray language = target.toLatin1();
    // The html element, whatever the case of its name.
    qsizetype at = -1;
    for (qsizetype i = 0; (i = page.indexOf('<', i)) >= 0; ++i) {
        if (i + 5 < page.size() && page.sliced(i + 1, 4).toLower() == "html" &&
            (IsSpace(page[i + 5]) || page[i + 5] == '>')) {
            at = i;
            break;
        }
    }
    if (at < 0)
        return page;
    const qsizetype end = page.indexOf('>', at);
    if (end < 0)
        return page;
    const QByteArray name = page.sliced(at + 1, 4);
    QByteArray head = page.sliced(at, end - at + 1);
    const qsizetype before = head.size();
    SetAttribute(head, name, "lang", language);
    SetAttribute(head, name, "xml:lang", language);
    SetAttribute(head, name, "LANG", language);
    if (head.size() == before && !head.toLower().contains("lang="))
        head.insert(5, " lang=\"" + language + '"');
    page.replace(at, end - at + 1, head);
    return page;
}

}  // namespace verz
