#include "e2e/portal_stand_in.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QTimer>
#include <QUrl>

namespace verz::e2e {

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kScreenshot = QStringLiteral("org.freedesktop.portal.Screenshot");

QString ConnectionName()
{
    static int made = 0;
    return QStringLiteral("portal-stand-in-%1").arg(++made);
}

}  // namespace

PortalStandIn::PortalStandIn(const QString &address)
    : bus_(QDBusConnection::connectToBus(address, ConnectionName()))
{
    ready_ = bus_.isConnected() &&
             bus_.registerVirtualObject(kPath, this, QDBusConnection::SingleNode) &&
             bus_.interface()
                     ->registerService(QStringLiteral("org.freedesktop.portal.Desktop"))
                     .value() == QDBusConnectionInterface::ServiceRegistered;
}

PortalStandIn::~PortalStandIn()
{
    bus_.unregisterObject(kPath);
    QDBusConnection::disconnectFromBus(bus_.name());
}

QString PortalStandIn::introspect(const QString &) const
{
    return QStringLiteral(
        "<interface name=\"org.freedesktop.portal.GlobalShortcuts\">"
        "<method name=\"CreateSession\"><arg type=\"a{sv}\" direction=\"in\"/>"
        "<arg type=\"o\" direction=\"out\"/></method>"
        "<method name=\"BindShortcuts\"><arg type=\"o\" direction=\"in\"/>"
        "<arg type=\"a(sa{sv})\" direction=\"in\"/><arg type=\"s\" direction=\"in\"/>"
        "<arg type=\"a{sv}\" direction=\"in\"/><arg type=\"o\" direction=\"out\"/></method>"
        "<signal name=\"Activated\"><arg type=\"o\"/><arg type=\"s\"/><arg type=\"t\"/>"
        "<arg type=\"a{sv}\"/></signal></interface>"
        "<interface name=\"org.freedesktop.portal.Screenshot\">"
        "<method name=\"Screenshot\"><arg type=\"s\" direction=\"in\"/>"
        "<arg type=\"a{sv}\" direction=\"in\"/><arg type=\"o\" direction=\"out\"/></method>"
        "</interface>");
}

QString PortalStandIn::requestPath(const QDBusMessage &message, const QVariantMap &options)
{
    QString sender = message.service().mid(1);
    sender.replace(u'.', u'_');
    const QString token =
        options.value(QStringLiteral("handle_token"), QStringLiteral("t%1").arg(calls_.size()))
            .toString();
    return kPath + QStringLiteral("/request/") + sender + u'/' + token;
}

void PortalStandIn::respond(const QString &request, uint code, const QVariantMap &results)
{
    // After the method's reply, as a portal answers once the user has.
    QTimer::singleShot(20, [this, request, code, results] {
        QDBusMessage response = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << code << results;
        bus_.send(response);
    });
}

bool PortalStandIn::handleMessage(const QDBusMessage &message, const QDBusConnection &)
{
    const QList<QVariant> arguments = message.arguments();
    if (message.interface() == kScreenshot && message.signature() == u"sa{sv}") {
        const QVariantMap options = qdbus_cast<QVariantMap>(arguments.at(1));
        calls_.append(QStringLiteral("Screenshot interactive=") +
                      options.value(QStringLiteral("interactive")).toString());
        const QString request = requestPath(message, options);
        bus_.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        // A new file for each capture, as a portal saves one.
        lastCapture_ = screenshot_ + QStringLiteral(".capture-%1.png").arg(calls_.size());
        QFile::copy(screenshot_, lastCapture_);
        respond(request, refusing_ ? 1 : 0,
                {{QStringLiteral("uri"), QUrl::fromLocalFile(lastCapture_).toString()}});
        return true;
    }
    if (message.interface() != kInterface)
        return false;
    calls_.append(message.member());
    if (message.member() == u"CreateSession" && message.signature() == u"a{sv}") {
        const QVariantMap options = qdbus_cast<QVariantMap>(arguments.at(0));
        const QString request = requestPath(message, options);
        session_ = kPath + QStringLiteral("/session/") + request.section(u'/', -2, -2) + u'/' +
                   options.value(QStringLiteral("session_handle_token")).toString();
        bus_.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        respond(request, refusing_ ? 1 : 0,
                {{QStringLiteral("session_handle"), QVariant::fromValue(session_)}});
        return true;
    }
    if (message.member() == u"BindShortcuts" && message.signature() == u"oa(sa{sv})sa{sv}") {
        const QDBusArgument shortcuts = arguments.at(1).value<QDBusArgument>();
        shortcuts.beginArray();
        while (!shortcuts.atEnd()) {
            QString id;
            QVariantMap properties;
            shortcuts.beginStructure();
            shortcuts >> id >> properties;
            shortcuts.endStructure();
            boundIds_.append(id);
            bound_.append(id + u'=' +
                          properties.value(QStringLiteral("preferred_trigger")).toString() +
                          QStringLiteral(" (") +
                          properties.value(QStringLiteral("description")).toString() + u')');
        }
        shortcuts.endArray();
        const bool known = arguments.at(0).value<QDBusObjectPath>().path() == session_;
        const QString request = requestPath(message, qdbus_cast<QVariantMap>(arguments.at(3)));
        bus_.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        respond(request, known && !refusing_ ? 0 : 2, {});
        return true;
    }
    bus_.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                                       message.member()));
    return true;
}

void PortalStandIn::activate(const QString &id)
{
    if (boundIds_.contains(id)) {
        QDBusMessage activated =
            QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("Activated"));
        activated << QVariant::fromValue(QDBusObjectPath(session_)) << id << qulonglong(1)
                  << QVariantMap();
        bus_.send(activated);
    }
}

}  // namespace verz::e2e
