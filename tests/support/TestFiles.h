#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The bytes of a file, or "<missing>" when it cannot be read.
QByteArray ReadFileBytes(const QString& path);
bool WriteFileBytes(const QString& path, const QByteArray& bytes);

// Puts a stand-in for the floating message program into `folder`: it appends each
// parameter text it is started with to folder/floatmsg.log.
bool InstallFloatMsgStandIn(const QString& folder);
// The parameter texts the stand-in in `folder` was started with, oldest first.
QStringList FloatMsgLog(const QString& folder);
void ClearFloatMsgLog(const QString& folder);

// While it lives, file permissions bind this thread as they bind an ordinary user, also
// when the tests run as root (who may otherwise read and write any file).
class FilePermissionsApply
{
public:
    FilePermissionsApply();
    ~FilePermissionsApply();
    FilePermissionsApply(const FilePermissionsApply&) = delete;
    FilePermissionsApply& operator=(const FilePermissionsApply&) = delete;

private:
    unsigned int m_effective = 0;
    bool m_dropped = false;
};
