#pragma once

#include "stand_in_server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace verz::test {

// A LibreTranslate server as its API is published, on a StandInServer:
// GET /languages lists en, fr and de, each translating to the other two and
// en to es; POST /translate answers "[de>fr] text" for each text of q (a
// string, or a list answered as a list), and checks api_key when key is set.
// mode makes it misbehave in one of the ways a real server or proxy can.
class LibreStandIn {
public:
    enum class Mode {
        Translate,
        Html,           // 200 with a proxy's HTML page
        NoTranslation,  // JSON without translatedText
        ShortList,      // a list q answered with one translation too few
        Huge,           // 10 MiB of JSON
        Redirect,       // 302 to another host
        Hang,           // reads the request, never answers
        RateLimited,    // 429
        ServerError,    // 500
    };

    explicit LibreStandIn(QByteArray key = {}) : key_(std::move(key))
    {
        StandInServer::Script json;
        json.contentType = QByteArrayLiteral("application/json");
        json.body =
            QByteArrayLiteral(R"([{"code":"en","name":"English","targets":["de","es","fr"]},)"
                              R"({"code":"fr","name":"French","targets":["de","en"]},)"
                              R"({"code":"de","name":"German","targets":["en","fr"]}])");
        server.setRoute(QByteArrayLiteral("/languages"), json);
        server.setRoute(QByteArrayLiteral("/translate"), json,
                        [this](const StandInServer::Received &request,
                               StandInServer::Script &answer) { compose(request, answer); });
    }

    QUrl url() const { return server.root(); }
    // The JSON bodies of every /translate call, in order.
    QList<QJsonObject> calls;

    StandInServer server;
    Mode mode = Mode::Translate;
    int delayMs = 0;

private:
    static QJsonValue Translated(const QString &pair, const QJsonValue &q, bool shortList)
    {
        if (q.isString())
            return QStringLiteral("[%1] %2").arg(pair, q.toString());
        QJsonArray out;
        const QJsonArray texts = q.toArray();
        for (qsizetype i = 0; i < texts.size() - (shortList ? 1 : 0); ++i)
            out.append(QStringLiteral("[%1] %2").arg(pair, texts.at(i).toString()));
        return out;
    }

    void compose(const StandInServer::Received &request, StandInServer::Script &answer)
    {
        const QJsonObject call = QJsonDocument::fromJson(request.body).object();
        calls.append(call);
        answer.delayMs = delayMs;
        auto error = [&](int status, const char *text) {
            answer.status = status;
            answer.body = QJsonDocument(QJsonObject{{QStringLiteral("error"), QLatin1String(text)}})
                              .toJson(QJsonDocument::Compact);
        };
        if (!key_.isEmpty() && call.value(u"api_key").toString().toUtf8() != key_)
            return error(403, "Invalid API key");
        const QString pair =
            call.value(u"source").toString() + u'>' + call.value(u"target").toString();
        switch (mode) {
        case Mode::Translate:
        case Mode::ShortList:
            answer.body =
                QJsonDocument(
                    QJsonObject{{QStringLiteral("translatedText"),
                                 Translated(pair, call.value(u"q"), mode == Mode::ShortList)}})
                    .toJson(QJsonDocument::Compact);
            return;
        case Mode::Html:
            answer.contentType = QByteArrayLiteral("text/html");
            answer.body = QByteArrayLiteral("<html><body>Bad Gateway</body></html>");
            return;
        case Mode::NoTranslation:
            answer.body = QByteArrayLiteral(R"({"detectedLanguage":{"language":"de"}})");
            return;
        case Mode::Huge:
            answer.body = R"({"translatedText":")" + QByteArray(10 * 1024 * 1024, 'a') + R"("})";
            return;
        case Mode::Redirect:
            answer.status = 302;
            answer.location = QByteArrayLiteral("http://translate.invalid/translate");
            return;
        case Mode::Hang:
            answer.hang = true;
            return;
        case Mode::RateLimited:
            return error(429, "Too many request limits violations");
        case Mode::ServerError:
            return error(500, "Cannot translate text");
        }
    }

    QByteArray key_;
};

}  // namespace verz::test
