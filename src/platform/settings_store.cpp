#include "platform/settings_store.h"

#include "platform/ini_lines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace verz {

namespace {
QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}  // namespace

QString SettingsFilePath(const QString &appName)
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(appName + QLatin1Char('/') + appName + QStringLiteral(".conf"));
}

bool SettingsReadable(const QString &appName)
{
    return IniReadable(FileBytes(SettingsFilePath(appName)));
}

QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    return IniValue(FileBytes(SettingsFilePath(appName)), section, key).value_or(defaultValue);
}

void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value)
{
    // Edited in place, line by line: a general INI writer would rewrite the
    // whole file from what it understood and drop the user's other entries
    // (the service host among them) after a line it could not read.
    const QString path = SettingsFilePath(appName);
    const QByteArray before = FileBytes(path);
    const QByteArray after = WithIniValue(before, section, key, value);
    if (after == before)
        return;
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(after) == after.size())
        file.commit();
}

}  // namespace verz
