#include "pairs/stored_choice.h"

#include "pairs/pair_catalogue.h"
#include "platform/settings_store.h"

namespace verz {

namespace {
const QString kSection = QStringLiteral("data");
const QString kKey = QStringLiteral("list");
}  // namespace

int ParseStoredRow(const QString &stored)
{
    if (stored.isEmpty() || stored.size() > 2)
        return kDefaultPairRow;
    for (const QChar c : stored) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return kDefaultPairRow;
    }
    const int row = stored.toInt();
    return row < kPairRowCount ? row : kDefaultPairRow;
}

int ReadStoredRow(const QString &appName)
{
    return ParseStoredRow(GetSetting(appName, kSection, kKey, QString::number(kDefaultPairRow)));
}

void StoreRow(const QString &appName, int row)
{
    SaveSetting(appName, kSection, kKey, QString::number(row));
}

}  // namespace verz
