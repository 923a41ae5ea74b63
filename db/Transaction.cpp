#include "db/Transaction.h"

#include "db/DbStartup.h"
#include "db/Query.h"

bool BeginTransaction()
{
    ExecSQL(QStringLiteral("START TRANSACTION"));
    return !LastExecFailed();
}

bool CommitTransaction()
{
    ExecSQL(QStringLiteral("COMMIT"));
    return !LastExecFailed();
}

void RollbackTransaction()
{
    if (!WriteConnectionLost())
        ExecSQL(QStringLiteral("ROLLBACK"));
}

bool WriteConnectionLost()
{
    return !gDB[0] || !gDB[0]->isConnected() || gDB[0]->isLost();
}
