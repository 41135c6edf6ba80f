// The command line as a script runs it: the real program, copied into a folder
// of its own beside a planted scratch file, with settings naming a loopback
// stand-in, and with no display, no platform plugin and a C locale. Every run
// must leave the window's scratch file and the settings as they were.
#include "cli/cli_main.h"
#include "cli/line_translator.h"
#include "ocr/picture_maker.h"
#include "pairs/pair_catalogue.h"
#include "stand_in_server.h"
#include "toolkit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>

// Readable texts in failure messages.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toUtf8().replace("\r", "\\r").replace("\n", "\\n").toStdString() << '"';
}

namespace verz {
namespace {

using test::StandInServer;

const QByteArray kWindowPage = QByteArrayLiteral("<div id=result_box dir=\"ltr\">fenêtre</div>");

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("bin"))));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VERZ_PROGRAM), program()));
        QFile::setPermissions(program(), QFile::permissions(program()) | QFile::ExeOwner);
        // The page a running window holds: the command line must never touch it.
        QFile planted(scratch());
        ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
        planted.write(kWindowPage);
        planted.close();
        storeSettings(QByteArrayLiteral("[data]\nlist=6\nservice=") + server.host().toUtf8() +
                      '\n');
        StandInServer::Script echo;
        echo.echoText = true;
        server.setScript(echo);
    }

    void TearDown() override
    {
        EXPECT_EQ(FileBytes(scratch()), kWindowPage);
        EXPECT_EQ(QDir(root.filePath(QStringLiteral("bin"))).entryList(QDir::Files | QDir::Hidden),
                  QStringList({QStringLiteral("Verz.txt"), QStringLiteral("Verzolan")}));
        EXPECT_EQ(FileBytes(settingsPath()), settings);
    }

    QString program() const { return root.filePath(QStringLiteral("bin/Verzolan")); }
    QString scratch() const { return root.filePath(QStringLiteral("bin/Verz.txt")); }
    QString settingsPath() const
    {
        return root.filePath(QStringLiteral("config/Verzolan/Verzolan.conf"));
    }
    void storeSettings(const QByteArray &bytes)
    {
        settings = bytes;
        QDir().mkpath(root.filePath(QStringLiteral("config/Verzolan")));
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Runs the program to its end while this thread's event loop serves the
    // stand-in. The guard only keeps a broken program from blocking the suite.
    Outcome run(const QStringList &arguments, const QByteArray &input = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANG",
                                 "LANGUAGE", "LC_CTYPE", "LC_MESSAGES"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        environment.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           root.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"),
                           root.filePath(QStringLiteral("cache")));

        const test::ProcessOutcome run =
            test::RunProcess(program(), arguments, {input, 60000, environment});
        EXPECT_TRUE(run.ended) << "the program did not end";
        return {run.exitCode, QString::fromUtf8(run.out), QString::fromUtf8(run.err)};
    }

    QList<QString> sentTexts() const
    {
        QList<QString> texts;
        for (const QByteArray &target : server.distinctTargets())
            texts.append(StandInServer::queryValue(target, "text"));
        return texts;
    }

    QTemporaryDir root;
    StandInServer server;
    QByteArray settings;
};

TEST_F(CommandLineTest, ArgumentsAreOneTextSentWithThePairAndPrinted)
{
    const Outcome plain =
        run({QStringLiteral("--pair"), QStringLiteral("fr|en"), QStringLiteral("Ça été"),
             QStringLiteral("très"), QStringLiteral("日本語 Ελληνικά")});
    EXPECT_EQ(plain.status, 0) << plain.err.toStdString();
    EXPECT_EQ(plain.out, QStringLiteral("Ça été très 日本語 Ελληνικά\n"));
    EXPECT_EQ(plain.err, QString());
    ASSERT_EQ(server.distinctTargets().size(), 1);
    EXPECT_EQ(StandInServer::queryValue(server.lastTarget(), "langpair"), QStringLiteral("fr|en"));

    // --fold is the window's "Ignorer les diacritiques": lower-case letters only.
    const Outcome folded = run({QStringLiteral("--fold"), QStringLiteral("--pair=de|fr"),
                                QStringLiteral("--"), QStringLiteral("-Ça été ïlot")});
    EXPECT_EQ(folded.status, 0) << folded.err.toStdString();
    EXPECT_EQ(folded.out, QStringLiteral("-Ça ete ilot\n"));
    EXPECT_EQ(StandInServer::queryValue(server.lastTarget(), "langpair"), QStringLiteral("de|fr"));
}

// --pair auto: the pair from each text's language, into French or, for French,
// into English; a line too short to be sure keeps the last sure line's pair.
TEST_F(CommandLineTest, AutoPairFollowsTheDetectedLanguage)
{
    const auto langpairs = [this] {
        QStringList pairs;
        for (const QByteArray &target : server.distinctTargets())
            pairs.append(StandInServer::queryValue(target, "langpair"));
        return pairs;
    };
    const QString german = QStringLiteral("Der Zug um acht Uhr hat schon wieder Verspätung");
    const QString french = QStringLiteral("Le train de huit heures est encore en retard");
    EXPECT_EQ(run({QStringLiteral("--pair"), QStringLiteral("auto"), german}).out, german + u'\n');
    EXPECT_EQ(run({QStringLiteral("--pair=auto"), french}).status, 0);
    EXPECT_EQ(run({QStringLiteral("--pair"), QStringLiteral("auto|en"), german}).status, 0);
    EXPECT_EQ(langpairs(), QStringList({QStringLiteral("de|fr"), QStringLiteral("fr|en"),
                                        QStringLiteral("de|en")}));

    const Outcome lines = run({QStringLiteral("--pair"), QStringLiteral("auto")},
                              (german + QStringLiteral("\nOK\n\n") + french + u'\n').toUtf8());
    EXPECT_EQ(lines.status, 0) << lines.err.toStdString();
    EXPECT_EQ(lines.out, german + QStringLiteral("\nOK\n\n") + french + u'\n');
    const auto pairOf = [this](const QString &text) {
        QString pair;
        for (const QByteArray &target : server.distinctTargets()) {
            if (StandInServer::queryValue(target, "text") == text)
                pair = StandInServer::queryValue(target, "langpair");
        }
        return pair;
    };
    EXPECT_EQ(pairOf(QStringLiteral("OK")), u"de|fr");  // too short: the German line's pair

    // No Spanish pair into French: the message names the twelve and nothing is sent.
    const qsizetype sent = server.requests().size();
    const Outcome spanish = run({QStringLiteral("--pair"), QStringLiteral("auto"),
                                 QStringLiteral("El tren de las ocho vuelve a llegar tarde")});
    EXPECT_EQ(spanish.status, 2);
    EXPECT_TRUE(spanish.err.contains(QStringLiteral("espagnol"))) << spanish.err.toStdString();
    EXPECT_TRUE(spanish.err.contains(QStringLiteral("es|en")));
    EXPECT_EQ(run({QStringLiteral("--pair"), QStringLiteral("auto|nl"), german}).status, 2);
    EXPECT_EQ(server.requests().size(), sent);

    const Outcome detected = run({QStringLiteral("--detect"), QStringLiteral("Il treno delle"),
                                  QStringLiteral("otto è di nuovo in ritardo")});
    EXPECT_EQ(detected.status, 0);
    EXPECT_TRUE(detected.out.startsWith(QStringLiteral("it\t"))) << detected.out.toStdString();
    EXPECT_EQ(run({QStringLiteral("--detect")}, QByteArrayLiteral("Meine Nachbarin gießt ihre "
                                                                  "Tomaten jeden Abend\n"))
                  .out.left(3),
              QStringLiteral("de\t"));
    EXPECT_EQ(run({QStringLiteral("--detect"), QStringLiteral("12 345")}).status, 3);
    EXPECT_EQ(server.requests().size(), sent);
}

// A picture's text: read in the pair's language, or with auto in the one
// detected, translated line by line with its paragraphs kept.
TEST_F(CommandLineTest, PictureTextIsReadAndTranslated)
{
    const QString written = QStringLiteral("Meine Nachbarin gießt ihre Tomaten jeden Abend,\n"
                                           "auch wenn es regnet.\n"
                                           "\n"
                                           "Der Zug hat schon wieder Verspätung.\n");
    const QString picture = root.filePath(QStringLiteral("brief.png"));
    ASSERT_TRUE(test::MakePicture(written, picture, {200, 12, false, 0}));
    const Outcome read = run({QStringLiteral("--ocr"), picture});
    EXPECT_EQ(read.status, 0) << read.err.toStdString();
    EXPECT_EQ(read.out.count(u'\n'), 4) << read.out.toStdString();
    EXPECT_LE(test::WordErrorRate(written, read.out), 10.0) << read.out.toStdString();
    EXPECT_EQ(StandInServer::queryValue(server.lastTarget(), "langpair"), u"de|fr");
    EXPECT_EQ(server.distinctTargets().size(), 3);  // the empty line is never sent

    const qsizetype sent = server.requests().size();
    const Outcome asRead = run({QStringLiteral("--ocr-only"), picture});
    EXPECT_EQ(asRead.status, 0);
    EXPECT_EQ(asRead.out, read.out);
    const QString notAPicture = root.filePath(QStringLiteral("lettre.png"));
    QFile text(notAPicture);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Bonjour\n");
    text.close();
    const Outcome refused = run(
        {QStringLiteral("--ocr"), notAPicture, QStringLiteral("--pair"), QStringLiteral("fr|en")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("n’est pas une image")))
        << refused.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("--ocr"), picture, QStringLiteral("Bonjour")}).status, 2);
    // A download cut short: the decoder's own English complaints stay out of
    // the French line.
    const QString cut = root.filePath(QStringLiteral("coupée.jpg"));
    ASSERT_TRUE(test::MakePicture(written, cut, {100, 12, false, 0}));
    QFile cutShort(cut);
    ASSERT_TRUE(cutShort.resize(100));
    const Outcome damaged = run({QStringLiteral("--ocr-only"), cut});
    EXPECT_EQ(damaged.status, 2);
    EXPECT_EQ(damaged.err.count(u'\n'), 1) << damaged.err.toStdString();
    EXPECT_EQ(server.requests().size(), sent);
}

TEST_F(CommandLineTest, StandardInputIsTranslatedLineByLineKeepingBlankLines)
{
    const QByteArray input = QByteArrayLiteral("Première ligne\n"
                                               "\n"
                                               "   \n"
                                               "Fenêtre <b>&amp;</b> \"citée\"\r\n"
                                               "Здравствуй, мир 你好 😀\n"
                                               "\n"
                                               "dernière, sans fin de ligne");
    const Outcome outcome = run({QStringLiteral("--pair"), QStringLiteral("en|fr")}, input);
    EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.out, QStringLiteral("Première ligne\n"
                                          "\n"
                                          "\n"
                                          "Fenêtre <b>&amp;</b> \"citée\"\n"
                                          "Здравствуй, мир 你好 😀\n"
                                          "\n"
                                          "dernière, sans fin de ligne\n"));
    EXPECT_EQ(sentTexts(), QList<QString>({QStringLiteral("Première ligne"),
                                           QStringLiteral("Fenêtre <b>&amp;</b> \"citée\""),
                                           QStringLiteral("Здравствуй, мир 你好 😀"),
                                           QStringLiteral("dernière, sans fin de ligne")}));
}

TEST_F(CommandLineTest, InformativeOptionsNeedNoService)
{
    const Outcome version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("Verzolan 3.1\n"));

    QString expected;
    for (const LanguagePair &pair : PairCatalogue()) {
        if (!pair.codeText().isEmpty())
            expected += pair.codeText() + u'\t' + pair.labelText() + u'\n';
    }
    const Outcome pairs = run({QStringLiteral("--list-pairs")});
    EXPECT_EQ(pairs.status, 0);
    EXPECT_EQ(pairs.out, expected);
    EXPECT_EQ(pairs.out.count(u'\n'), 12);

    const Outcome help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    for (const char16_t *option : {u"--pair", u"--fold", u"--list-pairs", u"--version", u"--help",
                                   u"Non Connecté", u"entrée standard"})
        EXPECT_TRUE(help.out.contains(QString::fromUtf16(option))) << help.out.toStdString();
    EXPECT_TRUE(server.requests().isEmpty());

    // Every start loads what the program links, the selection command's too:
    // the picture readers' fifty libraries wait for a picture.
    QProcessEnvironment trace = QProcessEnvironment::systemEnvironment();
    trace.insert(QStringLiteral("LD_TRACE_LOADED_OBJECTS"), QStringLiteral("1"));
    const test::ProcessOutcome loaded = test::RunProcess(program(), {}, {{}, 60000, trace});
    EXPECT_TRUE(loaded.out.contains("libQt6Core")) << loaded.out.toStdString();
    EXPECT_FALSE(loaded.out.contains("libtesseract")) << loaded.out.toStdString();
    EXPECT_FALSE(loaded.out.contains("liblept")) << loaded.out.toStdString();
}

TEST_F(CommandLineTest, UsageErrorsExitTwoAndSendNothing)
{
    const QList<QStringList> mistakes = {
        {QStringLiteral("--pair"), QStringLiteral("fr|it"), QStringLiteral("Bonjour")},
        {QStringLiteral("--pair"), QString(), QStringLiteral("Bonjour")},  // a separator row
        {QStringLiteral("--pair")},
        {QStringLiteral("--bavard"), QStringLiteral("--pair"), QStringLiteral("fr|en")},
        {QStringLiteral("Bonjour")},
        {QStringLiteral("--notify"), QStringLiteral("--pair"), QStringLiteral("fr|en")},
        {QStringLiteral("--selection"), QStringLiteral("Bonjour")},
        {QStringLiteral("--selection"), QStringLiteral("--pair"), QStringLiteral("fr|it")},
        {QStringLiteral("--selection"), QStringLiteral("--pair"), QStringLiteral("fr|en"),
         QStringLiteral("--file"), QStringLiteral("lettre.odt")},
        {QStringLiteral("--pair"), QStringLiteral("fr|en"), QStringLiteral("--file"),
         QStringLiteral("lettre.odt"), QStringLiteral("Bonjour")},
        {QStringLiteral("--pair"), QStringLiteral("fr|en"), QStringLiteral("--output"),
         QStringLiteral("sortie.odt")},
        {QStringLiteral("--detect"), QStringLiteral("--pair"), QStringLiteral("fr|en")},
        {QStringLiteral("--ocr-screen"), QStringLiteral("Bonjour")},
        {QStringLiteral("--ocr-screen"), QStringLiteral("--selection")},
        {QStringLiteral("--pair"), QStringLiteral("auto"), QStringLiteral("--file"),
         QStringLiteral("lettre.odt")},
    };
    for (const QStringList &arguments : mistakes) {
        const Outcome outcome = run(arguments, QByteArrayLiteral("Bonjour\n"));
        EXPECT_EQ(outcome.status, 2) << arguments.join(u' ').toStdString();
        EXPECT_EQ(outcome.out, QString());
        EXPECT_TRUE(outcome.err.contains(QStringLiteral("--help"))) << outcome.err.toStdString();
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

// With no display at all, neither the selection nor the screen can be read: one
// French line, status 1.
TEST_F(CommandLineTest, SelectionWithoutADisplaySaysSoAndExitsOne)
{
    for (const QStringList &arguments :
         {QStringList{QStringLiteral("--selection")},
          QStringList{QStringLiteral("--selection"), QStringLiteral("--notify")},
          QStringList{QStringLiteral("--ocr-screen"), QStringLiteral("--notify")}}) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.status, 1) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(outcome.err.contains(QStringLiteral("aucun écran")))
            << outcome.err.toStdString();
        EXPECT_EQ(outcome.err.count(u'\n'), 1) << outcome.err.toStdString();
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(CommandLineTest, ServiceThatCannotBeReachedExitsOneWithNonConnecte)
{
    const QByteArray nobody = "127.0.0.1:" + QByteArray::number(test::FreePort());
    storeSettings(QByteArrayLiteral("[data]\nservice=") + nobody + '\n');

    const Outcome argument =
        run({QStringLiteral("--pair"), QStringLiteral("fr|en"), QStringLiteral("Bonjour")});
    EXPECT_EQ(argument.status, 1);
    EXPECT_EQ(argument.out, QString());
    EXPECT_TRUE(argument.err.contains(QStringLiteral("Non Connecté")))
        << argument.err.toStdString();

    // From standard input the blank line before the failure is printed, and
    // the first failure ends the run.
    const Outcome lines =
        run({QStringLiteral("--pair"), QStringLiteral("fr|en")}, QByteArrayLiteral("\nUn\nDeux\n"));
    EXPECT_EQ(lines.status, 1);
    EXPECT_EQ(lines.out, QStringLiteral("\n"));
    EXPECT_EQ(lines.err.count(QStringLiteral("Non Connecté")), 1) << lines.err.toStdString();
}

TEST_F(CommandLineTest, SettingsAnEditorSavedAskTheServiceTheyNameOrNone)
{
    // With a byte-order mark, the service named was ignored and the default one
    // asked: the user's text went to a service the user had not chosen.
    const QByteArray host = server.host().toUtf8();
    qsizetype asked = 0;
    for (const QByteArray &bytes : {"\xef\xbb\xbf[data]\nservice=" + host + '\n',
                                    "[ Data ]\r\nlist=6\r\nservice = " + host + "\r\n"}) {
        storeSettings(bytes);
        const Outcome outcome =
            run({QStringLiteral("--pair"), QStringLiteral("fr|en"), QStringLiteral("Bonjour")});
        EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
        EXPECT_EQ(outcome.out, QStringLiteral("Bonjour\n"));
        EXPECT_EQ(server.requests().size(), ++asked);
    }
    // UTF-16 without its mark cannot be read: no service is asked, and why is said.
    QByteArray wide;
    for (const char c : QByteArray("[data]\nservice=") + host + '\n')
        wide.append(c).append('\0');
    storeSettings(wide);
    const Outcome outcome =
        run({QStringLiteral("--pair"), QStringLiteral("fr|en"), QStringLiteral("Bonjour")});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err.count(u'\n'), 2) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.err.contains(QStringLiteral("Verzolan.conf")));
    EXPECT_TRUE(outcome.err.contains(QStringLiteral("Non Connecté")));
    EXPECT_EQ(server.requests().size(), asked);
}

// In process, where the engine's deadline can be shortened: a service that
// accepts and never answers ends the run as a refused one does.
TEST(CommandLineDeadline, HangingServiceEndsAtTheDeadlineAsNotConnected)
{
    StandInServer server;
    StandInServer::Script hang;
    hang.hang = true;
    server.setScript(hang);
    const auto access = [&server] {
        ServiceAccess service;
        service.host = server.host();
        service.timeoutMs = 300;
        return service;
    };
    std::istringstream in("Bonjour\nencore\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(
        RunCommandLine({QStringLiteral("--pair"), QStringLiteral("fr|en")}, access, in, out, err),
        kExitNotConnected);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("Non Connecté"), std::string::npos) << err.str();
    EXPECT_EQ(server.requests().size(), 1);
}

}  // namespace
}  // namespace verz
