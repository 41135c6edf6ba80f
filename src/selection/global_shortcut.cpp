#include "selection/global_shortcut.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <optional>

namespace verz {

namespace {

// X keysyms of the keys a shortcut may use (X11/keysymdef.h).
constexpr xcb_keysym_t kKeysymF1 = 0xffbe;
constexpr xcb_keysym_t kKeysymSpace = 0x0020;

std::optional<xcb_keysym_t> KeysymFor(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<xcb_keysym_t>('a' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<xcb_keysym_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<xcb_keysym_t>(kKeysymF1 + (key - Qt::Key_F1));
    if (key == Qt::Key_Space)
        return kKeysymSpace;
    return std::nullopt;
}

std::uint16_t ModifierMask(Qt::KeyboardModifiers modifiers)
{
    std::uint16_t mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

// Caps Lock and Num Lock change nothing to what the key means, but an X grab
// matches the modifiers exactly: the combination is grabbed with each.
constexpr std::array<std::uint16_t, 4> kLockVariants = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                                        XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr std::uint16_t kMeaningfulModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

xcb_connection_t *Connection()
{
    const auto *x11 = qGuiApp == nullptr
                          ? nullptr
                          : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? nullptr : x11->connection();
}

xcb_window_t RootWindow(xcb_connection_t *connection)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return screen == nullptr ? XCB_NONE : screen->root;
}

}  // namespace

GlobalShortcut::GlobalShortcut(std::function<void()> pressed) : pressed_(std::move(pressed)) {}

GlobalShortcut::~GlobalShortcut()
{
    release();
}

bool GlobalShortcut::grab(const QString &keys, QString *problem)
{
    release();
    const QString whole = keys.trimmed();
    if (whole.isEmpty() || whole.compare(u"none", Qt::CaseInsensitive) == 0)
        return true;
    // The settings file is the user's to damage: a value far past any key's
    // name is no key anywhere, and is echoed shortened.
    constexpr qsizetype kLongestKeys = 64;
    const QString wanted =
        whole.size() <= kLongestKeys
            ? whole
            : whole.first(kLongestKeys) + QStringLiteral("… (%1 caractères)").arg(whole.size());
    if (whole.size() > kLongestKeys) {
        *problem = QStringLiteral("le raccourci « ") + wanted +
                   QStringLiteral(" » n’est pas une touche connue (par exemple Ctrl+Alt+Y)");
        return false;
    }
    xcb_connection_t *connection = Connection();
    if (connection == nullptr)
        return true;  // not X11: the desktop's own shortcut settings do it

    const QKeySequence sequence = QKeySequence::fromString(wanted, QKeySequence::PortableText);
    const std::optional<xcb_keysym_t> keysym =
        sequence.count() == 1 ? KeysymFor(sequence[0].key()) : std::nullopt;
    if (!keysym) {
        *problem = QStringLiteral("le raccourci « ") + wanted +
                   QStringLiteral(" » n’est pas une touche connue (par exemple Ctrl+Alt+Y)");
        return false;
    }
    const std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols(
        xcb_key_symbols_alloc(connection), &xcb_key_symbols_free);
    const std::unique_ptr<xcb_keycode_t, decltype(&std::free)> codes(
        xcb_key_symbols_get_keycode(symbols.get(), *keysym), &std::free);
    if (!codes || codes.get()[0] == XCB_NO_SYMBOL) {
        *problem = QStringLiteral("le clavier n’a pas de touche pour le raccourci « ") + wanted +
                   QStringLiteral(" »");
        return false;
    }
    keycode_ = codes.get()[0];
    modifiers_ = ModifierMask(sequence[0].keyboardModifiers());
    const xcb_window_t root = RootWindow(connection);
    bool held = false;
    for (const std::uint16_t lock : kLockVariants) {
        const xcb_void_cookie_t cookie =
            xcb_grab_key_checked(connection, 1, root, modifiers_ | lock, keycode_,
                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t *error = xcb_request_check(connection, cookie)) {
            held = true;
            std::free(error);
        }
    }
    grabbed_ = true;
    if (held) {
        release();
        *problem = QStringLiteral("le raccourci « ") + wanted +
                   QStringLiteral(" » est déjà pris par un autre programme");
        return false;
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

void GlobalShortcut::release()
{
    if (!grabbed_)
        return;
    grabbed_ = false;
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
    if (xcb_connection_t *connection = Connection()) {
        const xcb_window_t root = RootWindow(connection);
        for (const std::uint16_t lock : kLockVariants)
            xcb_ungrab_key(connection, keycode_, root, modifiers_ | lock);
        xcb_flush(connection);
    }
}

bool GlobalShortcut::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = static_cast<const xcb_key_press_event_t *>(message);
    if (press->detail != keycode_ || (press->state & kMeaningfulModifiers) != modifiers_)
        return false;
    // Out of the event filter: reading the selection talks to the X server.
    QTimer::singleShot(0, qApp, pressed_);
    return true;
}

}  // namespace verz
