#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

// Who runs the program: each user of a shared program folder has a lock of their own,
// also when the locks meet in a temporary folder that every user shares.
QString currentUser()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("USERDOMAIN") + QLatin1Char('\\') + qEnvironmentVariable("USERNAME");
#else
    return QString::number(geteuid());
#endif
}

} // namespace

SingleInstance::SingleInstance(const QString& appDir)
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    const QByteArray key =
        QCryptographicHash::hash((currentUser() + QLatin1Char('\n') + QDir(appDir).absolutePath()).toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    m_path = base + QStringLiteral("/asmanager-") + QString::fromLatin1(key) + QStringLiteral(".lock");
    m_lock = std::make_unique<QLockFile>(m_path);
    // A lock is stale only when its process is gone, never by age.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire()
{
    return m_lock->isLocked() || m_lock->tryLock(0);
}
