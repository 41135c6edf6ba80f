#include "engine/page_reader.h"
#include "support/page_reader_reference.h"

#include <QList>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace verz {
namespace {

QByteArray page(const QByteArray &inside)
{
    return QByteArrayLiteral("<html>\r\n<body>\r\n<div id=result_box dir=\"ltr\">") + inside +
           QByteArrayLiteral("</div>\r\n</body></html>\r\n");
}

QString extract(const QByteArray &inside)
{
    return ExtractTranslation(page(inside));
}

TEST(ExtractTranslation, CommasAndQuotesAreKept)
{
    EXPECT_EQ(extract("Oui, merci"), QStringLiteral("Oui, merci"));
    EXPECT_EQ(extract("il a dit \"non\", puis \"oui\""),
              QStringLiteral("il a dit \"non\", puis \"oui\""));
    EXPECT_EQ(extract("\"entre guillemets\""), QStringLiteral("\"entre guillemets\""));
}

TEST(ExtractTranslation, LineEndsWithTheirFollowingSpacesBecomeOneSpace)
{
    EXPECT_EQ(extract("un\r\n   deux\ntrois\r   quatre"), QStringLiteral("un deux trois quatre"));
    EXPECT_EQ(extract("a\n\nb"), QStringLiteral("a  b"));
    EXPECT_EQ(extract("a  \n b\tc"), QStringLiteral("a   b\tc"));
}

TEST(ExtractTranslation, CutSkipsTheRestOfTheOpeningTag)
{
    // Six characters after the marker are skipped whatever they are.
    EXPECT_EQ(ExtractTranslation("<div id=result_box dir=xxxxxxABC</div>"), QStringLiteral("ABC"));
    EXPECT_EQ(ExtractTranslation("id=result_box dir=\"rtl\">x</div> y </div>"),
              QStringLiteral("x"));
    // Tags inside the box stay as text.
    EXPECT_EQ(extract("<span title=\"a\">Salut</span>"),
              QStringLiteral("<span title=\"a\">Salut</span>"));
}

TEST(ExtractTranslation, NoCutGivesAnEmptyTranslation)
{
    EXPECT_EQ(
        ExtractTranslation("<html><body>no box here, twenty-four chars and more</div></html>"),
        QString());
    EXPECT_EQ(ExtractTranslation("<div id=result_box dir=\"ltr\">never closed"), QString());
    EXPECT_EQ(ExtractTranslation("<div id=result_box dir=\"l"), QString());
    EXPECT_EQ(extract(""), QString());
    EXPECT_EQ(ExtractTranslation(QByteArray()), QString());
}

TEST(ExtractTranslation, MarkerFarIntoALongPage)
{
    QByteArray longPage(40000, 'x');
    longPage.append("\n");
    longPage.append(page("loin"));
    EXPECT_EQ(ExtractTranslation(longPage), QStringLiteral("loin"));

    const QByteArray longTranslation(50000, 'y');
    EXPECT_EQ(extract(longTranslation), QString::fromLatin1(longTranslation));
}

TEST(ExtractTranslation, EntitiesInOnePass)
{
    EXPECT_EQ(extract("l&#39;eau"), QStringLiteral("l'eau"));
    EXPECT_EQ(extract("&amp; &lt; &gt; &quot; &apos;"), QStringLiteral("& < > \" '"));
    EXPECT_EQ(extract("&#233;t&#xE9; &#XE9; &#x1F600;"), QStringLiteral("été é \U0001F600"));
    EXPECT_EQ(extract("&amp;lt; &amp;#39;"), QStringLiteral("&lt; &#39;"));
    EXPECT_EQ(extract("&nbsp; &bogus; & ; &#; &#x; &#0; &#xD800; &#1114112; &amp"),
              QStringLiteral("&nbsp; &bogus; & ; &#; &#x; &#0; &#xD800; &#1114112; &amp"));
    EXPECT_EQ(extract("&&amp;"), QStringLiteral("&&"));
    // Line ends as references must not split the translation over lines.
    EXPECT_EQ(extract("s&#10;t&#13;&#10;u&#xA;&#xd;"), QStringLiteral("s t  u  "));
}

TEST(ExtractTranslation, EllipsisBecomesThreeDots)
{
    EXPECT_EQ(extract("attends\xE2\x80\xA6 vite&#8230;"), QStringLiteral("attends... vite..."));
}

TEST(ExtractTranslation, Utf8LettersSurviveUnrepaired)
{
    EXPECT_EQ(extract("f\xC3\xBCr \xC3\xA0 c\xC3\xB4t\xC3\xA9 a\xC3\xADn \xC3\xBB \xC3\x83"),
              QStringLiteral("für à côté aín û Ã"));
    EXPECT_EQ(extract("\xE2\x82\xAC 5"), QStringLiteral("€ 5"));
}

TEST(ExtractTranslation, PageThatIsNotUtf8IsReadAsWindows1252)
{
    EXPECT_EQ(extract("caf\xE9 \x80 \x85 \x9C \x81"),
              QStringLiteral("café € ... œ ") + QChar(0x81));
    // Valid UTF-8 elsewhere does not save a page with one bad byte.
    EXPECT_EQ(extract("\xC3\xA9 \xFF"), QStringLiteral("Ã© ÿ"));
}

TEST(ExtractTranslation, MalformedUtf8FallsBackToWindows1252)
{
    EXPECT_EQ(extract("\xC0\xAF"), QStringLiteral("À¯"));            // overlong "/"
    EXPECT_EQ(extract("\xED\xA0\x80"), QStringLiteral("í\u00A0€"));  // a surrogate
    EXPECT_EQ(extract("\xE2\x82"), QStringLiteral("â‚"));            // cut short
    // A sequence cut short by the end of the page, well after the box.
    EXPECT_EQ(ExtractTranslation("id=result_box dir=\"ltr\">\xC3\xA9</div>\xF0"),
              QStringLiteral("Ã©"));
}

TEST(ExtractTranslation, SkippedCharactersAreCharactersNotBytes)
{
    EXPECT_EQ(ExtractTranslation(
                  "id=result_box dir=\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9ok</div>"),
              QStringLiteral("ok"));
    // A line break inside the marker's tag is a space like any other.
    EXPECT_EQ(ExtractTranslation("<div id=result_box\r\n   dir=\"ltr\">oui</div>"),
              QStringLiteral("oui"));
}

TEST(ExtractTranslation, AgreesWithWholePageDecodingOnRandomPages)
{
    const QList<QByteArray> pieces = {
        "id=result_box dir=",
        "id=result_box",
        "dir=",
        " dir=",
        "</div>",
        "</di",
        "v>",
        "\r",
        "\n",
        "\r\n",
        " ",
        "  ",
        "x",
        "ab",
        "\"",
        ",",
        "\xC3\xA9",
        "\xF0\x9F\x98\x80",
        "\xE2\x80\xA6",
        "&amp;",
        "\x80",
    };
    QRandomGenerator random(4242);
    for (int round = 0; round < 20000; ++round) {
        QByteArray pageBytes;
        const int count = int(random.bounded(1, 30));
        for (int i = 0; i < count; ++i)
            pageBytes.append(pieces[int(random.bounded(pieces.size()))]);
        if (random.bounded(4) == 0)
            pageBytes.append("\xFF");  // not UTF-8 any more
        ASSERT_EQ(ExtractTranslation(pageBytes), reference::ExtractTranslation(pageBytes))
            << QByteArray(pageBytes.toPercentEncoding()).toStdString();
    }
}

TEST(AppendTranslation, OnePerLineEachEndingInASpace)
{
    EXPECT_EQ(AppendTranslation(QString(), QStringLiteral("Oui")), QStringLiteral("Oui "));
    EXPECT_EQ(AppendTranslation(QString(), QString()), QStringLiteral(" "));
    EXPECT_EQ(AppendTranslation(QStringLiteral("Oui "), QStringLiteral("Non")),
              QStringLiteral("Oui \r\nNon "));
    EXPECT_EQ(AppendTranslation(QStringLiteral("Non Connecté"), QStringLiteral("Salut")),
              QStringLiteral("Non Connecté\r\nSalut "));
    EXPECT_EQ(AppendTranslation(QStringLiteral("Oui "), QString()), QStringLiteral("Oui \r\n "));
}

}  // namespace
}  // namespace verz
