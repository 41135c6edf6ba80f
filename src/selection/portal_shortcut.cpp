#include "selection/portal_shortcut.h"

#include "selection/selection_bus.h"
#include "selection/session_selection.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QKeySequence>

namespace verz {

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionToken = QStringLiteral("verzolan");
// The portal answers at once, or after asking the user, who may take long;
// the window never waits for it.
constexpr int kCallTimeoutMs = 5000;

// One entry of BindShortcuts' a(sa{sv}).
struct ShortcutEntry {
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const ShortcutEntry &entry)
{
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ShortcutEntry &entry)
{
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

QDBusMessage PortalCall(const QString &method)
{
    return QDBusMessage::createMethodCall(kPortal, kPortalPath, kShortcuts, method);
}

}  // namespace

}  // namespace verz

Q_DECLARE_METATYPE(verz::ShortcutEntry)

namespace verz {

QString PortalTrigger(const QString &keys)
{
    const QKeySequence sequence = QKeySequence::fromString(keys, QKeySequence::PortableText);
    if (sequence.count() != 1)
        return {};
    const int key = sequence[0].key();
    QString name;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        name = QChar(u'a' + (key - Qt::Key_A));
    else if (key >= Qt::Key_0 && key <= Qt::Key_9)
        name = QChar(u'0' + (key - Qt::Key_0));
    else if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        name = QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    else if (key == Qt::Key_Space)
        name = QStringLiteral("space");
    else
        return {};
    const Qt::KeyboardModifiers modifiers = sequence[0].keyboardModifiers();
    QString trigger;
    if (modifiers & Qt::ControlModifier)
        trigger += QStringLiteral("CTRL+");
    if (modifiers & Qt::AltModifier)
        trigger += QStringLiteral("ALT+");
    if (modifiers & Qt::ShiftModifier)
        trigger += QStringLiteral("SHIFT+");
    if (modifiers & Qt::MetaModifier)
        trigger += QStringLiteral("LOGO+");
    return trigger + name;
}

PortalShortcut::PortalShortcut(QList<PortalBinding> bindings, QObject *parent) : QObject(parent)
{
    for (PortalBinding &binding : bindings) {
        const QString wanted = binding.keys.trimmed();
        if (!wanted.isEmpty() && wanted.compare(u"none", Qt::CaseInsensitive) != 0)
            bindings_.append(std::move(binding));
    }
    qDBusRegisterMetaType<ShortcutEntry>();
    qDBusRegisterMetaType<QList<ShortcutEntry>>();
}

void PortalShortcut::giveUp(const QString &why)
{
    SayOnError(QStringLiteral("pas de raccourci global (") + why +
               QStringLiteral(") : associez « Verzolan --selection » et « Verzolan "
                              "--ocr-screen » à des touches dans les réglages du bureau"));
}

QString PortalRequestPath(const QString &token)
{
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace(u'.', u'_');
    return kPortalPath + QStringLiteral("/request/") + sender + u'/' + token;
}

bool PortalShortcut::awaitResponse(const QString &path, const char *slot)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!awaited_.isEmpty())
        bus.disconnect(kPortal, awaited_, kRequest, QStringLiteral("Response"), this, nullptr);
    awaited_ = path;
    return bus.connect(kPortal, path, kRequest, QStringLiteral("Response"), this, slot);
}

void PortalShortcut::bind()
{
    if (bindings_.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        giveUp(QStringLiteral("pas de bus de session"));
        return;
    }
    // A program outside a sandbox is known to the portal by the application
    // id it registers, which must name its installed desktop file. Older
    // portals have no registry: no answer is awaited.
    QDBusMessage registry = QDBusMessage::createMethodCall(
        kPortal, kPortalPath, QStringLiteral("org.freedesktop.host.portal.Registry"),
        QStringLiteral("Register"));
    registry << QString::fromUtf16(kBusName) << QVariantMap();
    bus.send(registry);

    const QString token = QStringLiteral("verzolan_session");
    awaitResponse(PortalRequestPath(token), SLOT(onSessionResponse(uint, QVariantMap)));
    QDBusMessage create = PortalCall(QStringLiteral("CreateSession"));
    create << QVariantMap{{QStringLiteral("handle_token"), token},
                          {QStringLiteral("session_handle_token"), kSessionToken}};
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(create, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *call;
                if (reply.isError()) {
                    giveUp(QStringLiteral("le portail du bureau ne le propose pas : ") +
                           reply.error().name());
                    return;
                }
                // A portal older than the documented path names its own.
                if (reply.value().path() != awaited_)
                    awaitResponse(reply.value().path(), SLOT(onSessionResponse(uint, QVariantMap)));
            });
}

void PortalShortcut::onSessionResponse(uint response, const QVariantMap &results)
{
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    session_ = handle.userType() == qMetaTypeId<QDBusObjectPath>()
                   ? handle.value<QDBusObjectPath>().path()
                   : handle.toString();
    if (response != 0 || session_.isEmpty()) {
        giveUp(QStringLiteral("le bureau a refusé la session"));
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(kPortal, kPortalPath, kShortcuts, QStringLiteral("Activated"), this,
                SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    const QString token = QStringLiteral("verzolan_bind");
    awaitResponse(PortalRequestPath(token), SLOT(onBindResponse(uint, QVariantMap)));
    QList<ShortcutEntry> entries;
    for (const PortalBinding &binding : bindings_) {
        QVariantMap properties{{QStringLiteral("description"), binding.description}};
        const QString trigger = PortalTrigger(binding.keys.trimmed());
        if (!trigger.isEmpty())
            properties.insert(QStringLiteral("preferred_trigger"), trigger);
        entries.append({binding.id, properties});
    }
    QDBusMessage bindCall = PortalCall(QStringLiteral("BindShortcuts"));
    bindCall << QVariant::fromValue(QDBusObjectPath(session_)) << QVariant::fromValue(entries)
             << QString() << QVariantMap{{QStringLiteral("handle_token"), token}};
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(bindCall, kCallTimeoutMs), this);
    connect(
        watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
            call->deleteLater();
            const QDBusPendingReply<QDBusObjectPath> reply = *call;
            if (reply.isError())
                giveUp(QStringLiteral("le portail a refusé la touche : ") + reply.error().name());
            else if (reply.value().path() != awaited_)
                awaitResponse(reply.value().path(), SLOT(onBindResponse(uint, QVariantMap)));
        });
}

void PortalShortcut::onBindResponse(uint response, const QVariantMap &)
{
    bound_ = response == 0;
    if (!bound_)
        giveUp(QStringLiteral("le bureau a refusé la touche"));
}

void PortalShortcut::onActivated(const QDBusObjectPath &session, const QString &shortcut,
                                 qulonglong, const QVariantMap &)
{
    if (!bound_ || session.path() != session_)
        return;
    for (const PortalBinding &binding : bindings_) {
        if (binding.id == shortcut)
            binding.pressed();
    }
}

}  // namespace verz
