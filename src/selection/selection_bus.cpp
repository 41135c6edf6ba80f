#include "selection/selection_bus.h"

#include "cli/command_line.h"
#include "selection/selection_text.h"
#include "selection/session_selection.h"
#include "selection/window_activation.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>
#include <QTimer>

#include <optional>

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
// The window's wait for the focus, within the command's wait for the window.
constexpr int kFocusWaitMs = 2500;
constexpr int kFocusCallTimeoutMs = kFocusWaitMs + kCallTimeoutMs;

// The pair's row (-1 for none given); nothing, after an error reply, when
// the code is unknown.
std::optional<int> RowOfPair(const QString &pair, QDBusContext &context)
{
    if (pair.isEmpty())
        return -1;
    const int row = PairRowForCode(pair);
    if (row >= 0)
        return row;
    context.sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("paire de langues inconnue « ") + pair +
                               QStringLiteral(" » (voir Verzolan --list-pairs)"));
    return std::nullopt;
}

Delivery Call(QDBusMessage call, int timeoutMs)
{
    Delivery delivery;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return delivery;
    // Never start a window through the bus's activation: the command does it.
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) {
        delivery.outcome = Delivery::Outcome::Delivered;
    } else if (reply.errorName() == QDBusError::errorString(QDBusError::InvalidArgs)) {
        delivery.outcome = Delivery::Outcome::Refused;
        delivery.problem = reply.errorMessage();
    }
    return delivery;
}

QDBusMessage SelectionCall(const QString &method)
{
    return QDBusMessage::createMethodCall(BusName(), BusPath(), QString::fromLatin1(kBusInterface),
                                          method);
}

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
    if (!bus.registerObject(BusPath(), this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAdaptors))
        return false;
    // Queued: when the first window closes, the next one answers.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(BusName(), QDBusConnectionInterface::QueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    return reply.isValid();
}

void SelectionEndpoint::setFrontBringer(FrontBringer bringer)
{
    bringer_ = bringer;
    new ApplicationAdaptor(std::move(bringer), this);
}

void SelectionEndpoint::Translate(const QString &text, const QString &pair)
{
    const std::optional<int> found = RowOfPair(pair, *this);
    if (!found)
        return;
    const int row = *found;
    if (IsEmptySelection(text)) {
        sendErrorReply(QDBusError::InvalidArgs, NothingSelectedMessage());
        return;
    }
    TakenSelection fitted = FitSelection(text);
    // After the reply has gone: the translation runs an event loop of its own.
    QTimer::singleShot(0, this,
                       [this, kept = std::move(fitted.text), row] { receiver_(kept, row); });
}

void SelectionEndpoint::TranslateWhenFocused(const QString &pair)
{
    const std::optional<int> found = RowOfPair(pair, *this);
    if (!found)
        return;
    const int row = *found;
    if (!bringer_) {
        sendErrorReply(QDBusError::InvalidArgs, NothingSelectedMessage());
        return;
    }
    setDelayedReply(true);
    const QDBusMessage call = message();
    bringer_(QString());
    TakeSelectionOnceFocused(this, kFocusWaitMs, [this, call, row](const TakenSelection &taken) {
        if (IsEmptySelection(taken.text)) {
            QDBusConnection::sessionBus().send(
                call.createErrorReply(QDBusError::InvalidArgs, NothingSelectedMessage()));
            return;
        }
        QDBusConnection::sessionBus().send(call.createReply());
        receiver_(taken.text, row);
    });
}

Delivery DeliverToRunningWindow(const QString &text, const QString &pairCode)
{
    QDBusMessage call = SelectionCall(QStringLiteral("Translate"));
    call << text << pairCode;
    return Call(call, kCallTimeoutMs);
}

Delivery AskRunningWindowToTakeIt(const QString &pairCode)
{
    QDBusMessage call = SelectionCall(QStringLiteral("TranslateWhenFocused"));
    call << pairCode;
    return Call(call, kFocusCallTimeoutMs);
}

}  // namespace verz
