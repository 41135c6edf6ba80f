// POST /translate_doc against an APy stand-in that marks each document with
// the leg it went through: routes, names, retries, and every bad input.
#include "../docs/zip_writer.h"
#include "http/upload_spool.h"
#include "service/private_scratch.h"
#include "service/recorded_apy.h"
#include "service/route_table.h"
#include "service/service_harness.h"
#include "service/translation_service.h"

#include <QDir>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <memory>

namespace verz {
namespace {

using test::MakeZip;
using test::RawClient;

QByteArray Form(const QByteArray &file, const QByteArray &pair, const QByteArray &name)
{
    return "--b0uNd\r\nContent-Disposition: form-data; name=\"langpair\"\r\n\r\n" + pair +
           "\r\n--b0uNd\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + name +
           "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + file + "\r\n--b0uNd--\r\n";
}

QByteArray Post(const QByteArray &body,
                const QByteArray &type = "multipart/form-data; boundary=b0uNd")
{
    return "POST /translate_doc HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray Odt(const QByteArray &content)
{
    return MakeZip({{"mimetype", "application/vnd.oasis.opendocument.text", false},
                    {"content.xml", content},
                    {"META-INF/manifest.xml", "<manifest:manifest/>"}});
}

QByteArray Field(const QByteArray &head, const char *name)
{
    for (const QByteArray &line : head.split('\n'))
        if (line.toLower().startsWith(QByteArray(name).toLower() + ':'))
            return line.mid(qstrlen(name) + 1).trimmed();
    return {};
}

// Files left in the service's private folder (our own APy's folder aside).
QStringList LeftOver()
{
    return QDir(PrivateScratchFolder()).entryList(QDir::Files | QDir::Hidden);
}

class DocumentsOverFakeApy : public ::testing::Test {
protected:
    void SetUp() override
    {
        TranslationService::Options options;
        options.apyTimeoutMs = 2000;
        options.documents.timeoutMs = 5000;
        options.documents.retryMs = 50;
        service_ = std::make_unique<TranslationService>(options);
        ASSERT_TRUE(service_->listen(QHostAddress::LocalHost, 0));
        service_->translator().setApy(apy_.url(),
                                      *RouteTable::FromListPairs(test::kRecordedListPairs));
    }

    RawClient::Response send(const QByteArray &bytes)
    {
        RawClient client(service_->port());
        return client.exchange(bytes);
    }

    test::FakeApy apy_{test::kRecordedListPairs};
    std::unique_ptr<TranslationService> service_;
};

TEST_F(DocumentsOverFakeApy, DocumentsTakeTheTextRouteAndComeBackNamedInTheirFormat)
{
    QStringList observed;  // what the figures for administrators count it under
    service_->http().observeAnswers([&](const QString &route, int status, qint64) {
        observed.append(route + u' ' + QString::number(status));
    });
    const QByteArray odt = Odt("<office:text><text:p>Bonjour</text:p></office:text>");
    apy_.documentFailures = 1;  // an engine fault on the way is tried again
    const RawClient::Response answer = send(Post(Form(odt, "fr|en", "lettre.odt")));
    ASSERT_EQ(answer.status, 200) << answer.body.constData();
    EXPECT_EQ(observed, QStringList{QStringLiteral("/translate_doc 200")});
    const QStringList legs =
        RouteTable::FromListPairs(test::kRecordedListPairs)->routeFor(u"fra"_qs, u"eng"_qs).legs;
    QByteArray expected = odt;
    for (const QString &leg : legs)  // each leg reads what the one before wrote
        expected.prepend('[' + leg.toUtf8() + ']');
    EXPECT_EQ(answer.body, expected);
    EXPECT_EQ(apy_.documentCalls, legs.size() + 1);
    EXPECT_EQ(apy_.documentFormats.value(0), "odt");
    EXPECT_EQ(Field(answer.head, "Content-Type"), "application/vnd.oasis.opendocument.text");
    EXPECT_EQ(Field(answer.head, "Content-Disposition"), "attachment; filename=\"lettre.en.odt\"");

    // Named as .docx, still an odt; and the name's folders never come back.
    const RawClient::Response renamed = send(Post(Form(odt, "en|es", "../../x/été.docx")));
    EXPECT_EQ(Field(renamed.head, "Content-Disposition"),
              "attachment; filename=\"_t_.es.odt\"; filename*=UTF-8''%C3%A9t%C3%A9.es.odt");

    // Nothing to translate: the very bytes back, the engine never asked.
    const int calls = apy_.documentCalls;
    const QByteArray empty = Odt("<office:text><text:p/><draw:frame/></office:text>");
    const RawClient::Response same = send(Post(Form(empty, "en|es", "vide.odt")));
    EXPECT_EQ(same.status, 200);
    EXPECT_EQ(same.body, empty);
    EXPECT_EQ(apy_.documentCalls, calls);
    EXPECT_TRUE(LeftOver().isEmpty()) << LeftOver().join(u' ').toStdString();
}

TEST_F(DocumentsOverFakeApy, BadInputsGetAFrenchFourHundredAndLeaveNothingBehind)
{
    QByteArray random(4096, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(random.data()), 1024);
    const QByteArray odt = Odt("<text:p>Hello</text:p>");
    const QByteArray bomb = MakeZip(
        {{"mimetype", "application/vnd.oasis.opendocument.text", false},
         {"content.xml", QByteArray(4096, 'a'), true, false, qint64(3) * 1024 * 1024 * 1024 / 4}});
    const QByteArray locked =
        MakeZip({{"mimetype", "application/vnd.oasis.opendocument.text", false},
                 {"content.xml", "\x01\x02"},
                 {"META-INF/manifest.xml", "<manifest:encryption-data manifest:checksum=\"x\"/>"}});
    const QByteArray twoFiles = "--b0uNd\r\nContent-Disposition: form-data; name=\"file\"; "
                                "filename=\"a.txt\"\r\n\r\nun\r\n" +
                                Form("deux", "en|es", "b.txt");
    struct Case {
        const char *what;
        QByteArray request;
        int status;
    };
    const QList<Case> cases = {
        {"random bytes named .docx", Post(Form(random, "en|es", "r.docx")), 415},
        {"a zip that is no document", Post(Form(MakeZip({{"a.txt", "x"}}), "en|es", "a.zip")), 415},
        {"a truncated zip", Post(Form(odt.first(odt.size() - 30), "en|es", "t.odt")), 422},
        {"a zip bomb", Post(Form(bomb, "en|es", "b.odt")), 413},
        {"a password-protected odt", Post(Form(locked, "en|es", "p.odt")), 422},
        {"an empty file", Post(Form({}, "en|es", "e.odt")), 400},
        {"a German pair", Post(Form(odt, "de|fr", "l.odt")), 422},
        {"no boundary", Post(Form(odt, "en|es", "l.odt"), "multipart/form-data"), 400},
        {"two file fields", Post(twoFiles), 400},
        {"cut off mid-way", Post(Form(odt, "en|es", "l.odt").chopped(40)), 400},
        {"50 MiB announced",
         "POST /translate_doc HTTP/1.1\r\nHost: 127.0.0.1\r\n"
         "Content-Type: multipart/form-data; boundary=b0uNd\r\n"
         "Content-Length: 52428800\r\n\r\n",
         413},
        {"a GET", RawClient::Get("/translate_doc"), 405},
    };
    for (const Case &c : cases) {
        const RawClient::Response answer = send(c.request);
        EXPECT_EQ(answer.status, c.status) << c.what << ": " << answer.body.constData();
        // In French, not the room's English.
        static const QRegularExpression french(u"\\b(le|la|les|un|une|de|du|au|par|pas|sa)\\b"_qs,
                                               QRegularExpression::CaseInsensitiveOption);
        EXPECT_TRUE(QString::fromUtf8(answer.body).contains(french))
            << c.what << ": " << answer.body.constData();
        EXPECT_TRUE(LeftOver().isEmpty()) << c.what;
    }
    EXPECT_EQ(apy_.documentCalls, 0);

    // Past 10 MiB without announcing it: cut short at the cap, chunk by chunk.
    RawClient chunked(service_->port());
    QByteArray stream = "POST /translate_doc HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                        "Content-Type: multipart/form-data; boundary=b0uNd\r\n"
                        "Transfer-Encoding: chunked\r\n\r\n";
    const QByteArray chunk(1024 * 1024, 'x');
    for (int i = 0; i < 11; ++i)
        stream += "100000\r\n" + chunk + "\r\n";
    const RawClient::Response tooLarge = chunked.exchange(stream + "0\r\n\r\n");
    EXPECT_EQ(tooLarge.status, 413) << tooLarge.body.constData();
    EXPECT_TRUE(LeftOver().isEmpty());
}

TEST_F(DocumentsOverFakeApy, ASlowOrDepartingUploaderBlocksNobodyAndLeavesNoFile)
{
    const QByteArray odt = Odt("<text:p>Hello</text:p>");
    const QByteArray whole = Post(Form(odt, "en|es", "l.odt"));
    auto slow = std::make_unique<QTcpSocket>();
    slow->connectToHost(QHostAddress::LocalHost, service_->port());
    slow->write(whole.first(whole.size() / 2));
    // Spooled to an unnamed file of the private folder: none to see, one alive.
    ASSERT_TRUE(test::WaitUntil([] { return UploadSpool::Live() == 1; }));
    // Meanwhile others are served.
    EXPECT_EQ(send(whole).status, 200);
    const RawClient::Response text = send(RawClient::Get("/translate_t?text=x&langpair=en|es"));
    EXPECT_EQ(text.status, 200) << text.head.constData() << text.body.constData();
    slow->abort();
    slow.reset();
    EXPECT_TRUE(test::WaitUntil([] { return UploadSpool::Live() == 0; }));
    EXPECT_TRUE(LeftOver().isEmpty());
}

}  // namespace
}  // namespace verz
