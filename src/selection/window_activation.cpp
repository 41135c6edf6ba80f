#include "selection/window_activation.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>

namespace verz {

namespace {

constexpr int kCallTimeoutMs = 3000;

QString TokenOf(const QVariantMap &platformData)
{
    // Bounded: it only travels on to the compositor.
    constexpr qsizetype kMaxToken = 256;
    const QString token = platformData.value(QStringLiteral("activation-token")).toString();
    return token.size() <= kMaxToken ? token : QString();
}

}  // namespace

ApplicationAdaptor::ApplicationAdaptor(FrontBringer bringer, QObject *parent)
    : QDBusAbstractAdaptor(parent), bringer_(std::move(bringer))
{
}

void ApplicationAdaptor::Activate(const QVariantMap &platformData)
{
    bringer_(TokenOf(platformData));
}

void ApplicationAdaptor::Open(const QStringList &, const QVariantMap &platformData)
{
    bringer_(TokenOf(platformData));
}

void ApplicationAdaptor::ActivateAction(const QString &, const QVariantList &,
                                        const QVariantMap &platformData)
{
    bringer_(TokenOf(platformData));
}

bool ActivateRunningWindow()
{
    if (!QGuiApplication::platformName().startsWith(u"wayland"))
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromUtf16(kBusName), QString::fromUtf16(kBusPath),
        QStringLiteral("org.freedesktop.Application"), QStringLiteral("Activate"));
    QVariantMap platformData;
    const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty())
        platformData.insert(QStringLiteral("activation-token"), token);
    call << platformData;
    call.setAutoStartService(false);
    return bus.call(call, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

}  // namespace verz
