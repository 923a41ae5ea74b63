#pragma once

#include <QString>

// Reads one string value under the local-machine hive. Where the platform has no
// registry the read always fails.
bool RegReadString(const QString& keyPath, const QString& valueName, QString& value);
