#include "engine/page_reader.h"

namespace verz {

QString ExtractTranslation(const QByteArray &)
{
    return {};
}

QString AppendTranslation(const QString &previous, const QString &translation)
{
    if (previous.isEmpty())
        return translation + QLatin1Char(' ');
    return previous + QStringLiteral("\r\n") + translation + QLatin1Char(' ');
}

}  // namespace verz
