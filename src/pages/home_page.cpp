#include "pages/home_page.h"

#include "common/html_escape.h"
#include "common/languages.h"
#include "detect/detected_pair.h"
#include "detect/language_detector.h"
#include "pages/result_page.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLocale>

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

QByteArray ReadResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("home page resource %s missing", qUtf8Printable(path));
    return file.readAll();
}

// The window's colours: navy face, white writing, navy translation on white,
// pale yellow for notes; its fonts by name, with the metric twins Debian
// ships for machines without them.
const QByteArray &Style()
{
    static const QByteArray style = ReadResource(QStringLiteral(":/home_page/home_page.css"));
    return style;
}

// Translates through the program's own address and reads the result box out
// of the page; the address bar then holds the same query the form would send.
const QByteArray &Script()
{
    static const QByteArray script = ReadResource(QStringLiteral(":/home_page/home_page.js"));
    return script;
}

// The page's content security policy allows these bytes and no others.
QByteArray Sha256Source(const QByteArray &source)
{
    return "'sha256-" + QCryptographicHash::hash(source, QCryptographicHash::Sha256).toBase64() +
           "'";
}

QString TooLongMessage()
{
    return QStringLiteral("Texte trop long : %1 caractères au plus. "
                          "Raccourcissez-le ou traduisez-le en plusieurs fois.")
        .arg(QLocale(QLocale::French).toString(kHomeTextLimit));
}

QString BadTextMessage()
{
    return QStringLiteral("Texte illisible : la page attend de l'UTF-8.");
}

QString UnofferedPairMessage()
{
    return QStringLiteral("Choisissez une des douze paires de langues proposées.");
}

QString UndetectedMessage()
{
    return QStringLiteral("Langue non reconnue : choisissez la paire de langues.");
}

bool IsOffered(const QString &langpair)
{
    for (const OfferedPair &pair : OfferedPairs()) {
        if (pair.code() == langpair)
            return true;
    }
    return false;
}

QByteArray Attribute(const QString &value)
{
    return '"' + HtmlEscaped(value).toUtf8() + '"';
}

// The twelve pairs as radio buttons, one checked.
QByteArray PairChoices(const QString &checked)
{
    QByteArray choices;
    for (const OfferedPair &pair : OfferedPairs()) {
        choices += pair.startsGroup ? "<label class=\"group\">" : "<label>";
        choices += "<input type=\"radio\" name=\"langpair\" value=\"";
        choices += pair.code().toUtf8();
        choices += pair.code() == checked ? "\" checked> " : "\"> ";
        choices += pair.label().toUtf8();
        choices += "</label>\n";
    }
    return choices;
}

// Without the script a plain form, answered with the file itself; with it,
// progress while it works, then the download.
QByteArray DocumentForm()
{
    QByteArray form =
        "<h2>Traduire un document</h2>\n"
        "<form id=\"docform\" method=\"post\" action=\"/translate_doc\" "
        "enctype=\"multipart/form-data\" data-working=" +
        Attribute(QStringLiteral("Traduction en cours…")) +
        " data-ready=" + Attribute(QStringLiteral("Télécharger")) +
        " data-unavailable=" + Attribute(ApyDownMessage()) +
        ">\n<fieldset class=\"file\"><legend>Document</legend>\n"
        "<input type=\"file\" id=\"file\" name=\"file\" required aria-label=\"Document à "
        "traduire\" accept=\".txt,.htm,.html,.rtf,.odt,.odp,.docx,.pptx,.xlsx\">\n"
        "<p>Texte, HTML, RTF, odt, odp, docx, pptx ou xlsx, 10 Mio au plus : la mise en forme "
        "est gardée.</p></fieldset>\n"
        "<fieldset class=\"pairs\"><legend>Paire de langues</legend>\n";
    form += PairChoices(QStringLiteral("fr|en"));
    form += "</fieldset>\n<div class=\"go\"><button type=\"submit\" id=\"translatedoc\">"
            "Traduire le document</button>\n<progress id=\"progress\" hidden></progress>\n"
            "<p id=\"docmessage\" role=\"alert\" hidden></p></div>\n</form>\n";
    return form;
}

}  // namespace

QString ApyDownMessage()
{
    return QStringLiteral("Service de traduction indisponible pour le moment. "
                          "Réessayez dans un instant.");
}

HomeRequest ReadHomeRequest(const QByteArray &given)
{
    HomeRequest request;
    if (given.isEmpty())
        return request;
    QByteArray rawQuery = given;
    // « Détecter la langue » without the script: the detected pair goes in
    // front, where the first occurrence of a field wins, and the page comes
    // back with that pair chosen.
    const auto asked = QueryField(given, u"langpair");
    const auto text = QueryField(given, u"text");
    if (std::holds_alternative<QString>(asked) && std::get<QString>(asked) == u"auto" &&
        std::holds_alternative<QString>(text)) {
        const QString code = PreferredPairFor(DetectLanguage(std::get<QString>(text)).code);
        if (code.isEmpty()) {
            request.view.text = std::get<QString>(text);
            request.view.message = UndetectedMessage();
            return request;
        }
        rawQuery = "langpair=" + QUrl::toPercentEncoding(code) + '&' + given;
    }
    const auto parsed = ParseTranslateQuery(rawQuery);
    if (const QueryError *error = std::get_if<QueryError>(&parsed)) {
        // Only a hand-made address gets here; the form always sends both fields.
        if (*error == QueryError::BadEncoding) {
            request.view.message = BadTextMessage();
            request.status = Status::BadRequest;
        } else if (*error != QueryError::MissingText) {
            request.view.message = UnofferedPairMessage();
        }
        return request;
    }
    const TranslateQuery &query = std::get<TranslateQuery>(parsed);
    request.view.text = query.text;
    request.view.langpair = query.source + QLatin1Char('|') + query.target;
    if (!IsOffered(request.view.langpair)) {
        request.view.message = UnofferedPairMessage();
        return request;
    }
    // The form sends line ends as CR LF where the box counted one.
    if (query.text.size() - query.text.count(u"\r\n") > kHomeTextLimit) {
        request.view.message = TooLongMessage();
        return request;
    }
    request.query = query;
    return request;
}

QByteArray HomePage(const HomeView &view)
{
    QByteArray page;
    page.reserve(8192 + (view.text.size() + view.translation.size()) * 2);
    page += "<!DOCTYPE html>\n<html lang=\"fr\"><head><meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<title>Verzolan</title>\n<style>";
    page += Style();
    page += "</style>\n</head>\n<body>\n<main>\n<h1>Verzolan</h1>\n"
            "<form id=\"form\" method=\"post\" action=\"/\" accept-charset=\"utf-8\" "
            "data-address-limit=\"" +
            QByteArray::number(kHomeAddressLimit) + "\" data-limit=\"";
    page += QByteArray::number(kHomeTextLimit);
    page += "\" data-too-long=" + Attribute(TooLongMessage());
    page += " data-unavailable=" + Attribute(ApyDownMessage());
    page += " data-bad-text=" + Attribute(BadTextMessage());
    page += " data-undetected=" + Attribute(UndetectedMessage());
    page += ">\n<fieldset class=\"text\"><legend>Texte à traduire</legend>\n"
            "<textarea id=\"text\" name=\"text\" rows=\"5\" aria-label=\"Texte à traduire\" "
            "placeholder=\"Tapez ici votre texte.\" autofocus maxlength=\"";
    page += QByteArray::number(kHomeTextLimit + 1);
    page += "\">";
    // A line break right after the tag would be dropped by the parser.
    if (view.text.startsWith(QLatin1Char('\n')) || view.text.startsWith(QLatin1Char('\r')))
        page += '\n';
    page += HtmlEscaped(view.text).toUtf8();
    page +=
        "</textarea>\n</fieldset>\n<fieldset class=\"pairs\"><legend>Paire de langues</legend>\n";
    page += "<label class=\"group\"><input type=\"radio\" name=\"langpair\" value=\"auto\"> "
            "Détecter la langue</label>\n";
    page += PairChoices(view.langpair);
    page += "</fieldset>\n<div class=\"go\"><button type=\"submit\" id=\"translate\">Traduire"
            "</button>\n<p id=\"message\" role=\"alert\"";
    if (view.message.isEmpty())
        page += " hidden";
    page += '>' + HtmlEscaped(view.message).toUtf8();
    page += "</p></div>\n<fieldset class=\"out\"><legend>Traduction</legend>"
            "<output id=\"translation\" for=\"text\" aria-live=\"polite\">";
    page += HtmlEscaped(view.translation).toUtf8();
    page += "</output><p id=\"engine\"";
    if (view.answeredBy.isEmpty())
        page += " hidden";
    page += '>';
    if (!view.answeredBy.isEmpty())
        page += "Moteur : " + HtmlEscaped(view.answeredBy).toUtf8();
    page += "</p></fieldset>\n</form>\n";
    page += DocumentForm();
    page += "</main>\n<script>";
    page += Script();
    page += "</script>\n</body></html>\n";
    return page;
}

void WriteHomePage(HttpResponder &responder, const QByteArray &page, Status status)
{
    static const QByteArray policy = "default-src 'none'; script-src " + Sha256Source(Script()) +
                                     "; style-src " + Sha256Source(Style()) +
                                     "; connect-src 'self'; form-action 'self'; base-uri 'none'; "
                                     "frame-ancestors 'none'";
    responder.write(
        page,
        {{QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/html; charset=utf-8")},
         {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")},
         {QByteArrayLiteral("Content-Security-Policy"), policy},
         {QByteArrayLiteral("X-Content-Type-Options"), QByteArrayLiteral("nosniff")},
         {QByteArrayLiteral("Referrer-Policy"), QByteArrayLiteral("no-referrer")}},
        status);
}

}  // namespace verz
