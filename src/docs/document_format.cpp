#include "docs/document_format.h"

#include <QStringDecoder>

namespace verz {

FormatInfo InfoOf(DocumentFormat format)
{
    switch (format) {
    case DocumentFormat::Text:
        return {"txt", "text/plain; charset=utf-8", "txt"};
    case DocumentFormat::Html:
        return {"html", "text/html; charset=utf-8", "html-noent"};
    case DocumentFormat::Rtf:
        return {"rtf", "application/rtf", "rtf"};
    case DocumentFormat::Odt:
        return {"odt", "application/vnd.oasis.opendocument.text", "odt"};
    case DocumentFormat::Odp:
        return {"odp", "application/vnd.oasis.opendocument.presentation", "odp"};
    case DocumentFormat::Docx:
        return {"docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
                "docx"};
    case DocumentFormat::Pptx:
        return {"pptx", "application/vnd.openxmlformats-officedocument.presentationml.presentation",
                "pptx"};
    case DocumentFormat::Xlsx:
        return {"xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
                "xlsx"};
    case DocumentFormat::Unknown:
        break;
    }
    return {"bin", "application/octet-stream", ""};
}

bool IsZipped(DocumentFormat format)
{
    return format == DocumentFormat::Odt || format == DocumentFormat::Odp ||
           format == DocumentFormat::Docx || format == DocumentFormat::Pptx ||
           format == DocumentFormat::Xlsx;
}

bool IsFormatMarker(const QString &name)
{
    static const QStringList kNames = {QStringLiteral("mimetype"),
                                       QStringLiteral("[Content_Types].xml"),
                                       QStringLiteral("META-INF/manifest.xml"),
                                       QStringLiteral("content.xml"),
                                       QStringLiteral("word/document.xml"),
                                       QStringLiteral("xl/sharedStrings.xml")};
    return kNames.contains(name) || (name.startsWith(QStringLiteral("ppt/slides/slide")) &&
                                     name.endsWith(QStringLiteral(".xml")));
}

namespace {

DocumentFormat ZippedFormat(const ZipReport &zip)
{
    const QByteArray mimetype = zip.keptMembers.value(QStringLiteral("mimetype")).trimmed();
    if (mimetype == "application/vnd.oasis.opendocument.text")
        return DocumentFormat::Odt;
    if (mimetype == "application/vnd.oasis.opendocument.presentation")
        return DocumentFormat::Odp;
    const QByteArray types = zip.keptMembers.value(QStringLiteral("[Content_Types].xml"));
    if (types.isEmpty())
        return DocumentFormat::Unknown;
    // The main part's content type says which of the three it is; the
    // macro-enabled and template variants are left out on purpose.
    if (types.contains("wordprocessingml.document.main+xml") &&
        zip.names.contains(QStringLiteral("word/document.xml")))
        return DocumentFormat::Docx;
    if (types.contains("presentationml.presentation.main+xml") &&
        zip.names.contains(QStringLiteral("ppt/presentation.xml")))
        return DocumentFormat::Pptx;
    if (types.contains("spreadsheetml.sheet.main+xml") &&
        zip.names.contains(QStringLiteral("xl/workbook.xml")))
        return DocumentFormat::Xlsx;
    return DocumentFormat::Unknown;
}

QByteArrayView SkipBomAndSpace(QByteArrayView content)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        content = content.sliced(3);
    qsizetype at = 0;
    while (at < content.size() && QByteArrayView(" \t\r\n").contains(content[at]))
        ++at;
    return content.sliced(at);
}

bool LooksLikeHtml(QByteArrayView head)
{
    const QByteArray lower = head.first(qMin<qsizetype>(head.size(), 512)).toByteArray().toLower();
    if (lower.startsWith("<!doctype html") || lower.startsWith("<html"))
        return true;
    // An XHTML file opens with its XML declaration.
    return lower.startsWith("<?xml") && lower.contains("<html");
}

}  // namespace

namespace {

// Any character outside the tags (entities count: they stand for one).
bool MarkupHasText(QByteArrayView markup)
{
    bool inTag = false;
    for (const char c : markup) {
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (!inTag && !QByteArrayView(" \t\r\n").contains(c))
            return true;
    }
    return false;
}

}  // namespace

bool HasText(DocumentFormat format, QByteArrayView content, const ZipReport *zip)
{
    switch (format) {
    case DocumentFormat::Text:
        return !content.trimmed().isEmpty();
    case DocumentFormat::Html:
        return MarkupHasText(content);
    case DocumentFormat::Unknown:
    case DocumentFormat::Rtf:
        return true;  // its control words look like text: Apertium judges
    default:
        break;
    }
    if (!zip)
        return true;
    for (auto part = zip->keptMembers.cbegin(); part != zip->keptMembers.cend(); ++part) {
        const QString &name = part.key();
        const bool textPart = name == u"content.xml" || name == u"word/document.xml" ||
                              name == u"xl/sharedStrings.xml" ||
                              name.startsWith(u"ppt/slides/slide");
        // A part kept only in part may have its text further on.
        if (textPart && (part.value().size() >= kMaxKeptMember || MarkupHasText(part.value())))
            return true;
    }
    return false;
}

DocumentFormat SniffFormat(QByteArrayView content, const ZipReport *zip)
{
    if (zip)
        return ZippedFormat(*zip);
    if (content.startsWith("{\\rtf"))
        return DocumentFormat::Rtf;
    const QByteArrayView head = SkipBomAndSpace(content);
    if (LooksLikeHtml(head))
        return DocumentFormat::Html;
    // Text is what is left when it decodes as UTF-8 and holds no control
    // bytes that text never has (a binary file often decodes by chance).
    // Slice by slice: a whole upload decoded at once would double in memory.
    constexpr qsizetype kSlice = 64 * 1024;
    QStringDecoder decoder(QStringDecoder::Utf8);
    for (qsizetype at = 0; at < content.size(); at += kSlice) {
        const QString text = decoder.decode(content.sliced(at, qMin(kSlice, content.size() - at)));
        if (decoder.hasError())
            return DocumentFormat::Unknown;
        for (const QChar c : text)
            if (c.unicode() < 0x20 && c != u'\n' && c != u'\r' && c != u'\t' && c != u'\f')
                return DocumentFormat::Unknown;
    }
    return DocumentFormat::Text;
}

}  // namespace verz
