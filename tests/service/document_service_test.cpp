// POST /translate_doc against an APy stand-in that marks each document with
// the leg it went through: routes, names, retries, and every bad input.
#include "../docs/zip_writer.h"
#include "http/upload_spool.h"
#include "service/private_scratch.h"
#include "service/recorded_apy.h"
#include "service/route_table.h"
#include "service/service_harness.h"
#include "service/text_endpoints.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <tuple>

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

QByteArray Member(const QByteArray &zip, const char *name)
{
    QByteArray found;
    UnpackZip(zip, [&](const ZipEntry &entry, const QByteArray &content) {
        if (entry.name == QLatin1String(name))
            found = content;
        return true;
    });
    return found;
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
        TextEndpoints::Options options;
        options.translator.apyTimeoutMs = 2000;
        options.documents.timeoutMs = 5000;
        options.documents.retryMs = 50;
        service_ = std::make_unique<TextEndpoints>(options);
        ASSERT_TRUE(service_->listen(QHostAddress::LocalHost, 0));
        service_->translator().apy().use({apy_.url()}, test::kRecordedListPairs);
    }

    RawClient::Response send(const QByteArray &bytes)
    {
        RawClient client(service_->port());
        return client.exchange(bytes);
    }

    test::FakeApy apy_{test::kRecordedListPairs};
    std::unique_ptr<TextEndpoints> service_;
};

TEST_F(DocumentsOverFakeApy, DocumentsTakeTheTextRouteAndComeBackNamedInTheirFormat)
{
    QStringList observed;  // what the figures for administrators count it under
    service_->http().observeAnswers([&](const QString &route, int status, qint64) {
        observed.append(route + u' ' + QString::number(status));
    });
    const QByteArray odt = Odt("<office:text><text:p>Bonjour</text:p></office:text>");
    apy_.documentFailures = 1;  // a fault of APy on the way is tried again
    const RawClient::Response answer = send(Post(Form(odt, "fr|en", "lettre.odt")));
    ASSERT_EQ(answer.status, 200) << answer.body.constData();
    EXPECT_EQ(observed, QStringList{QStringLiteral("/translate_doc 200")});
    const QStringList legs =
        RouteTable::FromListPairs(test::kRecordedListPairs)->routeFor(u"fra"_qs, u"eng"_qs).legs;
    QByteArray expected = "<office:text><text:p>Bonjour</text:p></office:text>";
    for (const QString &leg : legs)  // each leg reads what the one before wrote
        expected.prepend('[' + leg.toUtf8() + ']');
    EXPECT_EQ(Member(answer.body, "content.xml"), expected);
    // Repacked as OpenDocument wants: its type first, stored, at offset 38.
    EXPECT_EQ(answer.body.mid(30, 8), "mimetype");
    EXPECT_EQ(answer.body.mid(38, 39), "application/vnd.oasis.opendocument.text");
    EXPECT_EQ(apy_.documentCalls, legs.size() + 1);
    EXPECT_EQ(apy_.documentFormats.value(0), "odt");
    EXPECT_EQ(Field(answer.head, "Content-Type"), "application/vnd.oasis.opendocument.text");
    EXPECT_EQ(Field(answer.head, "Content-Disposition"), "attachment; filename=\"lettre.en.odt\"");

    // Named as .docx, still an odt; and the name's folders never come back.
    const RawClient::Response renamed = send(Post(Form(odt, "en|es", "../../x/été.docx")));
    EXPECT_EQ(Field(renamed.head, "Content-Disposition"),
              "attachment; filename=\"_t_.es.odt\"; filename*=UTF-8''%C3%A9t%C3%A9.es.odt");

    // An old writer's DOCTYPE naming a DTD is cut out; the rest goes on.
    const QByteArray named = MakeZip(
        {{"mimetype", "application/vnd.oasis.opendocument.text", false},
         {"content.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE office:document-content PUBLIC "
                         "\"-//x//DTD y//EN\" \"office.dtd\"><text:p>Hi</text:p>"}});
    const RawClient::Response cut = send(Post(Form(named, "en|es", "n.odt")));
    ASSERT_EQ(cut.status, 200) << cut.body.constData();
    EXPECT_EQ(Member(cut.body, "content.xml"),
              "[eng|spa]<?xml version=\"1.0\"?>\n<text:p>Hi</text:p>");

    // Nothing to translate: the very bytes back, APy never asked.
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
    auto odtWith = [](const test::ZipMember &extra) {
        return MakeZip({{"mimetype", "application/vnd.oasis.opendocument.text", false},
                        {"content.xml", "<text:p>Hello</text:p>"},
                        extra});
    };
    // An encrypted docx: an OLE compound file naming its enciphered package.
    const QByteArray lockedDocx =
        QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0') +
        QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
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
        {"a password-protected docx", Post(Form(lockedDocx, "en|es", "p.docx")), 422},
        {"a link member",
         Post(Form(odtWith({"Pictures/styles.xml", "/etc/hostname", false, false, -1, 0120777}),
                   "en|es", "l.odt")),
         415},
        {"a device member",
         Post(Form(odtWith({"dev", "", false, false, -1, 0020644}), "en|es", "d.odt")), 415},
        {"a folder named like a part",
         Post(Form(odtWith({"Pictures/content.xml/", "", false}), "en|es", "f.odt")), 422},
        {"a file where a folder is",
         Post(Form(odtWith({"content.xml/x.png", "x"}), "en|es", "f.odt")), 422},
        {"a name leading out", Post(Form(odtWith({"../../x.xml", "<a/>"}), "en|es", "s.odt")), 422},
        {"an absolute name", Post(Form(odtWith({"/tmp/x.xml", "<a/>"}), "en|es", "s.odt")), 422},
        {"a member twice", Post(Form(odtWith({"content.xml", "<b/>"}), "en|es", "s.odt")), 422},
        {"an external entity",
         Post(
             Form(odtWith({"styles.xml", "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY % pe SYSTEM "
                                         "\"http://127.0.0.1:9/pe\"> %pe;]><x/>"}),
                  "en|es", "x.odt")),
         422},
        {"an entity without a DOCTYPE",
         Post(Form(odtWith({"meta.xml", "<!ENTITY a 'b'><x/>"}), "en|es", "x.odt")), 422},
        {"a member in UTF-16",
         Post(
             Form(odtWith({"meta.xml", QByteArray("\xFF\xFE<\0x\0/\0>\0", 10)}), "en|es", "x.odt")),
         422},
        {"a member in UTF-7",
         Post(Form(odtWith({"meta.xml", "<?xml version=\"1.0\" encoding=\"UTF-7\"?>+ADw-x/+AD4-"}),
                   "en|es", "x.odt")),
         422},
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

TEST_F(DocumentsOverFakeApy, PostsFromAnotherSiteAreRefusedAndTheServicesOwnPass)
{
    const QByteArray form = Form(Odt("<text:p>Hello</text:p>"), "en|es", "l.odt");
    auto post = [](const QByteArray &path, const QByteArray &fields, const QByteArray &type,
                   const QByteArray &body) {
        return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1:8787\r\n" + fields +
               "Content-Type: " + type + "\r\nContent-Length: " + QByteArray::number(body.size()) +
               "\r\n\r\n" + body;
    };
    const QByteArray multipart = "multipart/form-data; boundary=b0uNd";
    const QByteArray urlencoded = "application/x-www-form-urlencoded";
    const QByteArray text = "text=Hello&langpair=en%7Ces";
    struct Case {
        const char *what;
        QByteArray fields;
        int status;
    };
    const QList<Case> cases = {
        {"another site", "Origin: http://evil.example\r\nSec-Fetch-Site: cross-site\r\n", 403},
        {"another site, Origin only", "Origin: http://evil.example\r\n", 403},
        {"another port of this machine", "Origin: http://127.0.0.1:8080\r\n", 403},
        {"same site, another origin", "Sec-Fetch-Site: same-site\r\n", 403},
        {"a sandboxed frame", "Origin: null\r\n", 403},
        {"a sandboxed frame, as a browser says it",
         "Origin: null\r\nSec-Fetch-Site: cross-site\r\n", 403},
        // The home page hides its address from where it links (no referrer),
        // so its own forms go with Origin "null"; the browser still says same-origin.
        {"the home page's form", "Origin: null\r\nSec-Fetch-Site: same-origin\r\n", 200},
        {"the home page itself", "Origin: http://127.0.0.1:8787\r\nSec-Fetch-Site: same-origin\r\n",
         200},
        {"a command line", "", 200},
    };
    for (const Case &c : cases) {
        for (const auto &[path, type, body] :
             {std::tuple{QByteArray("/translate_doc"), multipart, form},
              std::tuple{QByteArray("/translate_t"), urlencoded, text},
              std::tuple{QByteArray("/"), urlencoded, text}}) {
            const RawClient::Response answer = send(post(path, c.fields, type, body));
            EXPECT_EQ(answer.status, c.status)
                << c.what << " " << path.constData() << ": " << answer.body.constData();
            if (c.status == 403) {
                EXPECT_TRUE(answer.body.contains("autre page")) << answer.body.constData();
            }
        }
    }
}

TEST(DocumentsWaitingForApy, GoOnWhenItComesOrGiveUpAfterTheServicesTimeout)
{
    test::FakeApy apy(test::kRecordedListPairs);
    TextEndpoints::Options options;
    options.translator.apyTimeoutMs = 20000;
    TextEndpoints patient(options);
    ASSERT_TRUE(patient.listen(QHostAddress::LocalHost, 0));
    patient.translator().apy().expect();
    // A document and a text wait for the same APy and go on together once it is there.
    RawClient document(patient.port());
    RawClient text(patient.port());
    std::optional<RawClient::Response> documentAnswer;
    std::optional<RawClient::Response> textAnswer;
    document.send(Post(Form(Odt("<text:p>Hello</text:p>"), "en|es", "l.odt")),
                  [&](const RawClient::Response &answer) { documentAnswer = answer; });
    text.send(RawClient::Get(test::TranslateTarget(QStringLiteral("hi"), "en|es")),
              [&](const RawClient::Response &answer) { textAnswer = answer; });
    ASSERT_TRUE(test::WaitUntil([&] { return patient.translator().apy().waiting() == 2; }));
    patient.translator().apy().use({apy.url()}, test::kRecordedListPairs);
    ASSERT_TRUE(test::WaitUntil([&] { return documentAnswer && textAnswer; }));
    EXPECT_EQ(documentAnswer->status, 200) << documentAnswer->body.constData();
    EXPECT_EQ(textAnswer->status, 200);
    EXPECT_EQ(apy.documentCalls, 1);

    options.translator.apyTimeoutMs = 300;
    TextEndpoints service(options);
    ASSERT_TRUE(service.listen(QHostAddress::LocalHost, 0));
    service.translator().apy().expect();  // APy is starting and never comes
    QElapsedTimer clock;
    clock.start();
    RawClient client(service.port());
    const RawClient::Response answer =
        client.exchange(Post(Form(Odt("<text:p>Hello</text:p>"), "en|es", "l.odt")));
    EXPECT_EQ(answer.status, 503) << answer.body.constData();
    // The default wait is 12 s; this one 0.3 s, with room for a loaded machine.
    EXPECT_LT(clock.elapsed(), 8000);
}

}  // namespace
}  // namespace verz
