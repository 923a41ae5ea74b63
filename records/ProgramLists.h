#pragma once

#include <QString>

class HCCombo;

// The program and user lists of every window that lets the user pick one.

// "SELECT code, name, note, groupid FROM part WHERE hidden = 0 order by sortord, code"
QString ProgramListSql();
// The visible users, `condition` (an SQL condition on table user, or empty) added.
QString UserListSql(const QString& condition);

// Fills `combo` with the visible programs (item data: the program's code), after the
// optional entries "[프로그램]" and "누리셈II외4종".
void FillProgramCombo(HCCombo* combo, bool withPlaceholder, bool withGroup);

// Fills `combo` with the visible users (key: the user's id), each put on top so that
// the list runs in the reverse of the statement's order; with `withAll` "[전체]"
// (key "1") goes on top of them.
void FillUserCombo(HCCombo* combo, bool withAll, const QString& condition);

// A user's name, "" when there is none.
QString GetUserNameById(const QString& id);
