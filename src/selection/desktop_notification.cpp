#include "selection/desktop_notification.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QStringList>

namespace verz {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// « Copier » as a button, and as what a click on the bubble itself does
// (servers that show no buttons still run the default action).
const QString kCopyAction = QStringLiteral("copier");
const QString kDefaultAction = QStringLiteral("default");
constexpr int kCallTimeoutMs = 3000;

QDBusMessage Call(const QString &method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

}  // namespace

DesktopNotification::DesktopNotification(QString summary, QString body, bool offerCopy)
    : summary_(std::move(summary)), body_(std::move(body)), offerCopy_(offerCopy)
{
}

bool DesktopNotification::show(QString *problem)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        *problem = QStringLiteral("pas de bus de session D-Bus");
        return false;
    }
    const QDBusMessage capabilities =
        bus.call(Call(QStringLiteral("GetCapabilities")), QDBus::Block, kCallTimeoutMs);
    if (capabilities.type() != QDBusMessage::ReplyMessage) {
        *problem = QStringLiteral("aucun service de notification ne répond (") +
                   capabilities.errorMessage() + u')';
        return false;
    }
    const QStringList offered = capabilities.arguments().value(0).toStringList();
    // A server that reads markup would take "<b>" in a translated page for
    // bold, or drop it.
    const QString body =
        offered.contains(QStringLiteral("body-markup")) ? body_.toHtmlEscaped() : body_;
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(onClosed(uint, uint)));
    QStringList actions;
    if (offerCopy_ && offered.contains(QStringLiteral("actions")))
        actions << kCopyAction << QStringLiteral("Copier") << kDefaultAction
                << QStringLiteral("Copier");
    QDBusMessage notify = Call(QStringLiteral("Notify"));
    notify << QStringLiteral("Verzolan") << uint(0) << QStringLiteral("verzolan") << summary_
           << body << actions << QVariantMap() << int(-1);
    const QDBusMessage reply = bus.call(notify, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        *problem = QStringLiteral("le service de notification a refusé la notification (") +
                   reply.errorMessage() + u')';
        return false;
    }
    id_ = reply.arguments().value(0).toUInt();
    finished_ = actions.isEmpty();
    return true;
}

void DesktopNotification::waitForUser(int maxWaitMs)
{
    const QDeadlineTimer deadline(maxWaitMs);
    while (!finished_ && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 200);
    if (!copied_)
        return;
    // On X11 the clipboard lives as long as its owner: stay until another
    // program (a clipboard manager, a paste target's copy) takes it over.
    QClipboard *clipboard = QGuiApplication::clipboard();
    while (clipboard->ownsClipboard() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 200);
}

void DesktopNotification::onActionInvoked(uint id, const QString &action)
{
    if (id != id_ || (action != kCopyAction && action != kDefaultAction))
        return;
    QGuiApplication::clipboard()->setText(body_, QClipboard::Clipboard);
    copied_ = true;
    finished_ = true;
}

void DesktopNotification::onClosed(uint id, uint)
{
    if (id == id_)
        finished_ = true;
}

}  // namespace verz
