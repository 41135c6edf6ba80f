#include "docs/markup_pieces.h"

#include <QList>

#include <cctype>
#include <utility>

namespace verz {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool StartsWithNoCase(QByteArrayView text, qsizetype at, QByteArrayView word)
{
    return at + word.size() <= text.size() &&
           text.sliced(at, word.size()).toByteArray().toLower() == word;
}

// The end of the tag that starts at at ('<'): just past its '>', quoted ones skipped;
// -1 when it never closes.
qsizetype TagEnd(QByteArrayView text, qsizetype at)
{
    char quote = 0;
    for (qsizetype i = at + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return -1;
}

// The marks: the attribute tells a break from a carriage return.
constexpr QByteArrayView kBreakMark = "<w:p w:rsidR=\"00B2EA01\">";
constexpr QByteArrayView kReturnMark = "<w:p w:rsidR=\"00B2EA02\">";

}  // namespace

QByteArray TightenTagEnds(QByteArrayView html)
{
    QByteArray out;
    out.reserve(html.size());
    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype lt = html.indexOf('<', i);
        if (lt < 0) {
            out += html.sliced(i);
            break;
        }
        out += html.sliced(i, lt - i);
        if (html.sliced(lt).startsWith("<!--")) {
            const qsizetype close = html.indexOf("-->", lt + 4);
            const qsizetype end = close < 0 ? html.size() : close + 3;
            out += html.sliced(lt, end - lt);
            i = end;
            continue;
        }
        const bool isTag =
            lt + 1 < html.size() && (std::isalpha(quint8(html[lt + 1])) || html[lt + 1] == '/');
        const qsizetype end = isTag ? TagEnd(html, lt) : -1;
        if (end < 0) {
            out += '<';
            i = lt + 1;
            continue;
        }
        qsizetype last = end - 1;  // the '>'
        qsizetype keep = last;
        while (keep > lt + 1 && IsSpace(html[keep - 1]))
            --keep;
        if (keep > lt + 1 && html[keep - 1] == '/')
            keep = last;  // "<br />": the space before "/>" is not the fault
        out += html.sliced(lt, keep - lt);
        out += '>';
        i = end;
        // A script's or style's content is no markup: copied to its end tag.
        for (const QByteArrayView raw : {QByteArrayView("<script"), QByteArrayView("<style")}) {
            if (StartsWithNoCase(html, lt, raw) &&
                (IsSpace(html[lt + raw.size()]) || html[lt + raw.size()] == '>')) {
                const QByteArray closer = "</" + raw.sliced(1).toByteArray();
                qsizetype close = i;
                while (close < html.size() && !StartsWithNoCase(html, close, closer))
                    close = html.indexOf('<', close + 1) < 0 ? html.size()
                                                             : html.indexOf('<', close + 1);
                out += html.sliced(i, close - i);
                i = close;
            }
        }
    }
    return out;
}

QByteArray SplitLineBreaks(QByteArrayView xml)
{
    QByteArray out;
    out.reserve(xml.size() + xml.size() / 16);
    QList<QByteArray> open;    // names of the elements we are in
    QByteArray runProperties;  // of the innermost run
    qsizetype i = 0;
    while (i < xml.size()) {
        const qsizetype lt = xml.indexOf('<', i);
        if (lt < 0) {
            out += xml.sliced(i);
            break;
        }
        out += xml.sliced(i, lt - i);
        const qsizetype end = TagEnd(xml, lt);
        if (end < 0) {
            out += xml.sliced(lt);
            break;
        }
        const QByteArrayView tag = xml.sliced(lt, end - lt);
        i = end;
        if (tag.startsWith("<?") || tag.startsWith("<!")) {
            out += tag;
            continue;
        }
        qsizetype nameEnd = tag.startsWith("</") ? 2 : 1;
        while (nameEnd < tag.size() && !IsSpace(tag[nameEnd]) && tag[nameEnd] != '>' &&
               tag[nameEnd] != '/')
            ++nameEnd;
        const QByteArray name =
            tag.sliced(tag.startsWith("</") ? 2 : 1, nameEnd - (tag.startsWith("</") ? 2 : 1))
                .toByteArray();
        const bool closing = tag.startsWith("</");
        const bool empty = tag.endsWith("/>");
        const bool plainBreak = tag == "<w:br/>" || tag == "<w:cr/>";
        if (plainBreak && open.size() >= 2 && open.last() == "w:r" &&
            open.at(open.size() - 2) == "w:p") {
            out += "</w:r></w:p>";
            out += tag == "<w:br/>" ? kBreakMark : kReturnMark;
            out += "<w:r>" + runProperties;
            continue;
        }
        out += tag;
        if (closing) {
            if (!open.isEmpty() && open.last() == name)
                open.removeLast();
        } else if (!empty) {
            open.append(name);
            if (name == "w:r") {
                runProperties.clear();
            } else if (name == "w:rPr" && open.size() >= 2 && open.at(open.size() - 2) == "w:r") {
                // Kept whole for the run reopened after a break.
                const qsizetype close = xml.indexOf("</w:rPr>", i);
                if (close >= 0) {
                    runProperties = xml.sliced(lt, close + 8 - lt).toByteArray();
                    out += xml.sliced(i, close + 8 - i);
                    i = close + 8;
                    open.removeLast();
                }
            }
        }
    }
    return out;
}

QByteArray JoinLineBreaks(QByteArrayView xml)
{
    QByteArray out = xml.toByteArray();
    for (const auto &[mark, tag] : {std::pair{kBreakMark, QByteArrayView("<w:br/>")},
                                    std::pair{kReturnMark, QByteArrayView("<w:cr/>")}}) {
        const QByteArray seam = "</w:r></w:p>" + mark.toByteArray() + "<w:r>";
        qsizetype at = 0;
        while ((at = out.indexOf(seam, at)) >= 0) {
            qsizetype end = at + seam.size();
            // The run properties copied before the converter go with the seam.
            if (QByteArrayView(out).sliced(end).startsWith("<w:rPr>")) {
                const qsizetype close = out.indexOf("</w:rPr>", end);
                if (close >= 0)
                    end = close + 8;
            }
            out.replace(at, end - at, tag.toByteArray());
            at += tag.size();
        }
    }
    return out;
}

}  // namespace verz
