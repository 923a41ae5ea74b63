// Stands in for a new client in the update tests: reports its start to filechanger as
// the client does, and writes "started" to restarted.txt in its working folder.

#include "platform/UpdateHandshake.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ReportStarted();
    QFile note(QStringLiteral("restarted.txt"));
    return note.open(QIODevice::WriteOnly) && note.write("started\n") == 8 ? 0 : 1;
}
