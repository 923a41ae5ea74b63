-- The indexes the statistics window counts from (the same as in data/schema.sql):
-- requests registered in a period by month, program and status, completed requests by
-- completion time and waiting ones by program, read from the indexes alone.
-- Safe to run again: an index that exists is left as it is. Old clients never see them.
--   mariadb --default-character-set=euckr DATABASE < data/upgrade/022-stats-indexes.sql
ALTER TABLE aslist
  ADD INDEX IF NOT EXISTS aslist_stats (qusdate, appcode, status, ftpdate),
  ADD INDEX IF NOT EXISTS aslist_done (status, ftpdate, appcode, user_a, qusdate),
  ADD INDEX IF NOT EXISTS aslist_open (status, appcode);
