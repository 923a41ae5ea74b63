#pragma once

#include <QString>

class TestDb;

// A known A/S database for the statistics, in `name` (created with the tables):
//   users    kim 김철수, lee 이영희, park 박민수
//   programs 1 .. 17 "프로그램01" .. "프로그램17": 1-3 product group 2; in charge kim (1-6),
//            lee (7-12), nobody (13), park (14-17); code 99 is used but not in part
//   records  600, one every 17 hours from 2025-06-01 08:00: every status, odd statuses
//            ("", "검토중"), completions in both stored forms, odd dates ("미정", a date
//            alone, no zero padding, a completion before its registration)
// With `records` 1 only the first record, with 0 none.
bool LoadStatsData(TestDb& db, const QString& name, int records = 600);
