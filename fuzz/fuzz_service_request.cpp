// Arbitrary bytes as the head of a request to the page service, taken along
// the road a connection and TextEndpoints::handleTranslate take, piece by piece:
// the head reader, the method and path, the query, the route, the page. The
// handler itself is bound to the connection's responder, so its order of
// decisions is repeated here over the pure pieces it calls; the translation
// is a fixed transform of each leg, so no APy is needed.
//
// What must hold: nothing crashes; a refused request never gets a page; the
// text as the program would encode it is let through and read back as it was; a
// page always has exactly one result box, and the program's reader gives back
// the translation as it was put in, with line ends joined into spaces and "…"
// written as "...". On the home page ("/"), nothing typed in adds markup.
#include "common/languages.h"
#include "engine/page_reader.h"
#include "http/http_server.h"
#include "http/request_gate.h"
#include "pages/home_page.h"
#include "pages/result_page.h"
#include "pages/translate_query.h"
#include "service/recorded_apy.h"
#include "service/route_table.h"

#include <QUrl>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const verz::RouteTable &Routes()
{
    static const verz::RouteTable routes =
        *verz::RouteTable::FromListPairs(verz::test::kRecordedListPairs);
    return routes;
}

// Stands in for APy: keeps the text and marks the leg with characters the
// page has to escape.
QString TranslateLeg(const QString &langpair, const QString &text)
{
    return text + QStringLiteral(" <") + langpair + QStringLiteral("> & 'fin'");
}

// What the reader is promised to give back for a translation put in a page:
// each line end (CR, LF or CR LF) with the spaces after it becomes one space,
// and "…" becomes "...".
QString AsRead(const QString &translation)
{
    QString joined;
    joined.reserve(translation.size());
    bool lineStart = false;
    for (qsizetype i = 0; i < translation.size(); ++i) {
        const QChar c = translation.at(i);
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < translation.size() && translation.at(i + 1) == u'\n')
                ++i;
            joined += u' ';
            lineStart = true;
        } else if (!(lineStart && c == u' ')) {
            joined += c;
            lineStart = false;
        }
    }
    joined.replace(QChar(0x2026), QStringLiteral("..."));
    return joined;
}

void CheckPage(const QByteArray &page, const QString &translation)
{
    const QByteArray box = QByteArrayLiteral("<div id=result_box dir=\"ltr\">");
    const qsizetype first = page.indexOf(box);
    if (first < 0 || page.indexOf(box, first + 1) >= 0)
        std::abort();
    if (verz::ExtractTranslation(page) != AsRead(translation))
        std::abort();
}

// Whatever the home page's query holds, echoed as the text and as the
// translation, its markup is that of the empty form: every "<" is the page's own.
void CheckHomePage(const QByteArray &rawQuery)
{
    static const qsizetype tags = verz::HomePage({}).count('<');
    verz::HomeView view = verz::ReadHomeRequest(rawQuery).view;
    view.translation = view.text;
    if (verz::HomePage(view).count('<') != tags)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView head(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qsizetype headEnd = verz::FindHeadEnd(head);
    if (headEnd < 0)
        return 0;  // still waiting for the rest
    const auto read = verz::ParseRequestHead(head.first(headEnd));
    const auto *request = std::get_if<verz::HttpRequest>(&read);
    if (!request)
        return 0;  // refused with a status: no page
    if (verz::JudgeRequestStart(head) != verz::GateVerdict::Pass || request->method.isEmpty() ||
        request->target.isEmpty() || (request->http10 && request->keepAlive))
        std::abort();  // the head reader let through what the gate refuses

    const QUrl url = request->url();
    const QByteArray rawQuery = url.query(QUrl::FullyEncoded).toLatin1();
    if (request->method != "GET" || request->announcesBody ||
        rawQuery.size() > verz::kMaxRequestLine)
        return 0;
    if (url.path() == u"/") {
        CheckHomePage(rawQuery);
        return 0;
    }
    if (url.path() != u"/translate_t")
        return 0;

    const auto parsed = verz::ParseTranslateQuery(rawQuery);
    const auto *query = std::get_if<verz::TranslateQuery>(&parsed);
    if (!query)
        return 0;  // 400 with a plain-text reason
    const verz::Language *source = verz::LanguageByCode(query->source);
    const verz::Language *target = verz::LanguageByCode(query->target);
    if (!source || !target || source == target)
        std::abort();  // the query reader let an unknown pair through

    // The same text as the program would send it must pass the gate and be
    // read back unchanged.
    const QByteArray resent = "GET /translate_t?text=" + QUrl::toPercentEncoding(query->text) +
                              "&langpair=" + query->source.toLatin1() + '|' +
                              query->target.toLatin1() +
                              " HTTP/1.1\r\nHost: 127.0.0.1:8787\r\n\r\n";
    const auto resentHead = verz::ParseRequestHead(resent);
    const auto *resentRequest = std::get_if<verz::HttpRequest>(&resentHead);
    if (!resentRequest || verz::FindHeadEnd(resent) != resent.size() ||
        !verz::IsLoopbackHost(resentRequest->host))
        std::abort();
    const QByteArray resentQuery = resentRequest->url().query(QUrl::FullyEncoded).toLatin1();
    const auto reread = verz::ParseTranslateQuery(resentQuery);
    const auto *again = std::get_if<verz::TranslateQuery>(&reread);
    if (!again || again->text != query->text || again->source != query->source ||
        again->target != query->target)
        std::abort();

    if (query->text.trimmed().isEmpty()) {
        CheckPage(verz::ResultPage(query->text.trimmed()), QString());
        return 0;
    }
    const verz::Route route = Routes().routeFor(source->apertium, target->apertium);
    if (!route.available()) {
        const QString text = verz::UnavailablePairText(query->source, query->target);
        CheckPage(verz::ResultPage(text), text);
        return 0;
    }
    if (route.legs.size() > 2)
        std::abort();
    QString translation = query->text;
    for (const QString &leg : route.legs)
        translation = TranslateLeg(leg, translation);
    CheckPage(verz::ResultPage(translation), translation);
    return 0;
}
