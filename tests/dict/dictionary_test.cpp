#include "dict/dictd_index.h"
#include "dict/dictd_writer.h"
#include "dict/dictionary.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace verz {
namespace {

// Both layouts of the free dictionaries: numbered senses each followed by a
// gloss, and one sense line with indented examples, synonyms and notes.
QList<QPair<QByteArray, QByteArray>> SampleEntries()
{
    return {
        {"gut", "gut /ɡuːt/ <adj>\n1. bon, bonne\nprädikativ gebraucht\n2. bien 3.\n"
                "adverbiell gebraucht\n 3.\nmit Zahlangaben\n"},
        {"gut", "Gut /ɡuːt/ <n, neut>\nbien\netwas von Wert\n"},
        {"wetter", "Wetter /vˈɛtɜ/ <pl, n>\n [min.] mine atmosphere <n>, mine air <n>\n"
                   "   Synonym: {Grubenluft}\n\n"},
        {"wetter", "Wetter /vˈɛtɜ/ <neut, n, sg>\nweather <n>, weather conditions <n> [meteo.]\n"
                   "      \"bei jedem Wetter\"  - in all weathers\n"},
        {"wetter", "Wetter… /vˈɛtɜ/ <adj>\nmeteorological <adj>\n"},
        {"ist", "ist /ɪst/ <suffix>\niste\nWortbildungselement\n"},
        {"guten morgen", "guten Morgen\nbonjour, bonne matinée\n"},
    };
}

TEST(Dictionary, ReadsEntriesAcrossDictzipChunksRankedAndWithoutSpecialFields)
{
    QTemporaryDir folder;
    test::WriteDictionary(folder.path(), QStringLiteral("sample"), SampleEntries());
    const QString base = folder.path() + QStringLiteral("/sample");
    auto dictionary =
        Dictionary::Open(base + QStringLiteral(".index"), base + QStringLiteral(".dict.dz"));
    ASSERT_TRUE(dictionary);
    // Exact case first: the adjective, its gloss numbers gone.
    EXPECT_EQ(
        dictionary->translations(QStringLiteral("gut"), 6),
        QStringList({QStringLiteral("bon"), QStringLiteral("bien"), QStringLiteral("bonne")}));
    EXPECT_EQ(dictionary->translations(QStringLiteral("Gut"), 6),
              QStringList{QStringLiteral("bien")});
    // No entry written so: both, and the translation two senses share leads.
    EXPECT_EQ(dictionary->translations(QStringLiteral("GUT"), 2),
              QStringList({QStringLiteral("bien"), QStringLiteral("bon")}));
    // The mine's air is left out, the prefix form "Wetter…" too.
    EXPECT_EQ(dictionary->translations(QStringLiteral("Wetter"), 6),
              QStringList({QStringLiteral("weather"), QStringLiteral("weather conditions")}));
    EXPECT_EQ(dictionary->translations(QStringLiteral("Guten  Morgen!"), 1),
              QStringList{QStringLiteral("bonjour")});
    EXPECT_TRUE(dictionary->translations(QStringLiteral("ist"), 6).isEmpty());  // a suffix
    EXPECT_TRUE(dictionary->translations(QStringLiteral("Haus"), 6).isEmpty());
    EXPECT_TRUE(dictionary->translations(QStringLiteral("zzz"), 6).isEmpty());  // past the last
    EXPECT_TRUE(dictionary->translations(QStringLiteral("a"), 6).isEmpty());    // before the first

    EXPECT_EQ(DictdIndex::DecodeNumber("A"), 0);
    EXPECT_EQ(DictdIndex::DecodeNumber("BA"), 64);
    EXPECT_EQ(DictdIndex::DecodeNumber("bWIQ"), ((27 * 64 + 22) * 64 + 8) * 64 + 16);
    EXPECT_EQ(DictdIndex::DecodeNumber("b*Q"), -1);
    EXPECT_EQ(DictdIndex::DecodeNumber(""), -1);
}

TEST(Dictionary, RefusesAnIndexOrDataFileItCannotTrust)
{
    QTemporaryDir folder;
    const QString base = folder.path() + QStringLiteral("/broken");
    auto write = [&](const char *suffix, const QByteArray &bytes) {
        QFile file(base + QLatin1String(suffix));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    };
    auto opens = [&] {
        return Dictionary::Open(base + QStringLiteral(".index"),
                                base + QStringLiteral(".dict.dz")) != nullptr;
    };
    const QByteArray text = "eins\nun\nzwei\ndeux\n";
    write(".dict.dz", test::Dictzip(text, 8));
    write(".index", "eins\tA\tI\nzwei\tI\tK\n");
    EXPECT_TRUE(opens());
    const QByteArray broken[] = {
        "zwei\tI\tK\neins\tA\tI\n",  // out of order: a binary search would miss
        "eins\tA\tI\nzwei\tI\n",     // a field missing
        "eins\tA\t*\n",              // not a base-64 digit
        "eins\tA\tZZ\n",             // past the end of the text
        "",
    };
    for (const QByteArray &index : broken) {
        write(".index", index);
        EXPECT_FALSE(opens()) << index.constData();
    }
    write(".index", "eins\tA\tI\n");
    const QByteArray dictzip = test::Dictzip(text, 8);
    write(".dict.dz", dictzip.left(dictzip.size() / 2));  // the chunks cut short
    EXPECT_FALSE(opens());
    QFile::remove(base + QStringLiteral(".dict.dz"));
    EXPECT_FALSE(opens());
}

TEST(Dictionary, InstalledGermanEnglishGivesTheEverydaySenseFirst)
{
    const QString base = QStringLiteral("/usr/share/dictd/freedict-deu-eng");
    if (!QFile::exists(base + QStringLiteral(".index")))
        GTEST_SKIP() << "dict-freedict-deu-eng is not installed";
    auto dictionary =
        Dictionary::Open(base + QStringLiteral(".index"), base + QStringLiteral(".dict.dz"));
    ASSERT_TRUE(dictionary);
    const QStringList wetter = dictionary->translations(QStringLiteral("Wetter"), 6);
    ASSERT_FALSE(wetter.isEmpty());
    EXPECT_EQ(wetter.first(), QStringLiteral("weather"));
    EXPECT_FALSE(wetter.contains(QStringLiteral("mine atmosphere")));
    EXPECT_TRUE(
        dictionary->translations(QStringLiteral("gut"), 3).contains(QStringLiteral("good")));
}

}  // namespace
}  // namespace verz
