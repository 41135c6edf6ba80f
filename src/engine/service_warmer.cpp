#include "engine/service_warmer.h"

#include "engine/service_starter.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <utility>

namespace verz {

ServiceWarmer::ServiceWarmer(QString serviceHost, std::shared_ptr<ServiceStarter> starter)
    : serviceHost_(std::move(serviceHost)), starter_(std::move(starter))
{
}

ServiceWarmer::~ServiceWarmer()
{
    *alive_ = false;
}

void ServiceWarmer::warm(const QString &pairCode)
{
    if (!pairCode.isEmpty())
        send(pairCode, true);
}

void ServiceWarmer::send(const QString &pairCode, bool mayStart)
{
    if (!network_)
        network_ = std::make_unique<QNetworkAccessManager>();
    const QUrl url(QStringLiteral("http://") + serviceHost_ + QStringLiteral("/warm?langpair=") +
                       QString::fromLatin1(QUrl::toPercentEncoding(pairCode)),
                   QUrl::StrictMode);
    QNetworkRequest request(url);
    request.setTransferTimeout(kTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = network_->get(request);
    QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply, pairCode, mayStart] {
        reply->deleteLater();
        // Only a refusal means nothing is there; anything else (an answer of
        // any kind, a program that holds the port and never answers) is left
        // for the click to meet.
        if (!mayStart || !starter_ || reply->error() != QNetworkReply::ConnectionRefusedError)
            return;
        starter_->start([this, alive = alive_, pairCode](bool listening) {
            if (listening && *alive)
                send(pairCode, false);
        });
    });
}

bool WarmUpWanted()
{
    const QByteArray off = qgetenv("VERZOLAN_NO_WARM_UP");
    return off.isEmpty() || off == "0";
}

}  // namespace verz
