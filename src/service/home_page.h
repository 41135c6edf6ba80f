#pragma once

#include "http/request_gate.h"
#include "service/translate_query.h"

#include "http/http_connection.h"
#include <QByteArray>
#include <QString>

#include <optional>

namespace verz {

// The longest text the home page translates, in UTF-16 units as the browser
// counts them (a line end is one). A unit takes at most nine bytes once
// percent-encoded ("€" is %E2%82%AC), so the text box, which takes one unit
// more, can never send an address the service refuses unread: a text too
// long always gets the page's French message.
inline constexpr qsizetype kHomeTextLimit = (kMaxRequestLine - 1024) / 9 / 100 * 100;
static_assert(kHomeTextLimit >= 1000);
static_assert((kHomeTextLimit + 1) * 9 + 64 < kMaxRequestLine);

// Names the engine that answered a /translate_t request; the page's script
// shows it in small print, as the page without script does.
inline constexpr char kEngineHeader[] = "X-Verzolan-Engine";

// What the page shows: the form as the user left it and what came of it.
struct HomeView {
    QString text;
    QString langpair = QStringLiteral("fr|en");  // the window's default row
    QString translation;
    QString message;   // a French sentence on what went wrong, or empty
    QString engine{};  // which engine answered, or empty
};

// GET / read: the view to answer with, and the translation it asks for
// when there is one to make.
struct HomeRequest {
    HomeView view;
    std::optional<TranslateQuery> query;
    HttpResponder::StatusCode status = HttpResponder::StatusCode::Ok;
};

HomeRequest ReadHomeRequest(const QByteArray &rawQuery);

// Shown when APy cannot be reached.
QString ApyDownMessage();

// The whole page, UTF-8, with everything typed in escaped.
QByteArray HomePage(const HomeView &view);

// Writes the page with the headers that keep it to itself: its own inline
// script and style (by hash), no sniffing, no referrer.
void WriteHomePage(HttpResponder &responder, const QByteArray &page,
                   HttpResponder::StatusCode status);

}  // namespace verz
