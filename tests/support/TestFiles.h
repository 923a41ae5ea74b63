#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a file, or "<missing>" when it cannot be read.
QByteArray ReadFileBytes(const QString& path);
bool WriteFileBytes(const QString& path, const QByteArray& bytes);

// Puts a stand-in for the floating message program into `folder`: it appends each
// parameter text it is started with to folder/floatmsg.log.
bool InstallFloatMsgStandIn(const QString& folder);
