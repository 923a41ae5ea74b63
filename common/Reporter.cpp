#include "common/Reporter.h"

#include <QDebug>

namespace {

Reporter& reporter()
{
    static Reporter instance;
    return instance;
}

bool report(const Report& r)
{
    if (reporter())
        return reporter()(r);
    qWarning().noquote() << r.text;
    return false;
}

} // namespace

void SetReporter(Reporter r)
{
    reporter() = std::move(r);
}

void ReportError(const AppError& error)
{
    report({Report::Kind::Error, ErrorText(error.number, error.description), {}});
}

void ReportProcError(const AppError& error, const QString& procedure, ErrScope scope, const QString& owner)
{
    report(
        {Report::Kind::Error, ProcErrorText(error.number, error.description, procedure, scope, owner), {}});
}

void ReportWarning(const QString& text)
{
    report({Report::Kind::Warning, text, {}});
}

bool AskYesNo(const QString& text, const QString& title)
{
    return report({Report::Kind::Question, text, title});
}
