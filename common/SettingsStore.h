#pragma once

#include <QString>

// The per-user settings store: one INI file per application name in
// $XDG_CONFIG_HOME/asmanager/ (default ~/.config/asmanager/), named after the
// application name with every "/" replaced by "_", UTF-8, values taken literally
// to the end of their line. The files are readable by their owner only.

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& def = {});
// Returns false when the file cannot be written, and when it exists but cannot be
// read (it is then left as it is, not replaced by the one value).
bool SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value);
bool DeleteSetting(const QString& appName, const QString& section, const QString& key);

// The file that holds one application's settings.
QString SettingsFilePath(const QString& appName);
