#include "pages/result_page.h"

#include "common/html_escape.h"
#include "common/languages.h"

namespace verz {

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
