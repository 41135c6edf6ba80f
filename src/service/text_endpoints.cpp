#include "service/text_endpoints.h"

#include "http/request_gate.h"
#include "pages/home_page.h"
#include "pages/result_page.h"
#include "pages/translate_query.h"
#include "service/detect_endpoint.h"
#include "service/document_endpoint.h"

#include <QTemporaryFile>

#include <memory>
#include <utility>

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

// The home page's script names what answered from kAnsweredByHeader.
void WritePage(HttpResponder &responder, const QByteArray &page, Status status,
               const QString &answeredBy)
{
    HttpResponder::HeaderList headers{
        {QByteArrayLiteral("Content-Type"), QByteArrayLiteral("text/html; charset=utf-8")},
        {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}};
    if (!answeredBy.isEmpty())
        headers.append({QByteArray(kAnsweredByHeader), answeredBy.toUtf8()});
    responder.write(page, headers, status);
}

// The fields of a GET's address, or of a POST's url-encoded form: the same syntax.
QByteArray FormOrQuery(const HttpRequest &request)
{
    if (request.body)
        return request.body->readAll();
    return request.url().query(QUrl::FullyEncoded).toLatin1();
}

const char *QueryErrorText(QueryError error)
{
    switch (error) {
    case QueryError::MissingText:
        return "Missing text";
    case QueryError::MissingLangpair:
        return "Missing langpair";
    case QueryError::MalformedLangpair:
        return "Malformed langpair, use e.g. en|fr";
    case QueryError::UnknownLanguage:
        return "Unknown language in langpair";
    case QueryError::BadEncoding:
        return "Bad percent-encoding or not UTF-8";
    }
    return "Bad request";
}

// A warm-up's query, "langpair=xx|yy", read by ParseTranslateQuery's rules;
// any text in it is dropped, and none is needed.
std::variant<TranslateQuery, QueryError> ParseWarmQuery(const QByteArray &rawQuery)
{
    // The first occurrence of a key wins: a text of the query's own is read
    // (and its encoding checked) before this empty one.
    auto parsed = ParseTranslateQuery(rawQuery + "&text=");
    if (auto *query = std::get_if<TranslateQuery>(&parsed))
        query->text.clear();
    return parsed;
}

// Asks the translator for the query's translation and writes the answer
// through write once it is known, while the client still waits for it. The
// connection holds its next request back until then.
void Answer(Translator &translator, const TranslateQuery &query, HttpResponder &&responder,
            std::function<void(HttpResponder &, const Translator::Result &)> write)
{
    auto pending = std::make_shared<HttpResponder>(std::move(responder));
    translator.translate(
        query,
        [answer = std::weak_ptr<HttpResponder>(pending)] {
            const std::shared_ptr<HttpResponder> responder = answer.lock();
            return responder && responder->clientConnected();
        },
        [pending, write = std::move(write)](const Translator::Result &result) mutable {
            if (pending && pending->clientConnected())
                write(*pending, result);
            pending.reset();
        });
}

}  // namespace

TextEndpoints::TextEndpoints(Options options, QObject *parent)
    : QObject(parent),
      http_(new HttpServer({{options.headTimeoutMs, options.idleTimeoutMs}, options.maxConnections},
                           this)),
      translator_(new Translator(options.translator, this)),
      documents_(new DocumentEndpoint(*translator_, options.documents, this))
{
    // The server has checked the method, the host and that no body came.
    http_->route(QStringLiteral("/translate_t"),
                 [this](const HttpRequest &request, HttpResponder &&responder) {
                     handleTranslate(request, std::move(responder));
                 });
    http_->route(QStringLiteral("/warm"),
                 [this](const HttpRequest &request, HttpResponder &&responder) {
                     handleWarm(request, std::move(responder));
                 });
    InstallDetectEndpoint(*http_);
    http_->route(QStringLiteral("/"),
                 [this](const HttpRequest &request, HttpResponder &&responder) {
                     handleHome(request, std::move(responder));
                 });
    // Texts too long for an address come as forms (the home page's script and
    // its plain form), read within the same rules as a document but their cap.
    UploadRules forms = documents_->uploadRules();
    forms.maxBytes = kHomeFormLimit;
    forms.tooLargeText = "Texte trop long pour le formulaire.";
    http_->routeUpload(QStringLiteral("/translate_t"), forms,
                       [this](const HttpRequest &request, HttpResponder &&responder) {
                           handleTranslate(request, std::move(responder));
                       });
    http_->routeUpload(QStringLiteral("/"), forms,
                       [this](const HttpRequest &request, HttpResponder &&responder) {
                           handleHome(request, std::move(responder));
                       });
    connect(documents_, &DocumentEndpoint::arrived, this, &TextEndpoints::requestArrived);
    connect(documents_, &DocumentEndpoint::answered, this, &TextEndpoints::documentAnswered);
    http_->routeUpload(QStringLiteral("/translate_doc"), documents_->uploadRules(),
                       [this](const HttpRequest &request, HttpResponder &&responder) {
                           documents_->handle(request, std::move(responder));
                       });
    http_->setMissingHandler([](const HttpRequest &, HttpResponder &&responder) {
        responder.writeText("Not found", Status::NotFound);
    });
}

TextEndpoints::~TextEndpoints()
{
    // Connections first (no request comes in while the rest goes), then the
    // documents, which ask the translator, then the translator. The answers
    // still owed go with their work as 500s to nobody, reported to the
    // answer observer, which must outlive this.
    delete http_;
    delete documents_;
    delete translator_;
}

int TextEndpoints::answersOwed() const
{
    return translator_->answersOwed() + documents_->owed();
}

bool TextEndpoints::listen(const QHostAddress &address, quint16 port)
{
    return http_->listen(address, port);
}

bool TextEndpoints::adoptListeningSocket(qintptr descriptor)
{
    return http_->setSocketDescriptor(descriptor);
}

quint16 TextEndpoints::port() const
{
    return http_->serverPort();
}

QAbstractSocket::SocketError TextEndpoints::listenError() const
{
    return http_->serverError();
}

void TextEndpoints::handleTranslate(const HttpRequest &request, HttpResponder &&responder)
{
    Q_EMIT requestArrived();
    const QByteArray rawQuery = FormOrQuery(request);
    if (!request.body && rawQuery.size() > kMaxRequestLine) {
        responder.writeText("Request too long", Status::UriTooLong);
        return;
    }
    const auto parsed = ParseTranslateQuery(rawQuery);
    if (const QueryError *error = std::get_if<QueryError>(&parsed)) {
        responder.writeText(QueryErrorText(*error), Status::BadRequest);
        return;
    }
    Answer(*translator_, std::get<TranslateQuery>(parsed), std::move(responder),
           [](HttpResponder &out, const Translator::Result &result) {
               if (result.ok)
                   WritePage(out, ResultPage(result.text), Status::Ok, result.answeredBy);
               else
                   out.writeText(result.error.toUtf8(), Status::ServiceUnavailable);
           });
}

void TextEndpoints::handleHome(const HttpRequest &request, HttpResponder &&responder)
{
    Q_EMIT requestArrived();
    const HomeRequest home = ReadHomeRequest(FormOrQuery(request));
    if (!home.query) {
        WriteHomePage(responder, HomePage(home.view), home.status);
        return;
    }
    Answer(*translator_, *home.query, std::move(responder),
           [view = home.view](HttpResponder &out, const Translator::Result &result) mutable {
               if (result.ok) {
                   view.translation = result.text;
                   view.answeredBy = result.answeredBy;
               } else {
                   view.message = ApyDownMessage();
               }
               WriteHomePage(out, HomePage(view),
                             result.ok ? Status::Ok : Status::ServiceUnavailable);
           });
}

// Answered before anything starts: the window never waits on it.
void TextEndpoints::handleWarm(const HttpRequest &request, HttpResponder &&responder)
{
    // Counts as use, like a translation: the idle timers start again, a
    // sleeping APy wakes.
    Q_EMIT requestArrived();
    const auto parsed = ParseWarmQuery(request.url().query(QUrl::FullyEncoded).toLatin1());
    if (const QueryError *error = std::get_if<QueryError>(&parsed)) {
        // Not logged: a window sends it again at each choice of a pair.
        responder.writeText(QueryErrorText(*error), Status::BadRequest);
        return;
    }
    responder.write({}, {{QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}},
                    Status::NoContent);
    const TranslateQuery &pair = std::get<TranslateQuery>(parsed);
    translator_->warm(pair.source, pair.target);
}

}  // namespace verz
