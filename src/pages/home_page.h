#pragma once

#include "http/http_responder.h"
#include "http/request_gate.h"
#include "pages/translate_query.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace verz {

// The longest text the home page translates, in UTF-16 units as the browser
// counts them (a line end is one). Texts that fit in an address go by GET;
// longer ones as a POST form, whose body takes the text percent-encoded (at
// most nine bytes a unit, "€" is %E2%82%AC) within kHomeFormLimit, so a text
// too long always gets the page's French message rather than a refusal unread.
inline constexpr qsizetype kHomeTextLimit = 1024 * 1024;
inline constexpr qint64 kHomeFormLimit = 10 * 1024 * 1024;
static_assert((kHomeTextLimit + 1) * 9 + 64 < kHomeFormLimit);
// The longest query the page's script sends in an address.
inline constexpr qsizetype kHomeAddressLimit = kMaxRequestLine - 1024;

// Names what answered a /translate_t request (APy's Apertium, the
// dictionaries, LibreTranslate); the page's script shows it in small print
// after « Moteur : », as the page without script does.
inline constexpr char kAnsweredByHeader[] = "X-Verzolan-Engine";

// What the page shows: the form as the user left it and what came of it.
struct HomeView {
    QString text;
    QString langpair = QStringLiteral("fr|en");  // the window's default row
    QString translation;
    QString message;       // a French sentence on what went wrong, or empty
    QString answeredBy{};  // what answered, or empty
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
