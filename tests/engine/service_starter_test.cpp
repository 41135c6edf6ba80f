// A refused default service is started and asked once more; anything else
// ends in "Non Connecté" without a start, and a start that fails does not hang.
#include "engine/service_starter.h"
#include "engine/translation_request.h"
#include "fake_form.h"
#include "stand_in_server.h"
#include "toolkit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace verz {
namespace {

using test::FakeForm;

// A stand-in for verzolan-service: notes its arguments and its pid, then
// serves one result page on the port it is given, as the real one would.
constexpr char kServingScript[] =
    "#!/bin/sh\n"
    "echo \"$$ $*\" > \"$(dirname \"$0\")/started\"\n"
    "exec /usr/bin/python3 -c '\n"
    "import http.server, sys\n"
    "class H(http.server.BaseHTTPRequestHandler):\n"
    "    def do_GET(self):\n"
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
    QString started() const
    {
        QFile file(dir.filePath(QStringLiteral("started")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    }

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
}

}  // namespace
}  // namespace verz
