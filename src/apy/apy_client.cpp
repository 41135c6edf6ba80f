#include "apy/apy_client.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrlQuery>

namespace verz {

namespace {

// Each manager keeps at most six connections to one host.
constexpr int kManagerCount = 4;

QByteArray FormValue(const QString &value)
{
    return QUrl::toPercentEncoding(value);
}

// Runs the reply to its end, or aborts it at the deadline; finished() comes
// either way, and then exactly once.
void WatchReply(QNetworkReply *reply, int timeoutMs, std::function<void(QNetworkReply *)> done)
{
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline->start(timeoutMs);
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, done = std::move(done)] {
        done(reply);
        reply->deleteLater();
    });
}

}  // namespace

ApyClient::Result ParseApyTranslation(int httpStatus, const QByteArray &body)
{
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    const QJsonValue text = answer.value(u"responseData").toObject().value(u"translatedText");
    if (httpStatus != 200 || answer.value(u"responseStatus").toInt() != 200 || !text.isString()) {
        QString why = answer.value(u"explanation").toString();
        if (why.isEmpty())
            why = answer.value(u"responseDetails").toString();
        return {false,
                {},
                QStringLiteral("APy answered %1 %2").arg(httpStatus).arg(why),
                httpStatus >= 500 || httpStatus == 0};
    }
    return {true, text.toString(), {}, false};
}

ApyClient::ApyClient(QObject *parent) : QObject(parent)
{
    for (int i = 0; i < kManagerCount; ++i) {
        auto *manager = new QNetworkAccessManager(this);
        manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        managers_.append(manager);
    }
}

ApyClient::~ApyClient() = default;

void ApyClient::setBaseUrl(const QUrl &base)
{
    base_ = base;
}

QNetworkAccessManager *ApyClient::nextManager()
{
    next_ = (next_ + 1) % managers_.size();
    return managers_.at(next_);
}

QNetworkRequest ApyClient::request(const QString &path) const
{
    QUrl url = base_;
    url.setPath(base_.path() + path);
    QNetworkRequest request(url);
    if (!accessKey_.isEmpty())
        request.setRawHeader(kApyKeyHeader, accessKey_);
    return request;
}

void ApyClient::translate(const QString &langpair, const QString &html, int timeoutMs,
                          Callback done)
{
    if (!hasBaseUrl()) {
        QTimer::singleShot(0, this, [done = std::move(done)] {
            done({false, {}, QStringLiteral("APy is not running"), true});
        });
        return;
    }
    QNetworkRequest post = request(QStringLiteral("/translate"));
    post.setHeader(QNetworkRequest::ContentTypeHeader,
                   QByteArrayLiteral("application/x-www-form-urlencoded"));
    // HTML in (APy's default), so that block boundaries hold.
    const bool marked = langpair.endsWith(kMarkUnknownSuffix);
    const QString pair = marked ? langpair.chopped(kMarkUnknownSuffix.size()) : langpair;
    const QByteArray form = "langpair=" + FormValue(pair) + "&q=" + FormValue(html) +
                            (marked ? "&markUnknown=yes" : "&markUnknown=no");
    QNetworkReply *reply = nextManager()->post(post, form);
    WatchReply(reply, timeoutMs, [done = std::move(done)](QNetworkReply *r) {
        if (r->error() != QNetworkReply::NoError &&
            r->error() < QNetworkReply::ContentAccessDenied) {
            done({false, {}, r->errorString(), true});
            return;
        }
        const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        done(ParseApyTranslation(status, r->readAll()));
    });
}

void ApyClient::listPairs(int timeoutMs, std::function<void(bool, const QByteArray &)> done)
{
    if (!hasBaseUrl()) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(false, {}); });
        return;
    }
    QNetworkReply *reply = nextManager()->get(request(QStringLiteral("/listPairs")));
    WatchReply(reply, timeoutMs, [done = std::move(done)](QNetworkReply *r) {
        const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool ok = r->error() == QNetworkReply::NoError && status == 200;
        done(ok, ok ? r->readAll() : QByteArray());
    });
}

}  // namespace verz
