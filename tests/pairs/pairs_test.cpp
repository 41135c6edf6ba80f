#include "pairs/flags.h"
#include "pairs/pair_catalogue.h"
#include "pairs/stored_choice.h"
#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verz;

TEST(PairCatalogue, SeparatorsSitBetweenFourGroups)
{
    const auto &rows = PairCatalogue();
    int visible = 0;
    for (int i = 0; i < kPairRowCount; ++i) {
        const bool separator = i == 5 || i == 8 || i == 11 || i == 15;
        EXPECT_EQ(rows[i].codeText().isEmpty(), separator) << i;
        if (separator)
            EXPECT_EQ(rows[i].labelText(), QStringLiteral("---------------------"));
        else
            ++visible;
    }
    EXPECT_EQ(visible, 12);
    EXPECT_EQ(rows[6].labelText(), QString::fromUtf8("Français vers Anglais"));
    EXPECT_EQ(rows[6].codeText(), QStringLiteral("fr|en"));
    EXPECT_EQ(rows[10].codeText(), QStringLiteral("de|en"));
}

TEST(PairCatalogue, EveryLabelNamesItsCodesLanguages)
{
    // The label and the code must agree, or the flags contradict the caption.
    const std::map<QString, QString> names{{QStringLiteral("fr"), QString::fromUtf8("Français")},
                                           {QStringLiteral("en"), QStringLiteral("Anglais")},
                                           {QStringLiteral("es"), QStringLiteral("Espagnol")},
                                           {QStringLiteral("de"), QStringLiteral("Allemand")},
                                           {QStringLiteral("pt"), QStringLiteral("Portugais")},
                                           {QStringLiteral("it"), QStringLiteral("Italien")}};
    for (const auto &row : PairCatalogue()) {
        const QString code = row.codeText();
        if (code.isEmpty())
            continue;
        const QString expected =
            names.at(code.left(2)) + QStringLiteral(" vers ") + names.at(code.right(2));
        EXPECT_EQ(row.labelText(), expected);
    }
}

TEST(Flags, EveryPairCodeSetsBothFlags)
{
    EXPECT_EQ(SourceFlagIndex(QStringLiteral("en|fr")), 1);
    EXPECT_EQ(TargetFlagIndex(QStringLiteral("en|fr")), 0);
    EXPECT_EQ(SourceFlagIndex(QStringLiteral("pt|en")), 4);
    EXPECT_EQ(TargetFlagIndex(QStringLiteral("pt|en")), 1);
    for (const auto &row : PairCatalogue()) {
        if (row.codeText().isEmpty())
            continue;
        EXPECT_TRUE(SourceFlagIndex(row.codeText()).has_value()) << row.codeText().toStdString();
        EXPECT_TRUE(TargetFlagIndex(row.codeText()).has_value()) << row.codeText().toStdString();
    }
}

TEST(Flags, UnknownOrShortCodesMatchNothing)
{
    EXPECT_FALSE(SourceFlagIndex(QString()).has_value());
    EXPECT_FALSE(TargetFlagIndex(QString()).has_value());
    EXPECT_FALSE(SourceFlagIndex(QStringLiteral("FR|EN")).has_value());  // case matters
    EXPECT_FALSE(SourceFlagIndex(QStringLiteral("f")).has_value());
    EXPECT_EQ(SourceFlagIndex(QStringLiteral("it")), 5);  // shorter than two: all of it
    EXPECT_EQ(TargetFlagIndex(QStringLiteral("it")), 5);
}

TEST(StoredChoice, OnlyWholeRowNumbersAreTaken)
{
    EXPECT_EQ(ParseStoredRow(QStringLiteral("10")), 10);
    EXPECT_EQ(ParseStoredRow(QStringLiteral("0")), 0);
    EXPECT_EQ(ParseStoredRow(QStringLiteral("15")), 15);
    EXPECT_EQ(ParseStoredRow(QStringLiteral("05")), 5);
    for (const char *bad : {"", "abc", "5.5", "-1", "99", "16", " 3", "3 ", "+3", "1e1"})
        EXPECT_EQ(ParseStoredRow(QString::fromLatin1(bad)), kDefaultPairRow) << bad;
}

TEST(StoredChoice, RoundTripsThroughTheUserStore)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    const QString app = QStringLiteral("VerzolanPairsTest");
    EXPECT_EQ(ReadStoredRow(app), kDefaultPairRow);  // nothing stored yet
    StoreRow(app, 13);
    EXPECT_EQ(ReadStoredRow(app), 13);
    QSettings file(home.path() + QStringLiteral("/") + app + QStringLiteral("/") + app +
                       QStringLiteral(".conf"),
                   QSettings::IniFormat);
    EXPECT_EQ(file.value(QStringLiteral("data/list")).toString(), QStringLiteral("13"));
}

TEST(StoredChoice, StoringTheRowKeepsEveryOtherLineOfTheFile)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    const QString app = QStringLiteral("VerzolanPairsKeep");
    ASSERT_TRUE(QDir(home.path()).mkpath(app));
    QFile file(home.path() + QStringLiteral("/") + app + QStringLiteral("/") + app +
               QStringLiteral(".conf"));
    // Lines a general INI reader stumbles over, before and around the user's entries.
    const QByteArray original = "garbage without equals\n[\n[data]\n\"unterminated\n"
                                "\x01\x02 =\nlist=2\nservice=127.0.0.1:9000\n; note\n"
                                "[other]\nx=1\n";
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();
    const auto service = [&] {
        return GetSetting(app, QStringLiteral("data"), QStringLiteral("service"), QString());
    };
    EXPECT_EQ(service(), QStringLiteral("127.0.0.1:9000"));
    EXPECT_EQ(ReadStoredRow(app), 2);

    StoreRow(app, 13);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray expected = original;
    expected.replace("list=2", "list=13");
    EXPECT_EQ(file.readAll(), expected);
    file.close();
    EXPECT_EQ(service(), QStringLiteral("127.0.0.1:9000"));
    EXPECT_EQ(ReadStoredRow(app), 13);

    // Lines that are no UTF-8 or hold a NUL are kept byte for byte, not read.
    const QByteArray damaged("[data]\n\xff\xfe\xfd\0 \xc3( garbage\n=no key\n;\xe9t\xe9\n"
                             "\xe9=1\nlist=pas un nombre\nservice=127.0.0.1:9000\n",
                             82);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();
    EXPECT_EQ(service(), QStringLiteral("127.0.0.1:9000"));
    StoreRow(app, 6);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray(damaged).replace("list=pas un nombre", "list=6"));
    file.close();
    EXPECT_EQ(ReadStoredRow(app), 6);

    // A file without the section gets it at the end; an odd value comes back whole.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[other]\nx=1");
    file.close();
    SaveSetting(app, QStringLiteral("data"), QStringLiteral("service"),
                QStringLiteral(" a;\"b\" "));
    EXPECT_EQ(service(), QStringLiteral(" a;\"b\" "));
    StoreRow(app, 4);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("[other]\nx=1\n\n[data]\nservice=\" a;\\\"b\\\" \"\nlist=4\n"));
}

TEST(StoredChoice, StoringTheRowKeepsTheFilesMarkLineEndsAndSectionAsTheUserWroteThem)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    const QString app = QStringLiteral("VerzolanPairsMark");
    ASSERT_TRUE(QDir(home.path()).mkpath(app));
    QFile file(home.path() + u'/' + app + u'/' + app + QStringLiteral(".conf"));
    const auto store = [&](const QByteArray &before, int row) {
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(before);
        file.close();
        StoreRow(app, row);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        file.close();
        return after;
    };
    EXPECT_EQ(store("\xef\xbb\xbf[Data]\r\nservice=127.0.0.1:9\r\n", 4),
              "\xef\xbb\xbf[Data]\r\nservice=127.0.0.1:9\r\nlist=4\r\n");
    EXPECT_EQ(ReadStoredRow(app), 4);

    const auto utf16 = [](const char *text) {
        QByteArray bytes("\xff\xfe");
        for (const char *c = text; *c != 0; ++c)
            bytes.append(*c).append('\0');
        return bytes;
    };
    EXPECT_EQ(store(utf16("[ data ]\nlist=2\nservice=127.0.0.1:9\n"), 13),
              utf16("[ data ]\nlist=13\nservice=127.0.0.1:9\n"));
    EXPECT_EQ(ReadStoredRow(app), 13);
    // A file this store cannot read is never rewritten from what it did not understand.
    const QByteArray unreadable = utf16("[data]\nlist=2\n").sliced(2);
    EXPECT_EQ(store(unreadable, 7), unreadable);
}
