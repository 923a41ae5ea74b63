#pragma once

#include <QString>

// An error as the program reports it: a number, where it arose and what happened.
struct AppError
{
    long number = 0;
    QString source;
    QString description;

    bool isSet() const { return number != 0 || !description.isEmpty(); }
};

// Where a procedure lives, for the standard error text.
enum class ErrScope
{
    Module,
    Form,
    UserControl
};

// "Error N (description)"
QString ErrorText(long number, const QString& description);

// "Error N (description) in procedure P of Module M" (or "of Form F", "of User Control C").
QString ProcErrorText(long number, const QString& description, const QString& procedure, ErrScope scope,
                      const QString& owner);
