#include "service/page_builder.h"

#include "service/languages.h"

namespace verz {

QString HtmlEscaped(const QString &text)
{
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
            out += u"&quot;";
            break;
        case u'\'':
            out += u"&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray ResultPage(const QString &translation)
{
    QByteArray page;
    page.reserve(translation.size() * 2 + 256);
    page += "<!DOCTYPE html>\n<html lang=\"fr\"><head><meta charset=\"utf-8\">"
            "<title>Verzolan</title></head>\n<body>\n<div id=result_box dir=\"ltr\">";
    page += HtmlEscaped(translation).toUtf8();
    page += "</div>\n</body></html>\n";
    return page;
}

QString UnavailablePairText(const QString &sourceCode, const QString &targetCode)
{
    const Language *source = LanguageByCode(sourceCode);
    const Language *target = LanguageByCode(targetCode);
    const QString from = source ? source->frenchName : sourceCode;
    const QString to = target ? target->frenchName : targetCode;
    return from + QStringLiteral(" vers ") + to +
           QStringLiteral(" : paire non disponible hors ligne");
}

}  // namespace verz
