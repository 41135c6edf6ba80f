#include "docs/attachment_name.h"
#include "docs/document_format.h"
#include "docs/document_repack.h"
#include "docs/multipart_form.h"
#include "docs/xml_defuse.h"
#include "docs/zip_inspector.h"
#include "docs/zip_writer.h"

#include <gtest/gtest.h>

namespace verz {
namespace {

using test::MakeZip;

const QByteArray kType = "multipart/form-data; boundary=XyZ";

QByteArray Body(const QByteArray &file, const QByteArray &pair = "en|es")
{
    return "--XyZ\r\nContent-Disposition: form-data; name=\"langpair\"\r\n\r\n" + pair +
           "\r\n--XyZ\r\nContent-Disposition: form-data; name=\"file\"; "
           "filename=\"C:\\\\Docs\\\\lettre \\\"a\\\".odt\"\r\n"
           "Content-Type: application/octet-stream\r\n\r\n" +
           file + "\r\n--XyZ--\r\n";
}

TEST(MultipartForm, ReadsFieldsAndKeepsFileBytesAsSent)
{
    // The file holds what would end a part if the parser matched loosely.
    const QByteArray file = QByteArray("--XyZ\r\n\0\r\n--Xy", 15);
    const QByteArray body = Body(file);
    const auto parsed = ParseMultipartForm(kType, body);
    ASSERT_TRUE(std::holds_alternative<MultipartForm>(parsed));
    const MultipartForm &form = std::get<MultipartForm>(parsed);
    ASSERT_EQ(form.parts.size(), 2);
    EXPECT_EQ(form.find("langpair")->data, "en|es");
    EXPECT_FALSE(form.find("langpair")->isFile);
    EXPECT_EQ(form.find("file")->data, file);
    EXPECT_EQ(form.find("file")->fileName, QStringLiteral("C:\\Docs\\lettre \"a\".odt"));
    // RFC 5987 names win over the plain one.
    const QByteArray extended =
        "--XyZ\r\nContent-Disposition: form-data; name=\"file\"; filename=\"x.odt\"; "
        "filename*=UTF-8''%C3%A9t%C3%A9.odt\r\n\r\nabc\r\n--XyZ--";
    const auto second = ParseMultipartForm(kType, extended);
    ASSERT_TRUE(std::holds_alternative<MultipartForm>(second));
    EXPECT_EQ(std::get<MultipartForm>(second).find("file")->fileName, QStringLiteral("été.odt"));
}

TEST(MultipartForm, RefusesBrokenBodies)
{
    const QByteArray body = Body("abc");
    auto error = [](QByteArrayView type, QByteArrayView bytes) {
        const auto parsed = ParseMultipartForm(type, bytes);
        return std::holds_alternative<FormError>(parsed) ? std::get<FormError>(parsed)
                                                         : FormError(-1);
    };
    EXPECT_EQ(error("multipart/form-data", body), FormError::NoBoundary);
    EXPECT_EQ(error("multipart/form-data; boundary=\"\"", body), FormError::NoBoundary);
    EXPECT_EQ(error("application/x-www-form-urlencoded", body), FormError::NotMultipart);
    for (const qsizetype cut : {qsizetype(0), qsizetype(10), body.size() - 12, body.size() - 4})
        EXPECT_EQ(error(kType, body.first(cut)), FormError::Truncated) << cut;
    const QByteArray twoFiles =
        "--XyZ\r\nContent-Disposition: form-data; name=\"file\"; filename=\"a\"\r\n\r\n1\r\n"
        "--XyZ\r\nContent-Disposition: form-data; name=\"file\"; filename=\"b\"\r\n\r\n2\r\n"
        "--XyZ--\r\n";
    EXPECT_EQ(error(kType, twoFiles), FormError::DuplicateField);
    EXPECT_EQ(error(kType, "--XyZ\r\nno head here\r\n--XyZ--"), FormError::Malformed);
}

TEST(ZipInspector, PassesADocumentAndCatchesBombsLiesAndLocks)
{
    const QByteArray mimetype = "application/vnd.oasis.opendocument.text";
    const QByteArray odt = MakeZip({{"mimetype", mimetype, false},
                                    {"content.xml", QByteArray(5000, 'a')},
                                    {"META-INF/manifest.xml", "<manifest/>"}});
    const ZipReport sound = InspectZip(odt, IsFormatMarker);
    ASSERT_EQ(sound.verdict, ZipVerdict::Sound);
    EXPECT_EQ(sound.unpackedBytes, mimetype.size() + 5000 + 11);
    EXPECT_EQ(SniffFormat(odt, &sound), DocumentFormat::Odt);

    const ZipLimits small{1024 * 1024, 100};
    const QByteArray zeros(2 * 1024 * 1024, '\0');
    // Honest about its size, or claiming a few bytes: either way stopped at the cap.
    EXPECT_EQ(InspectZip(MakeZip({{"a", zeros}}), {}, small).verdict, ZipVerdict::TooLarge);
    const ZipReport lying = InspectZip(MakeZip({{"a", zeros, true, false, 10}}), {}, small);
    EXPECT_NE(lying.verdict, ZipVerdict::Sound);
    EXPECT_LE(lying.unpackedBytes, small.maxUnpacked + 64 * 1024);

    // A picked member past the keeping cap is kept as its beginning, stored or not.
    QByteArray big;
    for (int i = 0; big.size() < kMaxKeptMember + 70000; ++i)
        big += QByteArray::number(i) + ' ';
    for (const bool deflate : {false, true}) {
        const ZipReport kept =
            InspectZip(MakeZip({{"big", big, deflate}}), [](const QString &) { return true; });
        const QByteArray beginning = kept.keptMembers.value(QStringLiteral("big"));
        EXPECT_EQ(beginning.size(), kMaxKeptMember) << deflate;
        EXPECT_TRUE(big.startsWith(beginning)) << deflate;
    }

    EXPECT_EQ(InspectZip(MakeZip({{"a", "x", true, true}}), {}).verdict, ZipVerdict::Encrypted);
    const QByteArray locked =
        MakeZip({{"mimetype", mimetype, false},
                 {"META-INF/manifest.xml", "<manifest:encryption-data manifest:checksum=\"x\"/>"}});
    EXPECT_EQ(InspectZip(locked, IsFormatMarker).verdict, ZipVerdict::Encrypted);

    EXPECT_EQ(InspectZip(odt.first(odt.size() / 2), {}).verdict, ZipVerdict::Corrupt);
    QByteArray flipped = odt;
    flipped[flipped.indexOf("application") + 3] = 'X';  // checksum no longer matches
    EXPECT_EQ(InspectZip(flipped, {}).verdict, ZipVerdict::Corrupt);
    EXPECT_EQ(InspectZip("random bytes, not a zip", {}).verdict, ZipVerdict::NotZip);
}

TEST(DocumentFormat, SniffsFromContentNotName)
{
    const QByteArray types =
        "<Types><Override ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
    const QByteArray docx =
        MakeZip({{"[Content_Types].xml", types}, {"word/document.xml", "<w:document/>"}});
    const ZipReport report = InspectZip(docx, IsFormatMarker);
    EXPECT_EQ(SniffFormat(docx, &report), DocumentFormat::Docx);
    const QByteArray other = MakeZip({{"notes.txt", "hello"}});
    const ZipReport plainZip = InspectZip(other, IsFormatMarker);
    EXPECT_EQ(SniffFormat(other, &plainZip), DocumentFormat::Unknown);
    EXPECT_EQ(SniffFormat("{\\rtf1\\ansi hello}", nullptr), DocumentFormat::Rtf);
    EXPECT_EQ(SniffFormat("\xEF\xBB\xBF\n<!DOCTYPE html><p>x", nullptr), DocumentFormat::Html);
    EXPECT_EQ(SniffFormat("Une lettre.\nÀ bientôt.\n", nullptr), DocumentFormat::Text);
    EXPECT_EQ(SniffFormat("\xff\xfe\x00\x01", nullptr), DocumentFormat::Unknown);
    EXPECT_EQ(SniffFormat(QByteArray("ab\0cd", 5), nullptr), DocumentFormat::Unknown);
}

TEST(XmlDefuse, CutsNamedDtdsAndRefusesEveryWayToAnEntity)
{
    EXPECT_EQ(DefuseXml("<?xml version=\"1.0\"?><a>b</a>"), "<?xml version=\"1.0\"?><a>b</a>");
    EXPECT_EQ(DefuseXml("\xEF\xBB\xBF<!doctype a PUBLIC \"-//x>y//EN\" 'z.dtd'><a/>"), "<a/>");
    // Two halves around a cut one join into a declaration: found and cut too.
    EXPECT_EQ(DefuseXml("<!DOC<!DOCTYPE a>TYPE b><a/>"), "<a/>");
    for (const QByteArray &refused :
         {QByteArray("<!DOCTYPE a [<!ENTITY x 'y'>]><a>&x;</a>"),
          QByteArray("<!DOCTYPE a SYSTEM \"http://h/d\" [ ]><a/>"), QByteArray("<!ENTITY x 'y'>"),
          QByteArray("<!ENT<!DOCTYPE a>ITY x 'y'>"), QByteArray("<!DOCTYPE a"),
          QByteArray("<?xml version='1.0' encoding='UTF-16'?><a/>"),
          QByteArray("<?xml version='1.0' encoding=\"utf-7\"?>+ADw-!DOCTYPE"),
          QByteArray("\xFE\xFF\0<\0a\0/\0>", 9), QByteArray("<a>\0</a>", 8)})
        EXPECT_EQ(DefuseXml(refused), std::nullopt) << refused.constData();
}

TEST(DocumentRepack, KeepsFilesAndTheirOrderWithTheTypeFirstAndStored)
{
    const QByteArray odt = MakeZip({{"content.xml", "<a/>"},
                                    {"Pictures/", "", false},
                                    {"Pictures/p.png", "\x89PNG"},
                                    {"mimetype", "application/vnd.oasis.opendocument.text"}});
    QStringList passed;
    const Repacked repacked =
        RepackDocument(DocumentFormat::Odt, odt, [&](const QString &name, QByteArray bytes) {
            passed.append(name);
            return bytes + "<!-- seen -->";
        });
    ASSERT_TRUE(std::holds_alternative<QByteArray>(repacked));
    const QByteArray &out = std::get<QByteArray>(repacked);
    EXPECT_EQ(out.mid(30, 8 + 39), "mimetypeapplication/vnd.oasis.opendocument.text");
    QStringList names;
    UnpackZip(out, [&](const ZipEntry &entry, const QByteArray &content) {
        names.append(entry.name);
        EXPECT_FALSE(entry.isSpecial() || entry.isDirectory());
        if (entry.name == u"content.xml") {
            EXPECT_EQ(content, "<a/><!-- seen -->");
        }
        return true;
    });
    EXPECT_EQ(names, (QStringList{u"mimetype"_qs, u"content.xml"_qs, u"Pictures/p.png"_qs}));
    EXPECT_EQ(passed, QStringList{u"content.xml"_qs});  // text members only
    // A file that is no archive is one member of its own.
    passed.clear();
    RepackDocument(DocumentFormat::Rtf, "{\\rtf1 x}", [&](const QString &name, QByteArray bytes) {
        passed.append(name);
        return bytes;
    });
    EXPECT_EQ(passed, QStringList{u"document.rtf"_qs});
}

TEST(AttachmentName, NamesTheTranslationAndQuotesItSafely)
{
    EXPECT_EQ(TranslatedFileName(u"lettre.odt"_qs, u"en"_qs, u"odt"_qs),
              QStringLiteral("lettre.en.odt"));
    EXPECT_EQ(TranslatedFileName(u"C:\\a\\b/../rapport.final.docx"_qs, u"es"_qs, u"docx"_qs),
              QStringLiteral("rapport.final.es.docx"));
    // The name follows the content: an odt sent as .docx comes back as .odt.
    EXPECT_EQ(TranslatedFileName(u".docx"_qs, u"fr"_qs, u"odt"_qs),
              QStringLiteral("document.fr.odt"));
    EXPECT_EQ(AttachmentDisposition(u"lettre.en.odt"_qs), "attachment; filename=\"lettre.en.odt\"");
    EXPECT_EQ(AttachmentDisposition(QStringLiteral("été \"x\";\r.en.odt")),
              "attachment; filename=\"_t_ _x___.en.odt\"; "
              "filename*=UTF-8''%C3%A9t%C3%A9%20%22x%22%3B%0D.en.odt");
}

}  // namespace
}  // namespace verz
