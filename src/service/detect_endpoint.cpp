#include "service/detect_endpoint.h"

#include "detect/language_detector.h"
#include "http/http_server.h"
#include "pages/translate_query.h"

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

void WriteJson(HttpResponder &responder, const QByteArray &json, Status status)
{
    responder.write(
        json + '\n',
        {{QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json; charset=utf-8")},
         {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}},
        status);
}

}  // namespace

QByteArray DetectionJson(const QString &q)
{
    const LanguageGuess guess = DetectLanguage(q);
    if (guess.code.isEmpty())
        return QByteArrayLiteral("[]");
    // Written out rather than through a JSON writer, which drops the ".0"
    // such servers print; the code is one of six fixed ones.
    return "[{\"language\":\"" + guess.code.toLatin1() +
           "\",\"confidence\":" + QByteArray::number(guess.confidence, 'f', 1) + "}]";
}

void InstallDetectEndpoint(HttpServer &http)
{
    http.route(
        QStringLiteral("/detect"), [](const HttpRequest &request, HttpResponder &&responder) {
            const auto q = QueryField(request.url().query(QUrl::FullyEncoded).toLatin1(), u"q");
            if (const QueryError *error = std::get_if<QueryError>(&q)) {
                WriteJson(
                    responder,
                    *error == QueryError::BadEncoding
                        ? QByteArrayLiteral("{\"error\":\"q is not percent-encoded UTF-8\"}")
                        : QByteArrayLiteral("{\"error\":\"Invalid request: missing q parameter\"}"),
                    Status::BadRequest);
                return;
            }
            WriteJson(responder, DetectionJson(std::get<QString>(q)), Status::Ok);
        });
}

}  // namespace verz
