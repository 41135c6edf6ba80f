#pragma once

#include "selection/selection_bus.h"

#include <QDBusContext>
#include <QObject>
#include <QString>

#include <optional>

namespace verz {

struct CommandLine;

// The quick road of Verzolan --selection to a running window: the command
// makes no display connection and no GUI application at all, it asks the
// window over the session bus to read the selection itself (the window has
// the display open already). That connection and that application were most
// of the command's time before the call.
inline constexpr char16_t kRelayPath[] = u"/org/verzolan/verzolan/Selected";
inline constexpr char kRelayInterface[] = "org.verzolan.verzolan.Selected";

// The window's side: TranslateSelection(pair) reads the selection, answers
// with the notice of a cut text ("" when whole) and hands the text over from
// the event loop; a bad pair or nothing selected gets an error reply.
class SelectionRelayEndpoint : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.verzolan.verzolan.Selected")
public:
    explicit SelectionRelayEndpoint(SelectionReceiver receiver, QObject *parent = nullptr);

    // Registers the object on the session bus; the name is asked for by
    // SelectionEndpoint::publish, which must come after this.
    bool publish();

public Q_SLOTS:
    QString TranslateSelection(const QString &pair);

private:
    SelectionReceiver receiver_;
};

// The command's side, under a QCoreApplication: the exit status when a
// window took the request or refused it (its reason on standard error), or
// nothing when no window answers this road (none runs, or an older one
// without it): then the command takes the selection itself. It calls on a
// bus connection of its own, closed on return: the shared one would die with
// the core application and leave the window this command opens deaf.
std::optional<int> RelaySelectionToWindow(const CommandLine &line);

// Set, the command takes the selection itself at once: the road before this
// one, which bench/selection prints beside it.
inline constexpr char kSelectionByCommand[] = "VERZOLAN_SELECTION_BY_COMMAND";

}  // namespace verz
