#pragma once

#include <QString>

class SpreadGrid;
class TestDb;
class TestEnv;

// A small A/S database for the main window's tests, in database `name` (which must
// already hold the tables), logged in as "kim":
//   users    kim 김철수 (group 1), lee 이영희 (group 1), park 박민수 (group 0), choi (hidden)
//   programs 1 누리셈II (group 2, kim), 2 가계부 (group 2, lee), 3 회계관리 (lee), 4 Bbox (park),
//            5 abc (park), 6 숨김 (hidden)
//   records  1 .. 6, one a day from 2026-11-01 09:00 on; 3 and 6 have no answerer, 4 no
//            asker; 5 has no company.
bool LoadListData(TestDb& db, const QString& name);

// Creates `name` with the tables and the data above and connects gDB to it; returns
// "" or what went wrong.
QString OpenListDatabase(TestEnv& env, const QString& name);

// Points the screenshot share "\\demoshare\..." at `mountRoot`.
void UseShareFolder(const QString& mountRoot);

// A grid cell's text as the program reads it.
QString GridCell(const SpreadGrid* grid, int col, int row);
