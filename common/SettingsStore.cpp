#include "common/SettingsStore.h"

#include "common/IniDocument.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

QString settingsDir()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/asmanager");
}

// Nothing when the file exists but cannot be read: it must then not be rewritten,
// or every other value in it would be lost.
std::optional<IniDocument> load(const QString& appName)
{
    const std::optional<QByteArray> bytes = ReadIniFile(SettingsFilePath(appName));
    if (!bytes)
        return std::nullopt;
    return IniDocument::parse(QString::fromUtf8(*bytes));
}

bool store(const QString& appName, const IniDocument& doc)
{
    const QString dir = settingsDir();
    if (!QDir().mkpath(dir))
        return false;
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSaveFile file(SettingsFilePath(appName));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    file.write(doc.text(QStringLiteral("\n")).toUtf8());
    return file.commit();
}

} // namespace

QString SettingsFilePath(const QString& appName)
{
    QString name = appName;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return settingsDir() + QLatin1Char('/') + name + QStringLiteral(".ini");
}

QString GetSetting(const QString& appName, const QString& section, const QString& key, const QString& def)
{
    return load(appName).value_or(IniDocument()).rawValue(section, key).value_or(def);
}

bool SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value)
{
    std::optional<IniDocument> doc = load(appName);
    if (!doc)
        return false;
    doc->set(section, key, value);
    return store(appName, *doc);
}

bool DeleteSetting(const QString& appName, const QString& section, const QString& key)
{
    std::optional<IniDocument> doc = load(appName);
    if (!doc)
        return false;
    doc->remove(section, key);
    return store(appName, *doc);
}
