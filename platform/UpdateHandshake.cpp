#include "platform/UpdateHandshake.h"

#include <QCoreApplication>
#include <QFile>

void ReportStarted()
{
    const QString path = qEnvironmentVariable(kStartedFileVariable);
    if (path.isEmpty())
        return;
    qunsetenv(kStartedFileVariable);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
}

bool TakeRolledBack()
{
    const bool rolledBack = qEnvironmentVariable(kRolledBackVariable) == QLatin1String("1");
    qunsetenv(kRolledBackVariable);
    return rolledBack;
}
