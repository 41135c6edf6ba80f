#include "common/html_escape.h"

namespace verz {

QString HtmlEscaped(QStringView text, EscapeQuotes quotes)
{
    const bool escapeQuotes = quotes == EscapeQuotes::Yes;
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        case u'"':
            out += escapeQuotes ? QStringView(u"&quot;") : QStringView(u"\"");
            break;
        case u'\'':
            out += escapeQuotes ? QStringView(u"&#39;") : QStringView(u"'");
            break;
        default:
            out += c;
        }
    }
    return out;
}

}  // namespace verz
