// The request end to end against the loopback stand-in: what reaches the
// service, and what the output box shows for every way a fetch can go wrong.
#include "engine/translation_request.h"
#include "fake_form.h"
#include "stand_in_server.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace verz {
namespace {

using test::FakeForm;
using test::StandInServer;

QByteArray resultPage(const QByteArray &translation)
{
    return QByteArrayLiteral("<html><body><div id=result_box dir=\"ltr\">") + translation +
           QByteArrayLiteral("</div></body></html>");
}

// Runs then() inside the request's own event loop once the request has
// reached the stand-in: no guess at how long the client takes to send it.
void onArrival(const StandInServer &server, std::function<void()> then)
{
    if (!server.requests().isEmpty()) {
        then();
        return;
    }
    QTimer::singleShot(
        1, [&server, then = std::move(then)]() mutable { onArrival(server, std::move(then)); });
}

class RequestTest : public ::testing::Test {
protected:
    QString scratch() const { return dir.filePath(QStringLiteral("Verz.txt")); }
    std::unique_ptr<TranslationRequest> makeRequest()
    {
        auto request = std::make_unique<TranslationRequest>(server.host(), scratch());
        request->setTransferLimits(1000, 64 * 1024);
        return request;
    }
    // Runs one click and returns the target the service received. Qt sends
    // the pair code's "|" as %7C; the service decodes it like the text.
    std::string sent(const QString &input, const QString &lang = QStringLiteral("en|fr"),
                     int fold = 0)
    {
        server.setPage(resultPage("ok"));
        form.input = input;
        form.lang = lang;
        form.fold = fold;
        makeRequest()->translate(form);
        return server.lastTarget().toStdString();
    }
    QString sentText(const QString &input, int fold = 0)
    {
        return StandInServer::queryValue(
            QByteArray::fromStdString(sent(input, QStringLiteral("en|fr"), fold)), "text");
    }

    QTemporaryDir dir;
    StandInServer server;
    FakeForm form;
};

// --- the address -----------------------------------------------------------

TEST_F(RequestTest, AddressIsLiteralAroundThePercentEncodedText)
{
    const auto request = makeRequest();
    EXPECT_EQ(request->queryAddress(QStringLiteral("  Tom & Jerry  "), QStringLiteral("en|fr")),
              QStringLiteral("http://") + server.host() +
                  QStringLiteral("/translate_t?text=Tom%20%26%20Jerry&langpair=en|fr"));
}

TEST_F(RequestTest, ServiceReceivesEveryCharacterOfTheText)
{
    EXPECT_EQ(sent(QStringLiteral("Tom & Jerry")),
              "/translate_t?text=Tom%20%26%20Jerry&langpair=en%7Cfr");
    EXPECT_EQ(sentText(QStringLiteral("page #2")), QStringLiteral("page #2"));
    EXPECT_EQ(sentText(QStringLiteral("1+1=2")), QStringLiteral("1+1=2"));
    EXPECT_EQ(sentText(QStringLiteral("100% sûr")), QStringLiteral("100% sûr"));
    EXPECT_EQ(sentText(QStringLiteral("a?b/c")), QStringLiteral("a?b/c"));
    EXPECT_EQ(sent(QStringLiteral("café")), "/translate_t?text=caf%C3%A9&langpair=en%7Cfr");
    EXPECT_EQ(sent(QStringLiteral("~-._")), "/translate_t?text=~-._&langpair=en%7Cfr");
    EXPECT_EQ(sent(QStringLiteral("l'eau (!*)")),
              "/translate_t?text=l%27eau%20%28%21%2A%29&langpair=en%7Cfr");
    EXPECT_EQ(sent(QStringLiteral("=;[]")), "/translate_t?text=%3D%3B%5B%5D&langpair=en%7Cfr");
}

TEST_F(RequestTest, ControlCharactersNeverReachTheRequestLine)
{
    EXPECT_EQ(sent(QStringLiteral("one\r\ntwo\tthree")),
              "/translate_t?text=one%0D%0Atwo%09three&langpair=en%7Cfr");
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().requestLine.toStdString(),
              "GET /translate_t?text=one%0D%0Atwo%09three&langpair=en%7Cfr HTTP/1.1");
}

TEST_F(RequestTest, OnlyOuterSpacesAreTrimmed)
{
    EXPECT_EQ(sentText(QStringLiteral("   a  b \t ")), QStringLiteral("a  b \t"));
    EXPECT_EQ(sentText(QStringLiteral("\r\n x \r\n")), QStringLiteral("\r\n x \r\n"));
}

TEST_F(RequestTest, PlaceholderIsSentLikeAnyText)
{
    EXPECT_EQ(sentText(QStringLiteral("Tapez ici votre texte.\r\n")),
              QStringLiteral("Tapez ici votre texte.\r\n"));
}

TEST_F(RequestTest, PairCodeReachesTheServiceDecodable)
{
    sent(QStringLiteral("x"), QStringLiteral("de|it"));
    EXPECT_EQ(StandInServer::queryValue(server.lastTarget(), "langpair"), QStringLiteral("de|it"));
}

TEST_F(RequestTest, EmptyTextAndEmptyPairCode)
{
    EXPECT_EQ(sent(QString()), "/translate_t?text=&langpair=en%7Cfr");
    EXPECT_EQ(sent(QStringLiteral("x"), QString()), "/translate_t?text=x&langpair=");
}

TEST_F(RequestTest, FoldingChangesOnlyTheSentCopyAndOnlyWhenChecked)
{
    EXPECT_EQ(sentText(QStringLiteral("É è à"), 1), QStringLiteral("É e a"));
    EXPECT_EQ(form.input, QStringLiteral("É è à"));
    EXPECT_EQ(sentText(QStringLiteral("è"), 0), QStringLiteral("è"));
    EXPECT_EQ(sentText(QStringLiteral("è"), 2), QStringLiteral("è"));
}

TEST(FoldDiacritics, FoldsTheTwelveLowerCaseLettersOnly)
{
    EXPECT_EQ(FoldDiacritics(QStringLiteral("éèêëàôçùîïâä")), QStringLiteral("eeeeaocuiiaa"));
    EXPECT_EQ(FoldDiacritics(QStringLiteral("ÉÇÀ ûüö ñ")), QStringLiteral("ÉÇÀ ûüö ñ"));
    EXPECT_EQ(FoldDiacritics(QString()), QString());
}

// --- the outcome in the output box -------------------------------------------

TEST_F(RequestTest, SuccessAppendsTheTranslationAndEnablesTheButton)
{
    server.setPage(resultPage("Oui, merci"));
    form.output = QStringLiteral("Bonjour ");
    makeRequest()->translate(form);
    EXPECT_EQ(form.output, QStringLiteral("Bonjour \r\nOui, merci "));
    EXPECT_TRUE(form.translateEnabled);
    EXPECT_EQ(form.disableCount, 1);
    EXPECT_EQ(form.busyStarts, 1);
    EXPECT_EQ(form.busyEnds, 1);
    QFile file(scratch());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), resultPage("Oui, merci"));
}

TEST_F(RequestTest, NoPairChosenSendsNothing)
{
    form.row = -1;
    form.output = QStringLiteral("before");
    makeRequest()->translate(form);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(form.output, QStringLiteral("before"));
    EXPECT_TRUE(form.translateEnabled);
    EXPECT_EQ(form.disableCount, 1);
    EXPECT_EQ(form.busyStarts, 0);
}

TEST_F(RequestTest, AfterAFailureTheNextSuccessAppendsBelowNonConnecte)
{
    server.setPage(QByteArrayLiteral("gone"), 404);
    form.output = QStringLiteral("earlier ");
    const auto request = makeRequest();
    request->translate(form);
    EXPECT_EQ(form.output, QStringLiteral("Non Connecté"));
    EXPECT_TRUE(form.translateEnabled);
    server.setPage(resultPage("Salut"));
    request->translate(form);
    EXPECT_EQ(form.output, QStringLiteral("Non Connecté\r\nSalut "));
}

// Every way the fetch can fail: "Non Connecté", no scratch file, and the page
// an earlier request left behind is not read again.
class FailedFetch : public RequestTest {
protected:
    void expectNotConnected(const std::function<void()> &script, const QString &host = {})
    {
        QFile stale(scratch());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write(resultPage("stale"));
        stale.close();
        form.output = QStringLiteral("earlier ");

        script();
        TranslationRequest request(host.isEmpty() ? server.host() : host, scratch());
        request.setTransferLimits(1000, 64 * 1024);
        request.translate(form);
        EXPECT_EQ(form.output, QStringLiteral("Non Connecté"));
        EXPECT_TRUE(form.translateEnabled);
        EXPECT_FALSE(QFile::exists(scratch()));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
        EXPECT_EQ(form.busyEnds, form.busyStarts);
    }
};

TEST_F(FailedFetch, HttpErrors)
{
    expectNotConnected([&] { server.setPage(resultPage("error page"), 500); });
    expectNotConnected([&] { server.setPage(resultPage("missing"), 404); });
    // A redirect status without a place to go is no page either.
    expectNotConnected([&] { server.setPage(resultPage("moved"), 301); });
}

TEST_F(FailedFetch, ConnectionRefused)
{
    QString host;
    {
        StandInServer closed;
        host = closed.host();
    }
    expectNotConnected([] {}, host);
}

TEST_F(FailedFetch, UnknownHost)
{
    expectNotConnected([] {}, QStringLiteral("no-such-host.invalid"));
}

TEST_F(FailedFetch, HangingServiceTimesOut)
{
    expectNotConnected([&] {
        StandInServer::Script hang;
        hang.hang = true;
        server.setScript(hang);
    });
}

TEST_F(FailedFetch, SlowServicePastTheTimeout)
{
    expectNotConnected([&] {
        StandInServer::Script slow;
        slow.body = resultPage("late");
        slow.delayMs = 3000;
        server.setScript(slow);
    });
}

TEST_F(FailedFetch, TruncatedBody)
{
    expectNotConnected([&] {
        StandInServer::Script cut;
        cut.body = resultPage("half");
        cut.truncate = true;
        server.setScript(cut);
    });
}

TEST_F(FailedFetch, OversizeBody)
{
    expectNotConnected([&] { server.setPage(QByteArray(64 * 1024 + 1, 'x')); });
}

TEST_F(FailedFetch, OversizeBodyWithoutLength)
{
    // Nothing announced: the limit holds on what arrives.
    expectNotConnected([&] {
        StandInServer::Script unannounced;
        unannounced.body = QByteArray(200 * 1024, 'y');
        unannounced.noLength = true;
        server.setScript(unannounced);
    });
}

TEST_F(FailedFetch, RedirectLoop)
{
    expectNotConnected([&] { server.setRedirectLoop(); });
}

TEST_F(FailedFetch, SixRedirectsAreOneTooMany)
{
    expectNotConnected([&] {
        server.setRedirect(QByteArrayLiteral("/r1"));
        for (int i = 1; i <= 5; ++i) {
            StandInServer::Script hop;
            hop.status = 302;
            hop.location = "/r" + QByteArray::number(i + 1);
            server.setRoute("/r" + QByteArray::number(i), hop);
        }
        StandInServer::Script end;
        end.body = resultPage("too far");
        server.setRoute("/r6", end);
    });
    EXPECT_FALSE(server.distinctTargets().contains("/r6"));
}

TEST_F(FailedFetch, RedirectToHttpsIsTriedButTheHandshakeMustSucceed)
{
    // The move to https is followed; plain HTTP behind it cannot pass the TLS check.
    expectNotConnected([&] { server.setRedirect(server.url("/tls").replace("http:", "https:")); });
    EXPECT_EQ(server.tlsAttempts(), 1);
}

TEST_F(RequestTest, UnwritableScratchFolderStillShowsTheTranslation)
{
    QFile blocker(dir.filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (const QString &path : {dir.filePath(QStringLiteral("not-a-folder/Verz.txt")), QString()}) {
        TranslationRequest request(server.host(), path);
        server.setPage(resultPage("fine"));
        form.output = QStringLiteral("earlier ");
        request.translate(form);
        EXPECT_EQ(form.output, QStringLiteral("earlier \r\nfine ")) << path.toStdString();
        EXPECT_TRUE(form.translateEnabled);
    }
}

TEST_F(RequestTest, AnotherWindowsPageUnderTheSameNameIsNeverShown)
{
    // Two windows, one scratch name: A's service hangs while B translates.
    StandInServer hanging;
    StandInServer::Script hang;
    hang.hang = true;
    hanging.setScript(hang);
    TranslationRequest windowA(hanging.host(), scratch());
    windowA.setTransferLimits(300, 64 * 1024);
    const auto windowB = makeRequest();
    server.setPage(resultPage("page of B"));
    FakeForm formB;
    form.onBusy = [&] { QTimer::singleShot(0, [&] { windowB->translate(formB); }); };
    windowA.translate(form);
    EXPECT_EQ(formB.output, QStringLiteral("page of B "));
    EXPECT_EQ(form.output, QStringLiteral("Non Connecté"));
}

TEST_F(RequestTest, RedirectsUpToFiveAreFollowed)
{
    server.setRedirect(QByteArrayLiteral("/r1"));
    for (int i = 1; i <= 4; ++i) {
        StandInServer::Script hop;
        hop.status = 302;
        hop.body = QByteArrayLiteral("redirect body ") + QByteArray::number(i);
        hop.location = "/r" + QByteArray::number(i + 1);
        server.setRoute("/r" + QByteArray::number(i), hop);
    }
    StandInServer::Script end;
    end.body = resultPage("arrived");
    server.setRoute("/r5", end);
    makeRequest()->translate(form);
    EXPECT_EQ(form.output, QStringLiteral("arrived "));
    const QList<QByteArray> expected = {
        "/translate_t?text=&langpair=en%7Cfr", "/r1", "/r2", "/r3", "/r4", "/r5"};
    EXPECT_EQ(server.distinctTargets(), expected);
    QFile file(scratch());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), resultPage("arrived"));
}

TEST_F(RequestTest, BodyEndingWithTheConnectionIsAPage)
{
    StandInServer::Script unannounced;
    unannounced.body = resultPage("sans longueur");
    unannounced.noLength = true;
    server.setScript(unannounced);
    makeRequest()->translate(form);
    EXPECT_EQ(form.output, QStringLiteral("sans longueur "));
}

TEST_F(RequestTest, EmptyPageGivesAnEmptyTranslation)
{
    server.setPage(QByteArray());
    makeRequest()->translate(form);
    EXPECT_EQ(form.output, QStringLiteral(" "));
    EXPECT_TRUE(form.translateEnabled);
}

TEST_F(RequestTest, BinaryGarbageGivesAnEmptyTranslation)
{
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919 + 13) % 256));
    server.setPage(garbage);
    form.output = QStringLiteral("earlier ");
    makeRequest()->translate(form);
    EXPECT_EQ(form.output, QStringLiteral("earlier \r\n "));
}

TEST_F(RequestTest, ScratchFileThatVanishedBeforeReadingGivesAnEmptyTranslation)
{
    const auto request = makeRequest();
    QFile::remove(scratch());
    request->ReadTranslation(form);
    EXPECT_EQ(form.output, QStringLiteral(" "));
    EXPECT_TRUE(form.translateEnabled);
}

// --- one request at a time, and closing mid-request ---------------------------

TEST_F(RequestTest, SecondClickWhileRunningDoesNothing)
{
    StandInServer::Script slow;
    slow.body = resultPage("first");
    slow.delayMs = 200;
    server.setScript(slow);
    const auto request = makeRequest();
    FakeForm other;
    other.output = QStringLiteral("untouched");
    bool wasRunning = false;
    // The answer waits 200 ms after arrival; the check is due first.
    form.onBusy = [&] {
        onArrival(server, [&] {
            wasRunning = request->isRunning();
            request->translate(other);
            EXPECT_FALSE(request->DownloadPage(QString::fromLatin1(server.url("/x")), scratch()));
        });
    };
    request->translate(form);
    EXPECT_TRUE(wasRunning);
    EXPECT_FALSE(request->isRunning());
    EXPECT_EQ(other.output, QStringLiteral("untouched"));
    EXPECT_EQ(other.disableCount, 0);
    EXPECT_EQ(form.output, QStringLiteral("first "));
    EXPECT_EQ(server.requests().size(), 1);
}

TEST_F(RequestTest, AbortMidRequestLeavesNoFileAndNoOutput)
{
    StandInServer::Script hang;
    hang.hang = true;
    server.setScript(hang);
    auto request = std::make_unique<TranslationRequest>(server.host(), scratch());
    form.output = QStringLiteral("earlier ");
    form.onBusy = [&] { onArrival(server, [&] { request->abort(); }); };
    request->translate(form);
    EXPECT_FALSE(request->isRunning());
    EXPECT_FALSE(QFile::exists(scratch()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(form.output, QStringLiteral("earlier "));
    EXPECT_EQ(form.busyEnds, 1);
}

TEST_F(RequestTest, RequestDestroyedMidDownloadReturnsQuietly)
{
    StandInServer::Script hang;
    hang.hang = true;
    server.setScript(hang);
    auto *request = new TranslationRequest(server.host(), scratch());
    form.onBusy = [&] { onArrival(server, [&] { delete request; }); };
    request->translate(form);
    EXPECT_FALSE(QFile::exists(scratch()));
    EXPECT_EQ(form.busyEnds, 0);
}

}  // namespace
}  // namespace verz
