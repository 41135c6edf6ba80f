#include "selection/selection_bus.h"

#include "cli/command_line.h"
#include "selection/selection_text.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>
#include <QTimer>

namespace verz {

namespace {

QString BusName()
{
    return QString::fromUtf16(kBusName);
}

QString BusPath()
{
    return QString::fromUtf16(kBusPath);
}

// A window that hangs would otherwise keep the command waiting for the bus's
// own 25 s; past this, a new window is better than nothing.
constexpr int kCallTimeoutMs = 3000;

}  // namespace

SelectionEndpoint::SelectionEndpoint(SelectionReceiver receiver, QObject *parent)
    : QObject(parent), receiver_(std::move(receiver))
{
}

bool SelectionEndpoint::publish()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(BusPath(), this, QDBusConnection::ExportAllSlots))
        return false;
    // Queued: when the first window closes, the next one answers.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(BusName(), QDBusConnectionInterface::QueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    return reply.isValid();
}

void SelectionEndpoint::Translate(const QString &text, const QString &pair)
{
    int row = -1;
    if (!pair.isEmpty()) {
        row = PairRowForCode(pair);
        if (row < 0) {
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("paire de langues inconnue « ") + pair +
                               QStringLiteral(" » (voir Verzolan --list-pairs)"));
            return;
        }
    }
    if (IsEmptySelection(text)) {
        sendErrorReply(QDBusError::InvalidArgs, NothingSelectedMessage());
        return;
    }
    TakenSelection fitted = FitSelection(text);
    // After the reply has gone: the translation runs an event loop of its own.
    QTimer::singleShot(0, this,
                       [this, kept = std::move(fitted.text), row] { receiver_(kept, row); });
}

Delivery DeliverToRunningWindow(const QString &text, const QString &pairCode)
{
    Delivery delivery;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return delivery;
    QDBusMessage call = QDBusMessage::createMethodCall(
        BusName(), BusPath(), QString::fromLatin1(kBusInterface), QStringLiteral("Translate"));
    call << text << pairCode;
    // Never start a window through the bus's activation: the command does it.
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) {
        delivery.outcome = Delivery::Outcome::Delivered;
    } else if (reply.errorName() == QDBusError::errorString(QDBusError::InvalidArgs)) {
        delivery.outcome = Delivery::Outcome::Refused;
        delivery.problem = reply.errorMessage();
    }
    return delivery;
}

}  // namespace verz
