#include "service/home_page.h"

#include "service/languages.h"
#include "service/page_builder.h"

#include <QCryptographicHash>
#include <QLocale>

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

// The window's colours: navy face, white writing, navy translation on white,
// pale yellow for notes; its fonts by name, with the metric twins Debian
// ships for machines without them.
constexpr char kStyle[] = R"(
*{box-sizing:border-box}
html{background:#000080;color:#fff}
body{margin:0;font:16px/1.35 Arial,"Liberation Sans",Helvetica,sans-serif}
main{max-width:60rem;margin:0 auto;padding:1rem}
h1{font:1.9rem "Comic Sans MS","Comic Neue",cursive;margin:0 0 .8rem}
form{display:grid;grid-template-columns:minmax(0,1fr) 16rem;gap:.8rem 1.25rem;align-items:start;
grid-template-areas:"text pairs" "go pairs" "out pairs"}
fieldset{border:1px solid #fff;border-radius:14px;margin:0;padding:.4rem .9rem .9rem;min-width:0}
legend{font-size:.8rem;padding:0 .35rem}
.text{grid-area:text}.pairs{grid-area:pairs}.out{grid-area:out}
.go{grid-area:go;display:flex;flex-wrap:wrap;align-items:center;gap:.8rem}
textarea,output{display:block;width:100%;min-height:8.5rem;margin:0;padding:.3rem .45rem;
background:#fff;border:1px solid #808080;font:1.6rem/1.25 Arial,"Liberation Sans",sans-serif;
white-space:pre-wrap;overflow-wrap:anywhere}
textarea{color:#000;resize:vertical}
output{color:#000080}
.pairs label{display:flex;align-items:center;gap:.5rem;padding:.15rem 0;font-size:.95rem;cursor:pointer}
.pairs label.group{margin-top:.9rem}
.pairs legend+label.group{margin-top:0}
input[type=radio]{accent-color:#fff;margin:0;width:1rem;height:1rem;flex:none}
button{font:1rem Arial,"Liberation Sans",sans-serif;padding:.55rem 1.8rem;background:#e0e0e0;color:#000;
border:1px solid #fff;border-radius:4px;cursor:pointer}
button:disabled{color:#808080;cursor:progress}
:focus-visible{outline:3px solid #ffffc0;outline-offset:2px}
#message{flex:1 1 14rem;margin:0;padding:.6rem .8rem;border-radius:6px;background:#ffffc0;color:#000080;font-weight:bold}
[hidden]{display:none!important}
@media (max-width:600px){
main{padding:.6rem}
form{grid-template-columns:minmax(0,1fr);grid-template-areas:"text" "pairs" "go" "out"}
textarea,output{font-size:1.25rem}
}
)";

// Translates through the program's own address and reads the result box out
// of the page; the address bar then holds the same query the form would send.
constexpr char kScript[] = R"(
(function () {
  var form = document.getElementById('form');
  var text = document.getElementById('text');
  var out = document.getElementById('translation');
  var message = document.getElementById('message');
  var button = document.getElementById('translate');
  function show(translation, problem) {
    out.textContent = translation;
    message.textContent = problem;
    message.hidden = !problem;
  }
  form.addEventListener('submit', function (event) {
    event.preventDefault();
    if (text.value.length > Number(form.dataset.limit)) {
      show('', form.dataset.tooLong);
      return;
    }
    var pair = form.querySelector('input[name=langpair]:checked');
    var query;
    try {
      query = 'text=' + encodeURIComponent(text.value) +
        '&langpair=' + encodeURIComponent(pair ? pair.value : '');
    } catch (broken) {
      show('', form.dataset.badText);
      return;
    }
    button.disabled = true;
    fetch('/translate_t?' + query, {cache: 'no-store'}).then(function (answer) {
      if (answer.status === 413 || answer.status === 414) throw 'long';
      if (!answer.ok) throw 'down';
      return answer.text();
    }).then(function (page) {
      var box = new DOMParser().parseFromString(page, 'text/html').getElementById('result_box');
      if (!box) throw 'down';
      show(box.textContent, '');
      history.replaceState(null, '', '/?' + query);
    }).catch(function (why) {
      show('', why === 'long' ? form.dataset.tooLong : form.dataset.unavailable);
    }).finally(function () {
      button.disabled = false;
    });
  });
})();
)";

QByteArray Sha256Source(const char *source)
{
    return "'sha256-" +
           QCryptographicHash::hash(QByteArray(source), QCryptographicHash::Sha256).toBase64() +
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

}  // namespace

QString EngineDownMessage()
{
    return QStringLiteral("Service de traduction indisponible pour le moment. "
                          "Réessayez dans un instant.");
}

HomeRequest ReadHomeRequest(const QByteArray &rawQuery)
{
    HomeRequest request;
    if (rawQuery.isEmpty())
        return request;
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
    page += kStyle;
    page += "</style>\n</head>\n<body>\n<main>\n<h1>Verzolan</h1>\n"
            "<form id=\"form\" method=\"get\" action=\"/\" accept-charset=\"utf-8\" data-limit=\"";
    page += QByteArray::number(kHomeTextLimit);
    page += "\" data-too-long=" + Attribute(TooLongMessage());
    page += " data-unavailable=" + Attribute(EngineDownMessage());
    page += " data-bad-text=" + Attribute(BadTextMessage());
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
    for (const OfferedPair &pair : OfferedPairs()) {
        page += pair.startsGroup ? "<label class=\"group\">" : "<label>";
        page += "<input type=\"radio\" name=\"langpair\" value=\"";
        page += pair.code().toUtf8();
        page += pair.code() == view.langpair ? "\" checked> " : "\"> ";
        page += pair.label().toUtf8();
        page += "</label>\n";
    }
    page += "</fieldset>\n<div class=\"go\"><button type=\"submit\" id=\"translate\">Traduire"
            "</button>\n<p id=\"message\" role=\"alert\"";
    if (view.message.isEmpty())
        page += " hidden";
    page += '>' + HtmlEscaped(view.message).toUtf8();
    page += "</p></div>\n<fieldset class=\"out\"><legend>Traduction</legend>"
            "<output id=\"translation\" for=\"text\" aria-live=\"polite\">";
    page += HtmlEscaped(view.translation).toUtf8();
    page += "</output></fieldset>\n</form>\n</main>\n<script>";
    page += kScript;
    page += "</script>\n</body></html>\n";
    return page;
}

void WriteHomePage(HttpResponder &responder, const QByteArray &page, Status status)
{
    static const QByteArray policy = "default-src 'none'; script-src " + Sha256Source(kScript) +
                                     "; style-src " + Sha256Source(kStyle) +
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
