// Figures for the German pairs' dictionaries, run by hand:
// build/bench_dictionary [folder, default /usr/share/dictd]. For each of the
// four: the time to open it (the index is checked line by line), resident
// memory before and after, the mean look-up time over a set of everyday
// words, and the answers the service gives for a few sample inputs.
#include "dict/dictionary_answer.h"
#include "dict/dictionary_shelf.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

// Resident memory of one kind ("VmRSS", "RssAnon", "RssFile"), in KiB.
long ResidentKib(const char *kind = "VmRSS")
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(QByteArray(kind) + ':'))
            return line.mid(qsizetype(std::strlen(kind)) + 1).trimmed().split(' ').first().toLong();
    }
    return -1;
}

struct Pair {
    const char *source;
    const char *target;
    QStringList samples;  // answered and printed
    QStringList words;    // timed
};

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/usr/share/dictd");
    const QStringList german =
        QStringLiteral("Haus Wetter gut Morgen Zeit Jahr Mann Frau Kind Stadt Weg "
                       "gehen kommen sehen machen sagen groß klein neu alt schnell")
            .split(u' ');
    const QStringList french =
        QStringLiteral("maison temps bon matin année homme femme enfant ville chemin "
                       "aller venir voir faire dire grand petit nouveau vieux vite")
            .split(u' ');
    const QStringList english =
        QStringLiteral("house weather good morning time year man woman child city "
                       "way go come see make say big small new old fast")
            .split(u' ');
    const QString sentence = QStringLiteral("Das Wetter ist heute sehr gut.");
    const Pair pairs[] = {
        {"de",
         "fr",
         {QStringLiteral("gut"), QStringLiteral("Haus"), QStringLiteral("Wetter"),
          QStringLiteral("guten Morgen"), QStringLiteral("gut Haus"), sentence},
         german},
        {"fr",
         "de",
         {QStringLiteral("maison"), QStringLiteral("bon"),
          QStringLiteral("Le chat dort dans la maison.")},
         french},
        {"de",
         "en",
         {QStringLiteral("gut"), QStringLiteral("Haus"), QStringLiteral("Wetter"),
          QStringLiteral("guten Morgen"), sentence},
         german},
        {"en",
         "de",
         {QStringLiteral("house"), QStringLiteral("good"), QStringLiteral("weather"),
          QStringLiteral("The children play in the garden.")},
         english},
    };
    verz::DictionaryShelf shelf(folder);
    constexpr int kRounds = 20;
    for (const Pair &pair : pairs) {
        const QString source = QLatin1String(pair.source);
        const QString target = QLatin1String(pair.target);
        const long before = ResidentKib();
        QElapsedTimer clock;
        clock.start();
        verz::Dictionary *dictionary = shelf.forPair(source, target);
        const double openMs = double(clock.nsecsElapsed()) / 1e6;
        if (!dictionary) {
            std::printf("%s|%s: no dictionary in %s\n", pair.source, pair.target,
                        qUtf8Printable(folder));
            continue;
        }
        const long opened = ResidentKib();
        clock.restart();
        for (int round = 0; round < kRounds; ++round) {
            for (const QString &word : pair.words)
                verz::DictionaryAnswer(*dictionary, source, word);
        }
        const double lookupMs =
            double(clock.nsecsElapsed()) / 1e6 / double(kRounds * pair.words.size());
        std::printf("%s|%s: open %.1f ms, RSS %ld -> %ld KiB, after look-ups %ld KiB "
                    "(anonymous %ld, file pages %ld), one-word answer %.3f ms\n",
                    pair.source, pair.target, openMs, before, opened, ResidentKib(),
                    ResidentKib("RssAnon"), ResidentKib("RssFile"), lookupMs);
        for (const QString &sample : pair.samples)
            std::printf("  %s -> %s\n", qUtf8Printable(sample),
                        qUtf8Printable(verz::DictionaryAnswer(*dictionary, source, sample)));
    }
    return 0;
}
