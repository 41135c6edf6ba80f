#include "docs/converter_seam.h"

#include "docs/kept_codes.h"
#include "docs/language_tags.h"
#include "docs/markup_pieces.h"
#include "docs/rtf_text.h"
#include "docs/zip_rewrite.h"

namespace verz {

namespace {

bool IsXml(const QString &member)
{
    return member.endsWith(QLatin1String(".xml"));
}

// The members whose text Apertium translates.
bool HoldsText(DocumentFormat format, const QString &member)
{
    switch (format) {
    case DocumentFormat::Odt:
    case DocumentFormat::Odp:
        return member == QLatin1String("content.xml") || member == QLatin1String("styles.xml");
    case DocumentFormat::Docx:
        return member.startsWith(QLatin1String("word/")) && IsXml(member) &&
               member.indexOf(u'/', 5) < 0;
    case DocumentFormat::Pptx:
        return member.startsWith(QLatin1String("ppt/slides/slide")) ||
               member.startsWith(QLatin1String("ppt/notesSlides/"));
    case DocumentFormat::Xlsx:
        return member == QLatin1String("xl/sharedStrings.xml");
    default:
        return member.isEmpty();
    }
}

bool IsLineBroken(DocumentFormat format, const QString &member)
{
    return format == DocumentFormat::Docx && HoldsText(format, member);
}

}  // namespace

bool IsTouchedMember(DocumentFormat format, const QString &member)
{
    if (HoldsText(format, member))
        return true;
    switch (format) {
    case DocumentFormat::Odt:
    case DocumentFormat::Odp:
        return member == QLatin1String("meta.xml");
    case DocumentFormat::Docx:
        return member == QLatin1String("docProps/core.xml") ||
               (member.startsWith(QLatin1String("word/")) && IsXml(member));
    case DocumentFormat::Pptx:
        return member.startsWith(QLatin1String("ppt/")) && IsXml(member);
    default:
        return false;
    }
}

QByteArray MemberForConverter(DocumentFormat format, const QString &member, QByteArrayView bytes,
                              QStringList &codes)
{
    if (!HoldsText(format, member))
        return bytes.toByteArray();
    QByteArray out;
    if (format == DocumentFormat::Rtf) {
        KeptMarkupCodes kept = KeepCodesInRtf(RtfForConverter(bytes));
        codes += kept.codes;
        return kept.bytes;
    }
    if (format == DocumentFormat::Text) {
        const QString text = QString::fromUtf8(bytes);
        if (text.toUtf8() != bytes)
            return bytes.toByteArray();
        KeptCodes kept = KeepCodes(text);
        codes += kept.codes;
        return kept.text.toUtf8();
    }
    out = format == DocumentFormat::Html ? TightenTagEnds(bytes) : bytes.toByteArray();
    if (IsLineBroken(format, member))
        out = SplitLineBreaks(out);
    KeptMarkupCodes kept = KeepCodesInMarkup(out, codes);
    codes = kept.codes;
    return kept.bytes;
}

QByteArray MemberFromConverter(DocumentFormat format, const QString &member, QByteArrayView bytes,
                               const QString &target, const QStringList &codes)
{
    QByteArray out = bytes.toByteArray();
    if (HoldsText(format, member)) {
        switch (format) {
        case DocumentFormat::Rtf:
            return RtfFromConverter(RestoreCodesInRtf(out, codes));
        case DocumentFormat::Text:
            return RestoreCodes(QString::fromUtf8(out), codes).toUtf8();
        case DocumentFormat::Html:
            return RetagHtml(RestoreCodesInMarkup(out, codes), target);
        default:
            out = RestoreCodesInMarkup(out, codes);
        }
        if (IsLineBroken(format, member))
            out = JoinLineBreaks(out);
    }
    if (IsTouchedMember(format, member))
        out = RetagMember(member, out, target);
    return out;
}

QByteArray DocumentForConverter(DocumentFormat format, QByteArrayView document, QStringList &codes)
{
    if (!IsZipped(format))
        return MemberForConverter(format, {}, document, codes);
    const auto rewritten = RewriteZip(
        document, [format](const QString &name) { return HoldsText(format, name); },
        [format, &codes](const QString &name, const QByteArray &bytes) {
            return MemberForConverter(format, name, bytes, codes);
        });
    return rewritten ? *rewritten : document.toByteArray();
}

QByteArray DocumentFromConverter(DocumentFormat format, QByteArrayView document,
                                 const QString &target, const QStringList &codes)
{
    if (!IsZipped(format))
        return MemberFromConverter(format, {}, document, target, codes);
    const auto rewritten = RewriteZip(
        document, [format](const QString &name) { return IsTouchedMember(format, name); },
        [format, &target, &codes](const QString &name, const QByteArray &bytes) {
            return MemberFromConverter(format, name, bytes, target, codes);
        });
    return rewritten ? *rewritten : document.toByteArray();
}

}  // namespace verz
