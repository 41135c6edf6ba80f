#include "selection/x11_selection.h"

#include <QByteArray>
#include <QDeadlineTimer>

#include <xcb/xcb.h>

#include <poll.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace verz {

namespace {

template <class T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t Atom(xcb_connection_t *connection, const char *name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The next event of one of the wanted kinds, or null past the deadline.
Reply<xcb_generic_event_t> WaitForEvent(xcb_connection_t *connection, std::uint8_t kind,
                                        const QDeadlineTimer &deadline)
{
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == kind)
                return Reply<xcb_generic_event_t>(event, &std::free);
            std::free(event);
        }
        if (xcb_connection_has_error(connection) || deadline.hasExpired())
            return Reply<xcb_generic_event_t>(nullptr, &std::free);
        pollfd ready{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&ready, 1, static_cast<int>(deadline.remainingTime()));
    }
}

// Takes the property's value off the window (deleting it, which tells an
// owner sending in pieces to send the next); its type through *type.
QByteArray TakeProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property,
                        qsizetype maxBytes, xcb_atom_t *type)
{
    const auto words = static_cast<std::uint32_t>((maxBytes + 3) / 4);
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, words),
            nullptr),
        &std::free);
    xcb_flush(connection);
    if (!reply || reply->format != 8) {
        *type = reply ? reply->type : xcb_atom_t{XCB_ATOM_NONE};
        return {};
    }
    *type = reply->type;
    const int length = xcb_get_property_value_length(reply.get());
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      qMin<qsizetype>(length, maxBytes));
}

}  // namespace

QString ReadX11Selection(const char *selection, int timeoutMs, qsizetype maxBytes)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return {};
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> owned(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    xcb_connection_t *connection = owned.get();
    if (xcb_connection_has_error(connection))
        return {};
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr)
        return {};
    const xcb_atom_t selectionAtom = Atom(connection, selection);
    const xcb_atom_t utf8 = Atom(connection, "UTF8_STRING");
    const xcb_atom_t incremental = Atom(connection, "INCR");
    const xcb_atom_t property = Atom(connection, "VERZOLAN_SELECTION");

    // A window of our own receives the text as a property.
    const xcb_window_t window = xcb_generate_id(connection);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &events);
    xcb_convert_selection(connection, window, selectionAtom, utf8, property, XCB_CURRENT_TIME);
    xcb_flush(connection);

    const QDeadlineTimer deadline(timeoutMs);
    const Reply<xcb_generic_event_t> notified =
        WaitForEvent(connection, XCB_SELECTION_NOTIFY, deadline);
    if (!notified ||
        reinterpret_cast<const xcb_selection_notify_event_t *>(notified.get())->property ==
            XCB_ATOM_NONE)
        return {};
    xcb_atom_t type = XCB_ATOM_NONE;
    QByteArray text = TakeProperty(connection, window, property, maxBytes, &type);
    if (type == incremental) {
        // Sent in pieces: each deletion of the property asks for the next,
        // an empty piece ends it. Past maxBytes the rest is not asked for.
        text.clear();
        while (text.size() < maxBytes) {
            const Reply<xcb_generic_event_t> changed =
                WaitForEvent(connection, XCB_PROPERTY_NOTIFY, deadline);
            if (!changed)
                break;
            const auto *change =
                reinterpret_cast<const xcb_property_notify_event_t *>(changed.get());
            if (change->atom != property || change->state != XCB_PROPERTY_NEW_VALUE)
                continue;
            const QByteArray piece =
                TakeProperty(connection, window, property, maxBytes - text.size(), &type);
            if (piece.isEmpty())
                break;
            text += piece;
        }
    } else if (type != utf8) {
        return {};
    }
    return QString::fromUtf8(text);
}

}  // namespace verz
