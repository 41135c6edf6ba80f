#include "engine/remplace.h"

namespace verz {

// Placeholder until the real routine lands.
QString Remplace(const QString &Source, const QString &Find, const QString &ReplaceStr, qint32,
                 qint32, qint32)
{
    if (Find.isEmpty())
        throw VerzError(VerzError::kInvalidArgument, "Remplace: empty Find");
    QString out = Source;
    return out.replace(Find, ReplaceStr);
}

}  // namespace verz
