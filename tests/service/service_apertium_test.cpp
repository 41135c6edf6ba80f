// Against the real APy with Debian's pair packages: the routes it lists, a
// translation for every routed pair through the program's reader, and a
// restart after APy dies. One APy start for the whole binary.
#include "apy/apy_client.h"
#include "apy/apy_supervisor.h"
#include "engine/page_reader.h"
#include "service/route_table.h"
#include "service/service_harness.h"
#include "service/text_endpoints.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <csignal>
#include <cstdio>

namespace verz {
namespace {

using test::RawClient;

class RealApy : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!ApySupervisor::ApyInstalled())
            return;
        supervisor_ = new ApySupervisor(ApySupervisor::Options{});
        // A deadline of its own, far past the usual: on a loaded machine a
        // cold two-leg route takes longer, and what is tested is the routes.
        TextEndpoints::Options options;
        options.translator.apyTimeoutMs = 60000;
        service_ = new TextEndpoints(options);
        service_->listen(QHostAddress::LocalHost, 0);
        QObject::connect(
            supervisor_, &ApySupervisor::ready, service_,
            [](const QUrl &url, const QByteArray &pairs) {
                listPairs_ = pairs;
                service_->translator().apy().use({url, supervisor_->accessKey()}, pairs);
            });
        QObject::connect(supervisor_, &ApySupervisor::lost, service_,
                         [] { service_->translator().apy().clear(); });
        supervisor_->start();
        test::WaitUntil([] { return supervisor_->isReady(); }, 30000);
    }

    static void TearDownTestSuite()
    {
        delete service_;
        delete supervisor_;
        service_ = nullptr;
        supervisor_ = nullptr;
    }

    void SetUp() override
    {
        if (!ApySupervisor::ApyInstalled())
            GTEST_SKIP() << "apertium-apy is not installed";
        ASSERT_TRUE(supervisor_->isReady());
    }

    static QString translated(const QString &text, const char *langpair, int *status = nullptr)
    {
        RawClient client(service_->port());
        const RawClient::Response response =
            client.exchange(RawClient::Get(test::TranslateTarget(text, langpair)), 90000);
        if (status)
            *status = response.status;
        return ExtractTranslation(response.body);
    }

    static ApySupervisor *supervisor_;
    static TextEndpoints *service_;
    static QByteArray listPairs_;
};

ApySupervisor *RealApy::supervisor_ = nullptr;
TextEndpoints *RealApy::service_ = nullptr;
QByteArray RealApy::listPairs_;

TEST_F(RealApy, ListsTheInstalledPairs)
{
    const RouteTable &routes = service_->translator().routes();
    for (const char *pair :
         {"fra spa", "spa fra", "eng spa", "spa eng", "por spa", "spa por", "ita spa", "spa ita"}) {
        const QStringList codes = QString::fromLatin1(pair).split(u' ');
        EXPECT_TRUE(routes.hasPair(codes.at(0), codes.at(1))) << pair;
    }
}

TEST_F(RealApy, EveryRoutedPairTranslates)
{
    const struct {
        const char *langpair;
        const char *text;
    } samples[] = {
        {"fr|es", "Le chat dort sur la table, près de la fenêtre."},
        {"es|fr", "El perro come en la cocina con su amigo."},
        {"en|es", "The house is big & the garden is green."},
        {"es|en", "La casa es grande y el jardín es verde."},
        {"en|fr", "The children are playing in the garden."},
        {"fr|en", "Bonjour, je suis très content de vous voir."},
        {"en|pt", "The book is on the table."},
        {"pt|en", "O livro está na mesa."},
        {"en|it", "The city is beautiful in the summer."},
        {"it|en", "La città è bella in estate."},
    };
    for (const auto &sample : samples) {
        int status = 0;
        const QString text = QString::fromUtf8(sample.text);
        const QString result = translated(text, sample.langpair, &status);
        EXPECT_EQ(status, 200) << sample.langpair;
        EXPECT_FALSE(result.trimmed().isEmpty()) << sample.langpair;
        EXPECT_NE(result, text) << sample.langpair;
        EXPECT_FALSE(result.contains(u'*')) << sample.langpair << ": unknown words are marked";
    }
    // No Apertium pair for German: the installed dictionaries answer, if any.
    const QString hallo = translated(QStringLiteral("Hallo"), "de|en");
    if (QFile::exists(QStringLiteral("/usr/share/dictd/freedict-deu-eng.index")))
        EXPECT_TRUE(hallo.contains(u"hello", Qt::CaseInsensitive)) << qUtf8Printable(hallo);
    else
        EXPECT_EQ(hallo, QStringLiteral("Allemand vers Anglais : paire non disponible hors ligne"));
}

// The pipeline's transducer loaders start on the quicker allocator; the
// tagger, which crashes on it, and APy itself stay on the C library's.
TEST_F(RealApy, OnlyTheLoadersGetTheQuickAllocator)
{
    const QStringList folders =
        QDir(QStringLiteral("/usr/lib")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (std::none_of(folders.begin(), folders.end(), [](const QString &folder) {
            return QFile::exists(QStringLiteral("/usr/lib/%1/libmimalloc.so.2").arg(folder));
        }))
        GTEST_SKIP() << "libmimalloc2.0 is not installed";
    ASSERT_FALSE(translated(QStringLiteral("The cat sleeps."), "en|es").isEmpty());
    const QByteArray group = QByteArray::number(supervisor_->processId());
    QMap<QByteArray, int> quick, plain;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : pids) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid pgrp ...": the group is APy's own.
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('('), close = line.lastIndexOf(')');
        if (open < 0 || close < open || line.mid(close + 2).split(' ').value(2) != group)
            continue;
        QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
        if (!maps.open(QIODevice::ReadOnly))
            continue;
        const QByteArray name = line.mid(open + 1, close - open - 1);
        ++(maps.readAll().contains("libmimalloc") ? quick : plain)[name];
    }
    EXPECT_GE(quick.value("lt-proc"), 4) << "the eng-spa mode has four";
    EXPECT_EQ(plain.value("lt-proc"), 0);
    EXPECT_GE(quick.value("lrx-proc"), 1);
    EXPECT_GE(plain.value("apertium-tagger"), 1);
    EXPECT_EQ(quick.value("apertium-tagger"), 0);
    EXPECT_EQ(quick.value("python3"), 0);
}

TEST_F(RealApy, MarkupCharactersStayText)
{
    const QString result = translated(QStringLiteral("Tom & Jerry say <hello>"), "en|es");
    EXPECT_TRUE(result.contains(QStringLiteral("Tom & Jerry"))) << qUtf8Printable(result);
    EXPECT_TRUE(result.contains(u'<')) << qUtf8Printable(result);
}

TEST_F(RealApy, ComesBackAfterApyDies)
{
    const qint64 pid = supervisor_->processId();
    ASSERT_GT(pid, 0);
    ::kill(pid_t(pid), SIGKILL);
    ASSERT_TRUE(test::WaitUntil([&] { return !supervisor_->isReady(); }, 10000));
    int status = 0;
    translated(QStringLiteral("hola"), "es|en", &status);
    EXPECT_EQ(status, 503);
    ASSERT_TRUE(test::WaitUntil([&] { return supervisor_->isReady(); }, 30000));
    EXPECT_FALSE(translated(QStringLiteral("Buenos días"), "es|en", &status).isEmpty());
    EXPECT_EQ(status, 200);
}

TEST_F(RealApy, FrozenApyIsRestarted)
{
    const qint64 pid = supervisor_->processId();
    ASSERT_GT(pid, 0);
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(pid), SIGSTOP);
    const bool back = test::WaitUntil(
        [&] { return supervisor_->isReady() && supervisor_->processId() != pid; }, 30000);
    if (!back)
        ::kill(pid_t(pid), SIGCONT);
    ASSERT_TRUE(back);
    std::printf("frozen APy answering again after %lld ms\n", qlonglong(clock.elapsed()));
    int status = 0;
    EXPECT_FALSE(translated(QStringLiteral("Buenos días"), "es|en", &status).isEmpty());
    EXPECT_EQ(status, 200);
}

TEST_F(RealApy, OnlyTheServiceCanUseIt)
{
    auto status = [](const QByteArray &target, const QByteArray &key) {
        RawClient client(quint16(supervisor_->baseUrl().port()));
        QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
        if (!key.isEmpty())
            request += QByteArray(kApyKeyHeader) + ": " + key + "\r\n";
        return client.exchange(request + "\r\n").status;
    };
    const QByteArray key = supervisor_->accessKey();
    const QByteArray fetch = "/translatePage?langpair=eng|spa&url=http%3A%2F%2F127.0.0.1%3A1%2F";
    EXPECT_EQ(status("/listPairs", {}), 403);
    EXPECT_EQ(status("/listPairs", "not-the-key"), 403);
    EXPECT_EQ(status(fetch, {}), 403);
    EXPECT_EQ(status("/", {}), 403);
    EXPECT_EQ(status("/listPairs", key), 200);
    EXPECT_EQ(status(fetch, key), 404);  // not served at all
    // Documents go through a handler of ours, and only with the key and its form.
    EXPECT_EQ(status("/translateDoc?langpair=eng|spa&format=txt", {}), 403);
    EXPECT_EQ(status("/translateDoc?langpair=eng|spa&format=txt", key), 400);
}

// About 46 KB: APy on its own keeps the first ten pieces it cuts and drops the rest.
TEST_F(RealApy, LongTextIsTranslatedToTheEnd)
{
    QString text;
    int sentences = 0;
    while (text.size() < 46 * 1024)
        text += QStringLiteral("The cat %1 sleeps. ").arg(1000 + sentences++);
    // Its own deadline: a busy machine may need more than the usual one.
    TextEndpoints::Options options;
    options.translator.apyTimeoutMs = 120000;
    TextEndpoints patient(options);
    ASSERT_TRUE(patient.listen(QHostAddress::LocalHost, 0));
    patient.translator().apy().use({supervisor_->baseUrl(), supervisor_->accessKey()}, listPairs_);
    RawClient client(patient.port());
    const QByteArray target = test::TranslateTarget(text.trimmed(), "en|es").replace("%20", "+");
    ASSERT_LT(target.size(), 64 * 1024);
    const RawClient::Response response = client.exchange(RawClient::Get(target), 150000);
    ASSERT_EQ(response.status, 200);
    const QString result = ExtractTranslation(response.body);
    qsizetype at = 0;
    for (int n = 0; n < sentences; ++n) {
        at = result.indexOf(QString::number(1000 + n), at);
        ASSERT_GE(at, 0) << "sentence " << n << " of " << sentences << " is missing";
    }
}

}  // namespace
}  // namespace verz
