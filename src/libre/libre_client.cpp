#include "libre/libre_client.h"

#include "libre/libre_languages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

namespace verz {

namespace {

LibreFault FaultOfStatus(int status)
{
    if (status >= 300 && status < 400)
        return LibreFault::Redirected;
    if (status == 403)
        return LibreFault::KeyRefused;
    if (status == 429)
        return LibreFault::RateLimited;
    if (status >= 400 && status < 500)
        return LibreFault::BadRequest;
    return LibreFault::ServerError;
}

}  // namespace

LibreAnswer ReadLibreTranslation(int httpStatus, const QByteArray &body, qsizetype count,
                                 bool asList)
{
    LibreAnswer answer;
    answer.httpStatus = httpStatus;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    const bool json = error.error == QJsonParseError::NoError && document.isObject();
    if (json)
        answer.serverError = document.object().value(u"error").toString();
    if (httpStatus != 200) {
        answer.fault = FaultOfStatus(httpStatus);
        return answer;
    }
    if (!json) {
        answer.fault = LibreFault::NotJson;
        return answer;
    }
    const QJsonValue translated = document.object().value(u"translatedText");
    if (!asList) {
        if (!translated.isString() || count != 1)
            answer.fault = LibreFault::NoTranslation;
        else
            answer.texts.append(translated.toString());
        return answer;
    }
    if (!translated.isArray()) {
        answer.fault = LibreFault::NoTranslation;
        return answer;
    }
    const QJsonArray list = translated.toArray();
    if (list.size() < count) {
        answer.fault = LibreFault::ShortList;
        return answer;
    }
    // A longer list cannot be matched to the texts either.
    if (list.size() > count) {
        answer.fault = LibreFault::NoTranslation;
        return answer;
    }
    for (const QJsonValue text : list) {
        if (!text.isString()) {
            answer.fault = LibreFault::NoTranslation;
            answer.texts.clear();
            return answer;
        }
        answer.texts.append(text.toString());
    }
    return answer;
}

LibreClient::LibreClient(const QUrl &base, const QByteArray &apiKey, QObject *parent)
    : QObject(parent), base_(base), apiKey_(apiKey), network_(new QNetworkAccessManager(this))
{
    network_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

LibreClient::~LibreClient() = default;

QUrl LibreClient::endpoint(const QString &path) const
{
    QUrl url = base_;
    QString basePath = base_.path();
    if (basePath.endsWith(QLatin1Char('/')))
        basePath.chop(1);
    url.setPath(basePath + path);
    return url;
}

void LibreClient::exchange(const QString &path, const QByteArray *jsonBody, int timeoutMs,
                           std::function<void(LibreFault, int, const QByteArray &)> done)
{
    QNetworkRequest request(endpoint(path));
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("verzolan-service"));
    request.setRawHeader("Accept", "application/json");
    QNetworkReply *reply = nullptr;
    if (jsonBody) {
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/json"));
        reply = network_->post(request, *jsonBody);
    } else {
        reply = network_->get(request);
    }
    struct Watch {
        QByteArray body;
        LibreFault cut = LibreFault::None;  // why we aborted it, if we did
    };
    auto watch = std::make_shared<Watch>();
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, [reply, watch] {
        watch->cut = LibreFault::Timeout;
        reply->abort();
    });
    deadline->start(std::max(timeoutMs, 1));
    // Read as it comes, so that a flood is stopped at the cap, not after it;
    // one announced as bigger is not read at all.
    auto tooBig = [reply, watch] {
        const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (watch->cut != LibreFault::None ||
            (length <= kMaxLibreAnswer && watch->body.size() <= kMaxLibreAnswer))
            return false;
        watch->cut = LibreFault::TooBig;
        watch->body.clear();
        reply->abort();
        return true;
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, tooBig);
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, watch, tooBig] {
        if (watch->cut == LibreFault::None && !tooBig()) {
            watch->body += reply->readAll();
            tooBig();
        }
    });
    QObject::connect(
        reply, &QNetworkReply::finished, reply, [reply, watch, done = std::move(done)] {
            reply->deleteLater();
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            if (watch->cut != LibreFault::None) {
                done(watch->cut, status, {});
                return;
            }
            watch->body += reply->readAll();
            if (watch->body.size() > kMaxLibreAnswer) {
                done(LibreFault::TooBig, status, {});
                return;
            }
            // An HTTP error status is an answer to read; no status at all is not.
            if (status == 0) {
                done(LibreFault::Unreachable, 0, {});
                return;
            }
            done(LibreFault::None, status, watch->body);
        });
}

void LibreClient::languages(int timeoutMs,
                            std::function<void(LibreFault, const QSet<QString> &)> done)
{
    exchange(QStringLiteral("/languages"), nullptr, timeoutMs,
             [done = std::move(done)](LibreFault fault, int status, const QByteArray &body) {
                 if (fault != LibreFault::None) {
                     done(fault, {});
                     return;
                 }
                 if (status != 200) {
                     done(ReadLibreTranslation(status, body, 0, false).fault, {});
                     return;
                 }
                 const std::optional<QSet<QString>> pairs = ParseLibreLanguages(body);
                 done(pairs ? LibreFault::None : LibreFault::NotJson,
                      pairs.value_or(QSet<QString>()));
             });
}

void LibreClient::translate(const QString &source, const QString &target, const QStringList &texts,
                            const QString &format, int timeoutMs,
                            std::function<void(const LibreAnswer &)> done)
{
    const bool asList = texts.size() != 1;
    QJsonObject call{{QStringLiteral("source"), source},
                     {QStringLiteral("target"), target},
                     {QStringLiteral("format"), format}};
    call.insert(QStringLiteral("q"),
                asList ? QJsonValue(QJsonArray::fromStringList(texts)) : QJsonValue(texts.front()));
    if (!apiKey_.isEmpty())
        call.insert(QStringLiteral("api_key"), QString::fromUtf8(apiKey_));
    const QByteArray body = QJsonDocument(call).toJson(QJsonDocument::Compact);
    const qsizetype count = texts.size();
    exchange(QStringLiteral("/translate"), &body, timeoutMs,
             [done = std::move(done), count, asList](LibreFault fault, int status,
                                                     const QByteArray &answer) {
                 if (fault != LibreFault::None) {
                     LibreAnswer failed;
                     failed.fault = fault;
                     failed.httpStatus = status;
                     done(failed);
                     return;
                 }
                 done(ReadLibreTranslation(status, answer, count, asList));
             });
}

}  // namespace verz
