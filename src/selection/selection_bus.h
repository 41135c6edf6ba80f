#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>

#include <functional>

namespace verz {

// The running window's address on the session bus: the well-known name is
// the application's AppStream ID.
inline constexpr char16_t kBusName[] = u"org.verzolan.verzolan";
inline constexpr char16_t kBusPath[] = u"/org/verzolan/verzolan";
inline constexpr char kBusInterface[] = "org.verzolan.verzolan.Selection";

// Hands a text to the window: the pair's catalogue row, or -1 to keep the
// window's own choice.
using SelectionReceiver = std::function<void(const QString &text, int pairRow)>;
// Brings the window to the front, with the desktop's activation token when
// the caller passed one on (empty otherwise).
using FrontBringer = std::function<void(const QString &activationToken)>;

// The window's side of the bus: Translate(text, pair) with pair a code from
// --list-pairs or empty. A bad pair or an empty text gets an error reply and
// the receiver never hears of it; a good call is answered at once and the
// text handed over from the event loop, so no caller waits for a translation.
class SelectionEndpoint : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.verzolan.verzolan.Selection")
public:
    explicit SelectionEndpoint(SelectionReceiver receiver, QObject *parent = nullptr);

    // Registers on the session bus and asks for the name, queued behind a
    // window that holds it already (which keeps answering). False when there
    // is no session bus: the window works on without it.
    bool publish();

    // Before publish(): the window answers org.freedesktop.Application's
    // Activate too, and can take the selection itself once focused.
    void setFrontBringer(FrontBringer bringer);

public Q_SLOTS:
    void Translate(const QString &text, const QString &pair);
    // For a command that found no selection it may read (Wayland): the
    // window comes to the front and, once it has the focus, takes the
    // selection itself; the reply waits for that, and is the nothing-selected
    // error when it finds no text.
    void TranslateWhenFocused(const QString &pair);

private:
    SelectionReceiver receiver_;
    FrontBringer bringer_;
};

// The command's side: what became of a text sent to a running window.
struct Delivery {
    enum class Outcome { Delivered, NoWindow, Refused };
    Outcome outcome = Outcome::NoWindow;
    QString problem;  // for Refused, the window's reason
};
Delivery DeliverToRunningWindow(const QString &text, const QString &pairCode);
// The command's side of TranslateWhenFocused.
Delivery AskRunningWindowToTakeIt(const QString &pairCode);

}  // namespace verz
