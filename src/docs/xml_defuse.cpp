#include "docs/xml_defuse.h"

#include <QString>

namespace verz {

namespace {

// Markup declarations all open with "<!": only there is a name compared.
qsizetype FindNoCase(const QByteArray &haystack, QByteArrayView needle, qsizetype from = 0)
{
    for (qsizetype at = haystack.indexOf("<!", from); at >= 0;
         at = haystack.indexOf("<!", at + 1)) {
        if (at + needle.size() <= haystack.size() &&
            QByteArrayView(haystack)
                    .sliced(at, needle.size())
                    .compare(needle, Qt::CaseInsensitive) == 0)
            return at;
    }
    return -1;
}

// The encoding the XML declaration names, lower case; empty when none.
QByteArray DeclaredEncoding(const QByteArray &member)
{
    if (!member.startsWith("<?xml"))
        return {};
    const qsizetype end = member.indexOf("?>");
    const QByteArray head = member.left(end < 0 ? 200 : end).toLower();
    const qsizetype at = head.indexOf("encoding");
    if (at < 0)
        return {};
    qsizetype quote = at + 8;
    while (quote < head.size() &&
           (head[quote] == ' ' || head[quote] == '=' || head[quote] == '\t' ||
            head[quote] == '\r' || head[quote] == '\n'))
        ++quote;
    if (quote >= head.size() || (head[quote] != '"' && head[quote] != '\''))
        return "?";
    const qsizetype close = head.indexOf(head[quote], quote + 1);
    return close < 0 ? QByteArray("?") : head.mid(quote + 1, close - quote - 1);
}

}  // namespace

bool IsXmlMember(const QString &name, const QByteArray &content)
{
    for (const char *suffix : {".xml", ".rels", ".xhtml", ".svg", ".vml", ".xsl", ".rdf"})
        if (name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    QByteArrayView head(content);
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    while (!head.isEmpty() && QByteArrayView(" \t\r\n").contains(head.front()))
        head = head.sliced(1);
    // A byte-order mark of UTF-16 or 32, or a NUL: XML in a wide encoding.
    return head.startsWith("<") || content.startsWith("\xFE\xFF") ||
           content.startsWith("\xFF\xFE") || content.left(4).contains('\0');
}

std::optional<QByteArray> DefuseXml(QByteArray member)
{
    if (member.startsWith("\xEF\xBB\xBF"))
        member.remove(0, 3);
    // In a wide encoding "<!DOCTYPE" is not these bytes: such a member is not looked into.
    if (member.contains('\0') || member.startsWith("\xFE\xFF") || member.startsWith("\xFF\xFE"))
        return std::nullopt;
    const QByteArray encoding = DeclaredEncoding(member);
    if (!encoding.isEmpty() && encoding != "utf-8" && encoding != "utf8" &&
        encoding != "us-ascii" && encoding != "ascii")
        return std::nullopt;
    qsizetype at = FindNoCase(member, "<!DOCTYPE");
    while (at >= 0) {
        // To its closing '>' outside quotes; a '[' before it opens an internal subset.
        char quote = 0;
        qsizetype end = at + 9;
        for (; end < member.size(); ++end) {
            const char c = member[end];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[' || c == '<') {
                return std::nullopt;
            } else if (c == '>') {
                break;
            }
        }
        if (end >= member.size())
            return std::nullopt;
        member.remove(at, end - at + 1);
        // What lay on both sides may join into a declaration of its own.
        at = FindNoCase(member, "<!DOCTYPE", qMax<qsizetype>(0, at - 9));
    }
    if (FindNoCase(member, "<!ENTITY") >= 0)
        return std::nullopt;
    return member;
}

}  // namespace verz
