// A refused default service is started and asked once more; anything else
// ends in "Non Connecté" without a start, and a start that fails does not hang.
// The window's warm-up starts it the same way, and a click meanwhile waits for
// that start.
#include "engine/service_starter.h"
#include "engine/service_warmer.h"
#include "engine/translation_request.h"
#include "fake_form.h"
#include "stand_in_server.h"
#include "toolkit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace verz {
namespace {

using test::FakeForm;

// A stand-in for verzolan-service: notes its arguments and its pid (a line a
// start), then serves one result page on the port it is given, as the real
// one would, noting the targets it is asked for.
constexpr char kServingScript[] =
    "#!/bin/sh\n"
    "echo \"$$ $*\" >> \"$(dirname \"$0\")/started\"\n"
    "cd \"$(dirname \"$0\")\"\n"
    "exec /usr/bin/python3 -c '\n"
    "import http.server, sys\n"
    "class H(http.server.BaseHTTPRequestHandler):\n"
    "    def do_GET(self):\n"
    "        open(\"targets\", \"a\").write(self.path + \"\\n\")\n"
    "        body = b\"<div id=result_box dir=\\\"ltr\\\">Bonjour</div>\"\n"
    "        self.send_response(200); self.send_header(\"Content-Length\", str(len(body)))\n"
    "        self.end_headers(); self.wfile.write(body)\n"
    "http.server.HTTPServer((\"127.0.0.1\", int(sys.argv[1])), H).serve_forever()\n"
    "' \"$2\"\n";

class StarterTest : public ::testing::Test {
protected:
    QString write(const char *name, const QByteArray &text, bool executable)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        if (executable)
            file.setPermissions(file.permissions() | QFile::ExeOwner);
        return path;
    }
    void click(const QString &host, QStringList candidates, quint16 port, int timeoutMs = 10000)
    {
        TranslationRequest request(host, dir.filePath(QStringLiteral("Verz.txt")));
        request.setTransferLimits(timeoutMs, 64 * 1024);
        request.setServiceStarter(
            std::make_shared<ServiceStarter>(std::move(candidates), port, dir.filePath(u"log"_qs)));
        form.output.clear();
        request.translate(form);
    }
    QString read(const char *name) const
    {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    }
    QString started() const { return read("started"); }

    QTemporaryDir dir;
    FakeForm form;
};

TEST_F(StarterTest, RefusedRequestStartsTheFirstExecutableDetachedAndIsSentOnceMore)
{
    const quint16 port = test::FreePort();
    const QString notExecutable = write("plain", "#!/bin/sh\nexit 0\n", false);
    const QString service = write("verzolan-service", kServingScript, true);
    form.input = QStringLiteral("Hello");
    click(QStringLiteral("127.0.0.1:%1").arg(port),
          {dir.filePath(QStringLiteral("missing")), notExecutable, service}, port);

    EXPECT_EQ(form.output, QStringLiteral("Bonjour "));
    EXPECT_EQ(form.busyStarts, 1);
    EXPECT_EQ(form.busyEnds, 1);
    const QStringList words = started().split(u' ');
    ASSERT_GE(words.size(), 5) << started().toStdString();
    EXPECT_EQ(words.mid(1).join(u' '), QStringLiteral("--port %1 --idle-exit 600").arg(port));
    // Not tied to us: a session of its own.
    const pid_t pid = pid_t(words.first().toLongLong());
    EXPECT_NE(::getsid(pid), ::getsid(0));
    ::kill(pid, SIGTERM);
}

TEST_F(StarterTest, NoStartWithoutRefusalAndNoHangWhenTheStartFails)
{
    const QString marking = write(
        "verzolan-service", "#!/bin/sh\necho x > \"$(dirname \"$0\")/started\"\nexit 1\n", true);

    // Something else answers on the port: its 404 is the end of it.
    test::StandInServer other;
    test::StandInServer::Script notFound;
    notFound.status = 404;
    other.setScript(notFound);
    click(other.host(), {marking}, other.port());
    EXPECT_EQ(form.output, QStringLiteral("Non Connecté"));
    EXPECT_TRUE(started().isEmpty());

    // Refused, and nothing to start.
    const quint16 port = test::FreePort();
    click(QStringLiteral("127.0.0.1:%1").arg(port), {dir.filePath(QStringLiteral("missing"))},
          port);
    EXPECT_EQ(form.output, QStringLiteral("Non Connecté"));

    // Refused, and the service ends at once: answered long before the deadline.
    QElapsedTimer clock;
    clock.start();
    click(QStringLiteral("127.0.0.1:%1").arg(port), {marking}, port, 15000);
    EXPECT_EQ(form.output, QStringLiteral("Non Connecté"));
    EXPECT_FALSE(started().isEmpty());
    EXPECT_LT(clock.elapsed(), 7500) << "waited for a service that had ended";

    // A warm-up meeting another program on the port starts nothing either.
    const auto starter = std::make_shared<ServiceStarter>(QStringList{marking}, other.port(),
                                                          dir.filePath(u"log"_qs));
    QFile::remove(dir.filePath(QStringLiteral("started")));
    ServiceWarmer warmer(other.host(), starter);
    warmer.warm(QStringLiteral("fr|en"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.requests().size() == 2; }, 5000));
    EXPECT_EQ(other.requests().last().target, QByteArrayLiteral("/warm?langpair=fr%7Cen"));
    QTest::qWait(200);
    EXPECT_EQ(starter->launches(), 0);
    EXPECT_TRUE(started().isEmpty());
}

TEST_F(StarterTest, WarmUpStartsTheServiceAndAClickMeanwhileWaitsForThatSameStart)
{
    const quint16 port = test::FreePort();
    const QString host = QStringLiteral("127.0.0.1:%1").arg(port);
    const auto starter = std::make_shared<ServiceStarter>(
        QStringList{write("verzolan-service", kServingScript, true)}, port,
        dir.filePath(u"log"_qs));
    ServiceWarmer warmer(host, starter);
    TranslationRequest request(host, dir.filePath(QStringLiteral("Verz.txt")));
    request.setServiceStarter(starter);

    warmer.warm(QStringLiteral("en|fr"));
    form.input = QStringLiteral("Hello");
    request.translate(form);  // refused as well, while the warm-up's start runs
    EXPECT_EQ(form.output, QStringLiteral("Bonjour "));
    // Once the service listens, the warm-up is sent again.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return read("targets").contains(u"/warm?langpair=en%7Cfr"); }, 5000))
        << read("targets").toStdString();
    const QStringList starts = started().split(u'\n');
    EXPECT_EQ(starts.size(), 1) << started().toStdString();
    EXPECT_EQ(starter->launches(), 1);
    ::kill(pid_t(starts.first().section(u' ', 0, 0).toLongLong()), SIGTERM);
}

}  // namespace
}  // namespace verz
