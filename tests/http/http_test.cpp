#include "http/http_server.h"
#include "http/request_gate.h"
#include "pages/result_page.h"
#include "service/service_over_fake_apy.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTemporaryFile>

#include <algorithm>
#include <memory>
#include <vector>

namespace verz {
namespace {

using test::RawClient;

TEST(RequestGate, PassesRequestsAndWaitsForTheRestOfTheLine)
{
    EXPECT_EQ(
        JudgeRequestStart("GET /translate_t?text=a%C3%A9&langpair=en|fr HTTP/1.1\r\nHost: x\r\n"),
        GateVerdict::Pass);
    EXPECT_EQ(JudgeRequestStart("\r\nGET / HTTP/1.0\r\n"), GateVerdict::Pass);
    EXPECT_EQ(JudgeRequestStart("GE"), GateVerdict::NeedMore);
    EXPECT_EQ(JudgeRequestStart("GET /translate_t?text=a%C"), GateVerdict::NeedMore);
    EXPECT_EQ(JudgeRequestStart("GET / HTT"), GateVerdict::NeedMore);
}

TEST(RequestGate, RefusesGarbageBrokenEscapesAndLongLines)
{
    EXPECT_EQ(JudgeRequestStart(QByteArrayView("\x00\xff\xfe", 3)), GateVerdict::BadRequest);
    EXPECT_EQ(JudgeRequestStart("garbage\x01\r\n"), GateVerdict::BadRequest);
    EXPECT_EQ(JudgeRequestStart("GET /a%zz HTTP/1.1\r\n"), GateVerdict::BadRequest);
    EXPECT_EQ(JudgeRequestStart("GET /a%2 HTTP/1.1\r\n"), GateVerdict::BadRequest);
    EXPECT_EQ(JudgeRequestStart("GET /caf\xc3\xa9 HTTP/1.1\r\n"), GateVerdict::BadRequest);
    EXPECT_EQ(JudgeRequestStart("GET / SPDY/3\r\n"), GateVerdict::BadRequest);
    EXPECT_EQ(JudgeRequestStart("GET  / HTTP/1.1\r\n"), GateVerdict::BadRequest);
    const QByteArray longLine = "GET /translate_t?text=" + QByteArray(kMaxRequestLine, 'a');
    EXPECT_EQ(JudgeRequestStart(longLine), GateVerdict::UriTooLong);
    EXPECT_EQ(JudgeRequestStart(longLine + " HTTP/1.1\r\n"), GateVerdict::UriTooLong);
}

TEST(RequestGate, ReadsWholeHeadsAndRefusesAmbiguousFraming)
{
    EXPECT_EQ(FindHeadEnd("\r\nGET / HTTP/1.1\r\nHost: a\r\n\r\nGET"), 29);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.0\n\n"), 16);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\r\nHost: a\r\n"), -1);

    const auto read =
        ParseRequestHead("GET /t?a=1 HTTP/1.1\r\nhost:  [::1]:80 \r\n"
                         "Content-Length: 00\r\nConnection: Keep-Alive, Close\r\n\r\n");
    ASSERT_TRUE(std::holds_alternative<HttpRequest>(read));
    const HttpRequest &request = std::get<HttpRequest>(read);
    EXPECT_EQ(request.target, "/t?a=1");
    EXPECT_EQ(request.host, "[::1]:80");
    EXPECT_FALSE(request.announcesBody);
    EXPECT_FALSE(request.keepAlive);
    EXPECT_FALSE(std::get<HttpRequest>(ParseRequestHead("GET / HTTP/1.0\r\n\r\n")).keepAlive);

    const char *refused[] = {
        "GET / HTTP/1.1\r\n\r\n",                             // no Host
        "GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n",       // two hosts
        "GET / HTTP/1.1\r\nHost: a\r\n X-Folded: b\r\n\r\n",  // folded line
        "GET / HTTP/1.1\r\nHost : a\r\n\r\n",                 // space before the colon
        "GET / HTTP/1.1\r\nHost: a\rX: b\r\n\r\n",            // lone CR
        "GET / HTTP/1.1\r\nHost: a\r\nContent-Length: -1\r\n\r\n",
        "GET / HTTP/1.1\r\nHost: a\r\nContent-Length: 1\r\nTransfer-Encoding: chunked\r\n\r\n",
    };
    for (const char *head : refused)
        EXPECT_TRUE(std::holds_alternative<Refusal>(ParseRequestHead(head))) << head;

    // Read as it arrives: the head and its length once whole, the refusal
    // owed as soon as the start shows one, else a wait for the rest.
    const HeadRead whole = ReadRequestHead("GET / HTTP/1.0\r\n\r\nGET");
    EXPECT_EQ(whole.state, HeadRead::State::Read);
    EXPECT_EQ(whole.length, 18);
    EXPECT_EQ(ReadRequestHead("GET / HTTP/1.1\r\nHost").state, HeadRead::State::NeedMore);
    const HeadRead garbage = ReadRequestHead("GET /a%zz");
    EXPECT_EQ(garbage.state, HeadRead::State::Refused);
    EXPECT_EQ(garbage.refusal.status, HttpResponder::StatusCode::BadRequest);
    EXPECT_EQ(garbage.refusal.text, "Requête mal formée.");
    const HeadRead endless =
        ReadRequestHead("GET / HTTP/1.1\r\nX: " + QByteArray(kMaxRequestHead, 'a'));
    EXPECT_EQ(endless.refusal.status, HttpResponder::StatusCode::RequestHeaderFieldsTooLarge);
}

TEST(HttpServerUpload, HandsTheBodyOverWithTheClientsAddress)
{
    // An endpoint that serves this machine only must see who sent the upload.
    QTemporaryDir folder;
    HttpServer server({});
    UploadRules rules;
    rules.folder = folder.path();
    server.routeUpload(QStringLiteral("/up"), rules,
                       [](const HttpRequest &request, HttpResponder &&responder) {
                           responder.writeText(request.body->readAll() + ' ' +
                                                   (request.peer.isLoopback() ? "ici" : "inconnu"),
                                               HttpResponder::StatusCode::Ok);
                       });
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    RawClient client(server.serverPort());
    EXPECT_EQ(client
                  .exchange("POST /up HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                            "Content-Length: 3\r\n\r\nabc")
                  .body,
              "abc ici\n");
}

TEST_F(ServiceOverFakeApy, PipelinedRequestsAreAnsweredInTheirOrder)
{
    // The first waits for APy, the others could be answered at once.
    const QByteArray stream =
        RawClient::Get(test::TranslateTarget(QStringLiteral("uno"), "es|en")) +
        "DELETE /translate_t HTTP/1.1\r\nHost: localhost\r\n\r\n" +
        RawClient::Get(test::TranslateTarget(QStringLiteral("Hallo"), "de|en")) + "HEAD " +
        test::TranslateTarget(QStringLiteral("dos"), "es|en") +
        " HTTP/1.1\r\nHost: [::1]:8787\r\nConnection: close\r\n\r\n";
    const test::Conversation conversation = test::Converse(service_->port(), stream);
    ASSERT_EQ(conversation.answers.size(), 4);
    EXPECT_EQ(ExtractTranslation(conversation.answers[0].body), QStringLiteral("[spa|eng]uno"));
    EXPECT_EQ(conversation.answers[1].status, 405);
    EXPECT_TRUE(conversation.answers[1].head.contains("\r\nAllow: GET, HEAD\r\n"));
    EXPECT_EQ(conversation.answers[1].body, "Méthode non servie ici ; utilisez GET.\n");
    EXPECT_EQ(ExtractTranslation(conversation.answers[2].body),
              QStringLiteral("Allemand vers Anglais : paire non disponible hors ligne"));
    // HEAD: the GET answer's head, length included, and no body before the end.
    EXPECT_EQ(conversation.answers[3].status, 200);
    const QByteArray length = QByteArray::number(ResultPage(QStringLiteral("[spa|eng]dos")).size());
    EXPECT_TRUE(conversation.answers[3].head.contains("\r\nContent-Length: " + length + "\r\n"));
    EXPECT_TRUE(conversation.answers[3].body.isEmpty());
    EXPECT_TRUE(conversation.closedByService);
}

TEST_F(ServiceOverFakeApy, FloodsAndBodiesAreRefusedUnreadAndEndTheConnection)
{
    const QByteArray requestLine = "GET " + test::TranslateTarget(QStringLiteral("a"), "es|en") +
                                   " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    const QByteArray smuggled = RawClient::Get(test::TranslateTarget(QStringLiteral("b"), "es|en"));
    QByteArray manyFields = requestLine;
    for (int i = 0; i < 200; ++i)
        manyFields += "X-" + QByteArray::number(i) + ": 1\r\n";
    const struct {
        QByteArray bytes;
        int status;
    } cases[] = {
        // A head that never ends, far past the limit.
        {requestLine + "X-Fill: " + QByteArray(8 * 1024 * 1024, 'a'), 431},
        {manyFields + "\r\n", 431},
        // A body announced far past anything served: refused before it comes.
        {"POST /translate_t HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 400000000\r\n\r\n" +
             QByteArray(1024 * 1024, 'b'),
         413},
        // The bytes after a refused body are not a second request.
        {requestLine + "Content-Length: 3\r\n\r\nabc" + smuggled, 400},
        {requestLine + "Transfer-Encoding: chunked\r\n\r\nzz\r\n" + smuggled, 400},
        {requestLine + "Content-Length: 3\r\nContent-Length: 4\r\n\r\n" + smuggled, 400},
        {"GET " + test::TranslateTarget(QStringLiteral("a"), "es|en") + " HTTP/1.1\r\n\r\n", 400},
        // HTTP/1.0 closes after the answer, so does a client's "Connection: close".
        {"GET " + test::TranslateTarget(QStringLiteral("c"), "es|en") + " HTTP/1.0\r\n\r\n" +
             smuggled,
         200},
        {requestLine + "Connection: keep-alive, close\r\n\r\n" + smuggled, 200},
    };
    for (const auto &sent : cases) {
        const test::Conversation conversation = test::Converse(service_->port(), sent.bytes);
        const QByteArray label = sent.bytes.left(60) + "…" + sent.bytes.right(20);
        ASSERT_EQ(conversation.answers.size(), 1) << label.constData();
        EXPECT_EQ(conversation.answers[0].status, sent.status) << label.constData();
        EXPECT_TRUE(conversation.closedByService) << label.constData();
    }
    EXPECT_EQ(translated(QStringLiteral("sigue"), "es|en"), QStringLiteral("[spa|eng]sigue"));
}

TEST_F(ServiceOverFakeApy, SlowIdleAndSurplusConnectionsAreClosed)
{
    TextEndpoints::Options options;
    options.headTimeoutMs = 300;
    options.idleTimeoutMs = 600;
    startService(300, options);
    const test::Conversation slow = test::Converse(service_->port(), "GET /translate_t?text=a");
    ASSERT_EQ(slow.answers.size(), 1);
    EXPECT_EQ(slow.answers[0].status, 408);
    EXPECT_TRUE(slow.closedByService);
    EXPECT_TRUE(test::Converse(service_->port(), QByteArray()).closedByService);

    // A full table: idle connections make way, ones inside a request do not.
    options.headTimeoutMs = options.idleTimeoutMs = 20000;
    options.maxConnections = 3;
    startService(300, options);
    std::vector<std::unique_ptr<RawClient>> clients;
    for (int i = 0; i < 3; ++i) {
        clients.push_back(std::make_unique<RawClient>(service_->port()));
        clients.back()->socket().write("GET /translate_t?text=");
    }
    const auto allIn = [&] {
        return service_->http().connectionCount() == 3 &&
               std::all_of(clients.begin(), clients.end(),
                           [](const auto &client) { return client->socket().bytesToWrite() == 0; });
    };
    ASSERT_TRUE(test::WaitUntil(allIn));
    test::WaitUntil([] { return false; }, 200);  // and read by the service, on this thread
    const test::Conversation surplus =
        test::Converse(service_->port(), RawClient::Get(test::TranslateTarget({}, "es|en")));
    ASSERT_EQ(surplus.answers.size(), 1);
    EXPECT_EQ(surplus.answers[0].status, 503);
    EXPECT_TRUE(surplus.closedByService);

    clients.clear();
    for (int i = 0; i < 3; ++i)
        clients.push_back(std::make_unique<RawClient>(service_->port()));
    test::WaitUntil([] { return false; }, 200);
    EXPECT_EQ(translated(QStringLiteral("sí"), "es|en"), QStringLiteral("[spa|eng]sí"));
}

TEST_F(ServiceOverFakeApy, OnlyLoopbackNamesAreServedUnlessListeningWider)
{
    auto statusFor = [&](const QByteArray &host) {
        RawClient client(service_->port());
        return client
            .exchange("GET " + test::TranslateTarget(QStringLiteral("a"), "es|en") +
                      " HTTP/1.1\r\nHost: " + host + "\r\n\r\n")
            .status;
    };
    for (const char *host : {"127.0.0.1", "LocalHost:8787", "[::1]:8787", "127.0.0.2"})
        EXPECT_EQ(statusFor(host), 200) << host;
    for (const char *host : {"rebound.example", "127.0.0.1.rebound.example:8787",
                             "localhost.rebound.example", "[::2]:8787", "127.0.0.1:80x"})
        EXPECT_EQ(statusFor(host), 421) << host;
    startService(300, {}, QHostAddress(QHostAddress::AnyIPv4));
    EXPECT_EQ(statusFor("rebound.example"), 200);
}

}  // namespace
}  // namespace verz
