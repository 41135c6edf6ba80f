#include "selection/selection_relay.h"

#include "cli/command_line.h"
#include "detect/detected_pair.h"
#include "selection/selection_text.h"
#include "selection/session_selection.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QTimer>

namespace verz {

namespace {

// As for Translate: a hung window must not keep the command for the bus's
// own 25 s. Reading the selection from its owner is part of this call.
constexpr int kRelayTimeoutMs = 3000;

}  // namespace

SelectionRelayEndpoint::SelectionRelayEndpoint(SelectionReceiver receiver, QObject *parent)
    : QObject(parent), receiver_(std::move(receiver))
{
}

bool SelectionRelayEndpoint::publish()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.registerObject(QString::fromUtf16(kRelayPath), this,
                                                   QDBusConnection::ExportAllSlots);
}

QString SelectionRelayEndpoint::TranslateSelection(const QString &pair)
{
    // No pair, or "auto": the pair follows the text's language, as on the
    // command's own road.
    int row = -1;
    QString autoTarget;
    const bool detect = pair.isEmpty() || IsAutoPairCode(pair, &autoTarget);
    if (!detect) {
        row = PairRowForCode(pair);
        if (row < 0) {
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("paire de langues inconnue « ") + pair +
                               QStringLiteral(" » (voir Verzolan --list-pairs)"));
            return {};
        }
    }
    TakenSelection taken = TakeSessionSelection(*QGuiApplication::clipboard());
    if (IsEmptySelection(taken.text) && taken.onlyWithFocus) {
        // Only the focus can have it (Wayland): the command's own road brings
        // the window to the front and has it taken there.
        sendErrorReply(QDBusError::NotSupported, QStringLiteral("selection only with the focus"));
        return {};
    }
    if (IsEmptySelection(taken.text)) {
        sendErrorReply(QDBusError::InvalidArgs, NothingSelectedMessage());
        return {};
    }
    // Detected after the reply: the first detection opens the word lists,
    // which the command need not wait for.
    QTimer::singleShot(0, this, [this, kept = std::move(taken.text), row, detect, autoTarget] {
        receiver_(kept, detect ? DetectedSelectionRow(kept, autoTarget) : row);
    });
    return taken.notice;
}

std::optional<int> RelaySelectionToWindow(const CommandLine &line)
{
    // A connection of its own, closed before the core application goes: the
    // shared one would die with it under the window this command may open.
    const QString name = QStringLiteral("verzolan-relay");
    const struct Closer {
        QString name;
        ~Closer() { QDBusConnection::disconnectFromBus(name); }
    } closer{name};
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    if (!bus.isConnected())
        return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromUtf16(kBusName), QString::fromUtf16(kRelayPath),
        QString::fromLatin1(kRelayInterface), QStringLiteral("TranslateSelection"));
    call << line.pairCode;
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kRelayTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) {
        const QString notice = reply.arguments().value(0).toString();
        if (!notice.isEmpty())
            SayOnError(notice);
        return 0;
    }
    if (reply.errorName() == QDBusError::errorString(QDBusError::InvalidArgs)) {
        SayOnError(reply.errorMessage());
        return 1;
    }
    return std::nullopt;
}

}  // namespace verz
