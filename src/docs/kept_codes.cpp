#include "docs/kept_codes.h"

#include <QRegularExpression>

#include <algorithm>

namespace verz {

namespace {

// No dictionary of any pair knows it; the letters after it number the code.
constexpr QLatin1StringView kPrefix("Zqxj");
constexpr qsizetype kMaxCodes = 20000;
constexpr qsizetype kMaxWord = 256;

QString Placeholder(qsizetype index)
{
    QString suffix;
    do {
        suffix.prepend(QChar(u'a' + char16_t(index % 26)));
        index /= 26;
    } while (index > 0);
    return kPrefix + suffix;
}

// -1 for a suffix no placeholder of ours has.
qsizetype PlaceholderIndex(QStringView suffix)
{
    if (suffix.isEmpty() || suffix.size() > 4)
        return -1;
    qsizetype index = 0;
    for (const QChar c : suffix)
        index = index * 26 + (c.unicode() - u'a');
    return index;
}

bool IsEdgePunctuation(QChar c)
{
    return QStringView(u"()[]{}<>,;:!?\"'«»“”‘’…").contains(c);
}

// The word's part that may be a code: surrounding punctuation and a final full stop aside.
QStringView Core(QStringView word)
{
    while (!word.isEmpty() && IsEdgePunctuation(word.front()))
        word = word.sliced(1);
    while (!word.isEmpty() && (IsEdgePunctuation(word.back()) || word.back() == u'.'))
        word.chop(1);
    return word;
}

}  // namespace

bool IsCode(const QString &word)
{
    if (word.size() < 2 || word.size() > kMaxWord)
        return false;
    static const QRegularExpression kMail(QStringLiteral(R"(^[\w.+-]+@[\w-]+(\.[\w-]+)+$)"));
    static const QRegularExpression kWeb(QStringLiteral(R"(^(https?://|ftp://|www\.)\S+$)"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression kPath(QStringLiteral(R"(^(~?/|\./)[\w.-]+(/[\w.-]*)*$)"));
    static const QRegularExpression kOrdinal(
        QStringLiteral(R"(^\d+(st|nd|rd|th|e|er|re|ers|res|es|ème|èmes|eme|º|ª|o|a|os|as)$)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression kDotted(QStringLiteral(R"(^\.?\w+(\.\w+)+$)"));
    if (kMail.match(word).hasMatch() || kWeb.match(word).hasMatch())
        return true;
    if (kPath.match(word).hasMatch() && (word.startsWith(u'.') || word.count(u'/') >= 2))
        return true;
    bool letter = false, digit = false;
    for (const QChar c : word) {
        letter |= c.isLetter();
        digit |= c.isDigit();
    }
    if (!letter)
        return false;  // numbers are the translator's to write
    const bool wordish = std::all_of(word.begin(), word.end(), [](QChar c) {
        return c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.' || c == u'/';
    });
    if (!wordish)
        return false;
    if (word.contains(u'_'))
        return true;
    if (digit && !kOrdinal.match(word).hasMatch())
        return true;
    if (kDotted.match(word).hasMatch()) {
        // Abbreviations such as "e.g" have one-letter pieces only.
        const QStringList pieces = word.split(u'.', Qt::SkipEmptyParts);
        return std::any_of(pieces.begin(), pieces.end(),
                           [](const QString &piece) { return piece.size() >= 2; }) &&
               std::all_of(pieces.begin(), pieces.end(),
                           [](const QString &piece) { return !piece.isEmpty(); });
    }
    return false;
}

namespace {

// Replaces the codes of text by placeholders numbered after those in codes.
// In RTF, braces and control words part words as spaces do, and are copied as they are.
qsizetype RtfMarkupLength(const QString &text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c == u'{' || c == u'}')
        return 1;
    if (c != u'\\')
        return 0;
    qsizetype end = i + 1;
    if (end < text.size() && !text.at(end).isLetter())
        return qMin(text.size() - i, qsizetype(2));
    while (end < text.size() && text.at(end).isLetter())
        ++end;
    if (end < text.size() && text.at(end) == u'-')
        ++end;
    while (end < text.size() && text.at(end).isDigit())
        ++end;
    return end - i;
}

bool IsHexRun(QStringView word)
{
    return word.size() >= 16 && std::all_of(word.begin(), word.end(), [](QChar c) {
               return c.isDigit() || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
           });
}

QString Keep(const QString &text, QStringList &codes, bool rtf = false)
{
    if (text.contains(kPrefix))
        return text;  // could not be told from a placeholder afterwards
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    auto parts = [&](qsizetype at) {
        return text.at(at).isSpace() || (rtf && RtfMarkupLength(text, at) > 0);
    };
    while (i < text.size()) {
        if (text.at(i).isSpace()) {
            out += text.at(i++);
            continue;
        }
        if (const qsizetype markup = rtf ? RtfMarkupLength(text, i) : 0) {
            out += QStringView(text).sliced(i, markup);
            i += markup;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !parts(end))
            ++end;
        const QStringView word = QStringView(text).sliced(i, end - i);
        const QStringView core = Core(word);
        if (!core.isEmpty() && codes.size() < kMaxCodes && !(rtf && IsHexRun(core)) &&
            IsCode(core.toString())) {
            const qsizetype at = core.data() - word.data();
            out += word.first(at);
            out += Placeholder(codes.size());
            codes.append(core.toString());
            out += word.sliced(at + core.size());
        } else {
            out += word;
        }
        i = end;
    }
    return out;
}

QString Restore(const QString &text, const QStringList &codes)
{
    if (codes.isEmpty())
        return text;
    static const QRegularExpression kPlaceholder(QStringLiteral("Zqxj([a-z]+)"));
    QString out;
    qsizetype last = 0;
    for (auto it = kPlaceholder.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const qsizetype index = PlaceholderIndex(match.capturedView(1));
        out += QStringView(text).sliced(last, match.capturedStart() - last);
        out += index >= 0 && index < codes.size() ? codes.at(index) : match.captured();
        last = match.capturedEnd();
    }
    out += QStringView(text).sliced(last);
    return out;
}

// Calls edit on each stretch of text between tags.
template <typename Edit> QByteArray EachTextStretch(QByteArrayView markup, Edit edit)
{
    QByteArray out;
    out.reserve(markup.size());
    qsizetype i = 0;
    while (i < markup.size()) {
        const qsizetype lt = markup.indexOf('<', i);
        const qsizetype stop = lt < 0 ? markup.size() : lt;
        const QByteArrayView stretch = markup.sliced(i, stop - i);
        const QString text = QString::fromUtf8(stretch);
        if (!stretch.isEmpty() && text.toUtf8() == stretch)
            out += edit(text).toUtf8();
        else
            out += stretch;
        if (lt < 0)
            break;
        const qsizetype gt = markup.indexOf('>', lt);
        const qsizetype end = gt < 0 ? markup.size() : gt + 1;
        out += markup.sliced(lt, end - lt);
        i = end;
    }
    return out;
}

// Placeholders are ASCII: found in the bytes themselves, so what is not UTF-8
// (an RTF's binary data, a page in another encoding) goes through untouched.
QByteArray RestoreBytes(QByteArrayView bytes, const QStringList &codes)
{
    if (codes.isEmpty())
        return bytes.toByteArray();
    QByteArray out;
    out.reserve(bytes.size());
    qsizetype last = 0;
    for (qsizetype at = 0; (at = bytes.indexOf("Zqxj", at)) >= 0;) {
        qsizetype end = at + 4;
        while (end < bytes.size() && bytes[end] >= 'a' && bytes[end] <= 'z')
            ++end;
        const qsizetype index =
            PlaceholderIndex(QString::fromLatin1(bytes.sliced(at + 4, end - at - 4)));
        if (index >= 0 && index < codes.size()) {
            out += bytes.sliced(last, at - last);
            out += codes.at(index).toUtf8();
            last = end;
        }
        at = end;
    }
    out += bytes.sliced(last);
    return out;
}

}  // namespace

KeptCodes KeepCodes(const QString &text)
{
    KeptCodes kept;
    kept.text = Keep(text, kept.codes);
    return kept;
}

QString RestoreCodes(const QString &text, const QStringList &codes)
{
    return Restore(text, codes);
}

KeptMarkupCodes KeepCodesInRtf(QByteArrayView rtf)
{
    const QString text = QString::fromUtf8(rtf);
    KeptMarkupCodes kept;
    if (text.toUtf8() != rtf) {
        kept.bytes = rtf.toByteArray();
        return kept;
    }
    kept.bytes = Keep(text, kept.codes, true).toUtf8();
    return kept;
}

QByteArray RestoreCodesInRtf(QByteArrayView rtf, const QStringList &codes)
{
    return RestoreBytes(rtf, codes);
}

KeptMarkupCodes KeepCodesInMarkup(QByteArrayView markup, QStringList codes)
{
    if (markup.contains(QByteArrayView("Zqxj")))
        return {markup.toByteArray(), codes};
    KeptMarkupCodes kept;
    kept.bytes = EachTextStretch(markup, [&codes](const QString &text) {
        // Entities are left whole: "&amp;" never sits inside a code we keep.
        return Keep(text, codes);
    });
    kept.codes = codes;
    return kept;
}

QByteArray RestoreCodesInMarkup(QByteArrayView markup, const QStringList &codes)
{
    return RestoreBytes(markup, codes);
}

}  // namespace verz
