#pragma once

// A slow Remplace written step by step from its definition: the working text
// is rebuilt for every occurrence. The fast routine must agree with it.
#include <QString>

#include <optional>

namespace verz::reference {

inline std::optional<QString> Remplace(const QString &source, const QString &find,
                                       const QString &replaceStr, qint64 start, qint64 count,
                                       qint64 compare)
{
    if (find.isEmpty())
        return std::nullopt;  // error 5
    if (start < 1)
        start = 1;
    const Qt::CaseSensitivity cs = compare == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    QString work = source;
    qint64 position = start;
    qint64 replaced = 0;
    for (;;) {
        if (position > work.size() || work.isEmpty())
            break;
        const qsizetype b = work.indexOf(find, position - 1, cs);
        if (b < 0)
            break;
        if (find.size() == replaceStr.size())
            work.replace(b, find.size(), replaceStr);
        else
            work = work.left(b) + replaceStr + work.mid(b + find.size());
        position = b + 1 + replaceStr.size();
        ++replaced;
        if (replaced == count)
            break;
    }
    if (start > 1)
        return start > work.size() ? QString() : work.mid(start - 1);
    return work;
}

}  // namespace verz::reference
