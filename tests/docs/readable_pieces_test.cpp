// What the service does around Apertium's converters and its pivots so the
// translation reads right, on bytes made here.
#include "docs/converter_seam.h"
#include "docs/kept_codes.h"
#include "docs/language_tags.h"
#include "docs/language_words.h"
#include "docs/markup_pieces.h"
#include "docs/rtf_text.h"
#include "docs/zip_rewrite.h"
#include "docs/zip_writer.h"
#include "service/pivot_check.h"

#include <gtest/gtest.h>

namespace verz {
namespace {

TEST(RtfText, LettersGoInAsUtf8AndComeBackAsEscapes)
{
    // \uN with its substitute, \'xx in the declared page, a surrogate pair, \uc2, \bin kept.
    const QByteArray in = "{\\rtf1\\ansi\\ansicpg1252 t\\u233?l\\'e9 \\'80 \\u-10179?\\u-8704? "
                          "{\\uc2\\u231\\'e7x}} \\bin3 \\'e9\\\\'e9";
    const QByteArray utf8 = RtfForConverter(in);
    EXPECT_EQ(QString::fromUtf8(utf8),
              QStringLiteral("{\\rtf1\\ansi\\ansicpg1252 télé € \U0001F600 "
                             "{\\uc2ç}} \\bin3 \\'e9\\\\'e9"));
    // Back: 1252 substitutes where it has the letter, '?' where not, signed numbers.
    EXPECT_EQ(RtfFromConverter(QStringLiteral("té €\U0001F600 \\bin2 é").toUtf8()),
              QByteArray("t\\u233\\'e9 \\u8364\\'80\\u-10179?\\u-8704? \\bin2 ") +
                  QStringLiteral("é").toUtf8().left(2));
    EXPECT_EQ(RtfFromConverter("plain {\\b text}"), "plain {\\b text}");
}

TEST(MarkupPieces, TagEndsTightenedAndLineBreaksMadeBoundaries)
{
    EXPECT_EQ(TightenTagEnds("<TITLE\n>A b</TITLE\n><META\nNAME=\"x > y\"\n><br />"
                             "<!-- c\n--><script\n>if (a\n> b) x();</script\n>"),
              "<TITLE>A b</TITLE><META\nNAME=\"x > y\"><br /><!-- c\n--><script>if (a\n> b) "
              "x();</script>");
    const QByteArray word = "<w:p><w:pPr/><w:r><w:rPr><w:b/></w:rPr><w:t>A b</w:t><w:br/>"
                            "<w:t>c</w:t></w:r><w:hyperlink><w:r><w:br/></w:r></w:hyperlink></w:p>";
    const QByteArray split = SplitLineBreaks(word);
    EXPECT_EQ(split, "<w:p><w:pPr/><w:r><w:rPr><w:b/></w:rPr><w:t>A b</w:t></w:r></w:p>"
                     "<w:p w:rsidR=\"00B2EA01\"><w:r><w:rPr><w:b/></w:rPr><w:t>c</w:t></w:r>"
                     "<w:hyperlink><w:r><w:br/></w:r></w:hyperlink></w:p>");
    EXPECT_EQ(JoinLineBreaks(split), word);
}

TEST(LanguageTags, SetToTheTargetInEachFormat)
{
    EXPECT_EQ(RetagMember(QStringLiteral("styles.xml"),
                          "<style:text-properties fo:language=\"en\" fo:country=\"GB\" "
                          "style:language-asian=\"zh\"/>",
                          QStringLiteral("fr")),
              "<style:text-properties fo:language=\"fr\" fo:country=\"FR\" "
              "style:language-asian=\"zh\"/>");
    EXPECT_EQ(RetagMember(QStringLiteral("word/styles.xml"),
                          "<w:lang w:val=\"en-GB\" w:eastAsia=\"zh-CN\"/><w:language w:val=\"x\"/>",
                          QStringLiteral("es")),
              "<w:lang w:val=\"es-ES\" w:eastAsia=\"zh-CN\"/><w:language w:val=\"x\"/>");
    EXPECT_EQ(RetagMember(QStringLiteral("ppt/slides/slide1.xml"),
                          "<a:rPr lang=\"en-US\" altLang=\"en-US\"/>", QStringLiteral("it")),
              "<a:rPr lang=\"it-IT\" altLang=\"en-US\"/>");
    EXPECT_EQ(RetagHtml("<!DOCTYPE html><HTML\nLANG=\"en\"><p lang=\"en\">", QStringLiteral("pt")),
              "<!DOCTYPE html><HTML\nLANG=\"pt\"><p lang=\"en\">");
    EXPECT_EQ(RetagHtml("<html><body>", QStringLiteral("fr")), "<html lang=\"fr\"><body>");
}

TEST(KeptCodes, CodesPassAndWordsDoNot)
{
    for (const char *code :
         {"A-100", "report_v2.txt", "mail@example.org", ".gpg.edit_ownertrust.value",
          "REF-2024-0017", "https://translate.example.lan/x", "/usr/share/doc", "B2B",
          "example.org"})
        EXPECT_TRUE(IsCode(QString::fromUtf8(code))) << code;
    for (const char *word : {"house", "e.g", "2nd", "3e", "1990", "and/or", "l'eau", "12,5", "a"})
        EXPECT_FALSE(IsCode(QString::fromUtf8(word))) << word;
    const KeptCodes kept =
        KeepCodes(QStringLiteral("The A-100 (see report_v2.txt). Ask mail@x.org."));
    EXPECT_EQ(kept.text, QStringLiteral("The Zqxja (see Zqxjb). Ask Zqxjc."));
    EXPECT_EQ(RestoreCodes(QStringLiteral("La Zqxja (voir Zqxjb). Zqxjc."), kept.codes),
              QStringLiteral("La A-100 (voir report_v2.txt). mail@x.org."));
    // In markup only text is read; in RTF control words part words and stay.
    const KeptMarkupCodes xml = KeepCodesInMarkup("<w:t a=\"A-1\">B-2 x</w:t>");
    EXPECT_EQ(xml.bytes, "<w:t a=\"A-1\">Zqxja x</w:t>");
    EXPECT_EQ(RestoreCodesInMarkup(xml.bytes, xml.codes), "<w:t a=\"A-1\">B-2 x</w:t>");
    const KeptMarkupCodes rtf = KeepCodesInRtf("{\\f0 A-100\\par}");
    EXPECT_EQ(rtf.bytes, "{\\f0 Zqxja\\par}");
}

TEST(ConverterSeam, ZipMembersRewrittenOthersCopied)
{
    const QByteArray zip =
        test::MakeZip({{"mimetype", "application/vnd.oasis.opendocument.text", false},
                       {"styles.xml", "<s fo:language=\"en\" fo:country=\"US\"/>"},
                       {"content.xml", "<text:p>Call A-100.</text:p>"},
                       {"Pictures/p.png", QByteArray(300, 'x')}});
    QStringList codes;
    const QByteArray before = DocumentForConverter(DocumentFormat::Odt, zip, codes);
    EXPECT_EQ(codes, QStringList{QStringLiteral("A-100")});
    const QByteArray after =
        DocumentFromConverter(DocumentFormat::Odt, before, QStringLiteral("fr"), codes);
    QHash<QString, QByteArray> members;
    ASSERT_TRUE(RewriteZip(
        after, [](const QString &) { return true; },
        [&members](const QString &name, const QByteArray &bytes) {
            members.insert(name, bytes);
            return bytes;
        }));
    EXPECT_EQ(members.value(QStringLiteral("content.xml")), "<text:p>Call A-100.</text:p>");
    EXPECT_EQ(members.value(QStringLiteral("styles.xml")),
              "<s fo:language=\"fr\" fo:country=\"FR\"/>");
    EXPECT_EQ(members.value(QStringLiteral("Pictures/p.png")), QByteArray(300, 'x'));
    EXPECT_TRUE(after.mid(30, 8) == "mimetype");  // still the first member
    EXPECT_FALSE(RewriteZip("not a zip", {}, {}));
}

TEST(LanguageWords, TellsALetterInAnotherLanguage)
{
    EXPECT_EQ(LikelyLanguage(QStringLiteral(
                  "Sehr geehrte Damen und Herren, wir danken Ihnen für Ihren Brief und die "
                  "Unterlagen, die Sie uns geschickt haben. Es ist nicht einfach, aber wir sind "
                  "sicher, dass die Arbeit bei uns gut wird.")),
              QStringLiteral("de"));
    EXPECT_EQ(
        LikelyLanguage(QStringLiteral(
            "The house is small and the garden is green. We thank you for the letter "
            "that you sent to us, and we will answer it with the papers you have asked for.")),
        QStringLiteral("en"));
    EXPECT_EQ(LikelyLanguage(QStringLiteral("Total 12 30 45 A-100")), QString());
    EXPECT_EQ(SampleText(DocumentFormat::Rtf, "{\\rtf1 \\b Hallo\\b0 Welt}").simplified(),
              QStringLiteral("Hallo Welt"));
}

TEST(PivotCheck, SentencesWithWordsTheFirstLegMadeTakenFromTheOtherRoute)
{
    const QString source = QStringLiteral("In January, Kowalski came. The barcode is here.");
    const QString first = QStringLiteral("En *Gener, *Kowalski est venu. Le *barcode est ici.");
    const QString other = QStringLiteral("En janvier, *Kowalski est venu. La *barcode est là.");
    EXPECT_EQ(LegMadeUnknowns(first, source), 1);
    EXPECT_EQ(PreferKnown(source, first, other),
              QStringLiteral("En janvier, Kowalski est venu. Le barcode est ici."));
    EXPECT_EQ(WithoutMarks(QStringLiteral("#sabut @x *y")), QStringLiteral("sabut x y"));
    EXPECT_FALSE(CanMark(QStringLiteral("C# *bold*")));
}

}  // namespace
}  // namespace verz
