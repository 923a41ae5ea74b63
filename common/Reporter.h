#pragma once

#include "common/AppError.h"

#include <QString>
#include <functional>

// common/, platform/ and db/ show nothing themselves: what the user has to be told
// goes to the reporter, which the program installs at start (InstallMsgReporter puts
// the message facade there). Until one is installed, reports go to the error output
// and questions are answered No.

struct Report
{
    enum class Kind
    {
        Error,   // the standard error box: OK, no icon
        Warning, // OK, exclamation icon
        Question // Yes and No, question icon, Yes the default
    };
    Kind kind = Kind::Error;
    QString text;
    QString title; // empty: the program's title
};

// Shows a report; returns true when a question was answered Yes.
using Reporter = std::function<bool(const Report&)>;
void SetReporter(Reporter reporter);

// "Error N (description)"
void ReportError(const AppError& error);
// "Error N (description) in procedure P of Module M"
void ReportProcError(const AppError& error, const QString& procedure, ErrScope scope, const QString& owner);
void ReportWarning(const QString& text);
// True when the user answers Yes.
bool AskYesNo(const QString& text, const QString& title);
