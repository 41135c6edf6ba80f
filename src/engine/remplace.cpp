#include "engine/remplace.h"

#include <limits>

namespace verz {

namespace detail {

// The result is built in one pass over Source. Searching the rebuilt text from
// b + R never looks at the inserted text, so every later match lies in the
// untouched rest of Source, right after the previous occurrence: the plain
// left-to-right scan over Source finds exactly the same occurrences.
QString RemplaceBounded(const QString &Source, const QString &Find, const QString &ReplaceStr,
                        qint32 Start, qint32 Count, qint32 Compare, qint64 positionLimit)
{
    if (Find.isEmpty())
        throw VerzError(VerzError::kInvalidArgument, "Remplace: empty Find");
    const qint64 start = Start < 1 ? 1 : Start;
    const qsizetype from = static_cast<qsizetype>(start - 1);
    if (from >= Source.size())
        return {};

    const Qt::CaseSensitivity sensitivity = Compare == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const QStringView source(Source);
    const qsizetype findLength = Find.size();
    const qsizetype replaceLength = ReplaceStr.size();

    // Work-text position of the next search minus its position in Source: the
    // growth or shrinkage of the text so far. Checked against the 32-bit range
    // the positions live in.
    qint64 shift = 0;
    qint64 replaced = 0;
    qsizetype copied = from;
    qsizetype found = source.indexOf(Find, from, sensitivity);
    if (found < 0)
        return Source.mid(from);

    QString result;
    result.reserve(replaceLength > findLength ? Source.size() - from + (Source.size() - from) / 4
                                              : Source.size() - from);
    while (found >= 0) {
        const qint64 b = found + 1 + shift;  // 1-based position in the work text
        if (b + findLength > positionLimit || b + replaceLength > positionLimit)
            throw VerzError(VerzError::kOverflow, "Remplace: position overflow");
        result.append(source.mid(copied, found - copied));
        result.append(ReplaceStr);
        copied = found + findLength;
        shift += replaceLength - findLength;
        ++replaced;
        if (replaced == Count)
            break;
        if (replaced >= std::numeric_limits<qint32>::max())
            throw VerzError(VerzError::kOverflow, "Remplace: counter overflow");
        found = source.indexOf(Find, copied, sensitivity);
    }
    result.append(source.mid(copied));
    if (result.size() + from > positionLimit)
        throw VerzError(VerzError::kOverflow, "Remplace: text too long");
    return result;
}

}  // namespace detail

QString Remplace(const QString &Source, const QString &Find, const QString &ReplaceStr,
                 qint32 Start, qint32 Count, qint32 Compare)
{
    return detail::RemplaceBounded(Source, Find, ReplaceStr, Start, Count, Compare,
                                   std::numeric_limits<qint32>::max());
}

}  // namespace verz
