#include "platform/settings_store.h"

#include <QSettings>

namespace verz {

namespace {
QString entryKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}
}  // namespace

QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, appName, appName);
    const QVariant value = store.value(entryKey(section, key));
    if (!value.isValid())
        return defaultValue;
    return value.toString();
}

void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, appName, appName);
    store.setValue(entryKey(section, key), value);
    store.sync();
}

}  // namespace verz
