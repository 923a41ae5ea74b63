#include "common/AppError.h"

QString ErrorText(long number, const QString& description)
{
    return QStringLiteral("Error %1 (%2)").arg(number).arg(description);
}

QString ProcErrorText(long number, const QString& description, const QString& procedure, ErrScope scope,
                      const QString& owner)
{
    const char* kind = scope == ErrScope::Module ? "Module"
                       : scope == ErrScope::Form ? "Form"
                                                 : "User Control";
    return ErrorText(number, description) +
           QStringLiteral(" in procedure %1 of %2 %3").arg(procedure, QLatin1String(kind), owner);
}
