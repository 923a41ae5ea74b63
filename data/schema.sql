-- Tables of the A/S client. The production database belongs to the wider in-house
-- system; this file builds the same five tables for the demo, the tests and the
-- benchmarks. Texts are stored in EUC-KR (CP949 on the client side).

CREATE TABLE IF NOT EXISTS part (
  code      INT          NOT NULL,
  name      VARCHAR(100) NOT NULL DEFAULT '',
  note      VARCHAR(255) NOT NULL DEFAULT '',
  groupid   INT          NOT NULL DEFAULT 0,
  chargeid  VARCHAR(20)  NOT NULL DEFAULT '',
  hidden    TINYINT      NOT NULL DEFAULT 0,
  sortord   INT          NOT NULL DEFAULT 0,
  PRIMARY KEY (code),
  KEY part_list (hidden, sortord, code),
  KEY part_group (groupid)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;

CREATE TABLE IF NOT EXISTS user (
  id        VARCHAR(20)  NOT NULL,
  name      VARCHAR(40)  NOT NULL DEFAULT '',
  password  VARCHAR(60)  NOT NULL DEFAULT '',
  groupcode INT          NOT NULL DEFAULT 0,
  hidden    TINYINT      NOT NULL DEFAULT 0,
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;

CREATE TABLE IF NOT EXISTS user_mac (
  user_id   VARCHAR(20)  NOT NULL DEFAULT '',
  mac_addr  VARCHAR(20)  NOT NULL DEFAULT '',
  block     TINYINT      NOT NULL DEFAULT 0,
  KEY user_mac_addr (mac_addr)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;

CREATE TABLE IF NOT EXISTS aslist (
  seq       INT          NOT NULL AUTO_INCREMENT,
  appcode   INT          NOT NULL DEFAULT 0,
  formname  VARCHAR(100) NOT NULL DEFAULT '',
  title     VARCHAR(200) NOT NULL DEFAULT '',
  errtext   TEXT         NOT NULL DEFAULT '',
  sshot1    VARCHAR(255) NOT NULL DEFAULT '',
  sshot2    VARCHAR(255) NOT NULL DEFAULT '',
  sshot3    VARCHAR(255) NOT NULL DEFAULT '',
  sshot4    VARCHAR(255) NOT NULL DEFAULT '',
  sshot5    VARCHAR(255) NOT NULL DEFAULT '',
  sshot6    VARCHAR(255) NOT NULL DEFAULT '',
  sshot7    VARCHAR(255) NOT NULL DEFAULT '',
  sshot8    VARCHAR(255) NOT NULL DEFAULT '',
  sshot9    VARCHAR(255) NOT NULL DEFAULT '',
  sshot10   VARCHAR(255) NOT NULL DEFAULT '',
  user_q    VARCHAR(20)  NOT NULL DEFAULT '',
  user_a    VARCHAR(20)  NOT NULL DEFAULT '',
  qusdate   VARCHAR(20)  NOT NULL DEFAULT '',
  ftpdate   VARCHAR(20)  NOT NULL DEFAULT '',
  solution  TEXT         NOT NULL DEFAULT '',
  status    VARCHAR(40)  NOT NULL DEFAULT '',
  PRIMARY KEY (seq),
  -- The list search walks these newest first and stops at its 50th record: by
  -- registration time, or within one program, asker or answerer when that filter is
  -- set. The time index also finds the records registered at the same time as the
  -- 50th, and the rows statement reads its few records through it and the primary key.
  KEY aslist_qusdate (qusdate, seq),
  KEY aslist_appcode (appcode, qusdate),
  KEY aslist_user_q (user_q, qusdate),
  KEY aslist_user_a (user_a, qusdate),
  -- The statistics count from these alone, never reading a record's texts: requests
  -- registered in a period by month, program and status (with whether they hold a
  -- completion time), completed requests by completion time, waiting ones by program.
  KEY aslist_stats (qusdate, appcode, status, ftpdate),
  KEY aslist_done (status, ftpdate, appcode, user_a, qusdate),
  KEY aslist_open (status, appcode)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;

CREATE TABLE IF NOT EXISTS ascomp (
  seq       INT          NOT NULL AUTO_INCREMENT,
  user      VARCHAR(20)  NOT NULL DEFAULT '',
  comname   VARCHAR(100) NOT NULL DEFAULT '',
  writedate VARCHAR(20)  NOT NULL DEFAULT '',
  memo      VARCHAR(255) NOT NULL DEFAULT '',
  ascode    INT          NOT NULL DEFAULT 0,
  PRIMARY KEY (seq),
  -- The list search checks each record it walks for a company (with the name filter)
  -- and counts them from this index alone (the row number comes with every entry).
  KEY ascomp_ascode (ascode, comname),
  KEY ascomp_comname (comname)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;

-- ---------------------------------------------------------------------------
-- Change journal (the same objects as data/upgrade/002-journal.sql)
-- ---------------------------------------------------------------------------

-- Change journal of the A/S records, kept by the server. Triggers on aslist and ascomp
-- write one row per change: the record, the server's time, the application user the
-- writing client named in its session (@as_appuser; empty for clients that do not
-- name one), the kind and, per changed field, the old and the new value, whole.
-- Kinds: 1 request added, 2 field changed, 3 request deleted, 4 company added,
-- 5 company changed, 6 company removed. A failing journal write is ignored (each
-- trigger's handler), so the journal never makes a client's write fail; in a
-- transaction the rows go with the change, and a rolled-back change leaves none.

CREATE TABLE IF NOT EXISTS asjournal_entry (
  id        BIGINT       NOT NULL AUTO_INCREMENT,
  ascode    INT          NOT NULL,
  wtime     DATETIME     NOT NULL,
  appuser   VARCHAR(20)  NOT NULL DEFAULT '',
  kind      TINYINT      NOT NULL,
  field     VARCHAR(20)  NOT NULL DEFAULT '',
  oldval    MEDIUMTEXT   NOT NULL DEFAULT '',
  newval    MEDIUMTEXT   NOT NULL DEFAULT '',
  PRIMARY KEY (id),
  -- The history of one record, newest first; the poll reads by the primary key.
  KEY asjournal_entry_ascode (ascode, id)
) ENGINE=InnoDB DEFAULT CHARSET=euckr;

DROP TRIGGER IF EXISTS asjournal_aslist_ai;
DROP TRIGGER IF EXISTS asjournal_aslist_au;
DROP TRIGGER IF EXISTS asjournal_aslist_ad;
DROP TRIGGER IF EXISTS asjournal_ascomp_ai;
DROP TRIGGER IF EXISTS asjournal_ascomp_au;
DROP TRIGGER IF EXISTS asjournal_ascomp_ad;

DELIMITER $$

CREATE TRIGGER asjournal_aslist_ai AFTER INSERT ON aslist FOR EACH ROW
BEGIN
  DECLARE CONTINUE HANDLER FOR SQLEXCEPTION BEGIN END;
  INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
    (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 1, 'title', '', NEW.title);
END$$

CREATE TRIGGER asjournal_aslist_au AFTER UPDATE ON aslist FOR EACH ROW
BEGIN
  DECLARE CONTINUE HANDLER FOR SQLEXCEPTION BEGIN END;
  IF NOT (BINARY OLD.appcode <=> BINARY NEW.appcode) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'appcode', OLD.appcode, NEW.appcode);
  END IF;
  IF NOT (BINARY OLD.formname <=> BINARY NEW.formname) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'formname', OLD.formname, NEW.formname);
  END IF;
  IF NOT (BINARY OLD.title <=> BINARY NEW.title) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'title', OLD.title, NEW.title);
  END IF;
  IF NOT (BINARY OLD.errtext <=> BINARY NEW.errtext) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'errtext', OLD.errtext, NEW.errtext);
  END IF;
  IF NOT (BINARY OLD.sshot1 <=> BINARY NEW.sshot1) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'sshot1', OLD.sshot1, NEW.sshot1);
  END IF;
  IF NOT (BINARY OLD.sshot2 <=> BINARY NEW.sshot2) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'sshot2', OLD.sshot2, NEW.sshot2);
  END IF;
  IF NOT (BINARY OLD.sshot3 <=> BINARY NEW.sshot3) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'sshot3', OLD.sshot3, NEW.sshot3);
  END IF;
  IF NOT (BINARY OLD.sshot4 <=> BINARY NEW.sshot4) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'sshot4', OLD.sshot4, NEW.sshot4);
  END IF;
  IF NOT (BINARY OLD.sshot5 <=> BINARY NEW.sshot5) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'sshot5', OLD.sshot5, NEW.sshot5);
  END IF;
  IF NOT (BINARY OLD.sshot6 <=> BINARY NEW.sshot6) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'sshot6', OLD.sshot6, NEW.sshot6);
  END IF;
  IF NOT (BINARY OLD.sshot7 <=> BINARY NEW.sshot7) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'sshot7', OLD.sshot7, NEW.sshot7);
  END IF;
  IF NOT (BINARY OLD.sshot8 <=> BINARY NEW.sshot8) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'sshot8', OLD.sshot8, NEW.sshot8);
  END IF;
  IF NOT (BINARY OLD.sshot9 <=> BINARY NEW.sshot9) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'sshot9', OLD.sshot9, NEW.sshot9);
  END IF;
  IF NOT (BINARY OLD.sshot10 <=> BINARY NEW.sshot10) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'sshot10', OLD.sshot10, NEW.sshot10);
  END IF;
  IF NOT (BINARY OLD.user_q <=> BINARY NEW.user_q) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'user_q', OLD.user_q, NEW.user_q);
  END IF;
  IF NOT (BINARY OLD.user_a <=> BINARY NEW.user_a) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'user_a', OLD.user_a, NEW.user_a);
  END IF;
  IF NOT (BINARY OLD.qusdate <=> BINARY NEW.qusdate) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'qusdate', OLD.qusdate, NEW.qusdate);
  END IF;
  IF NOT (BINARY OLD.ftpdate <=> BINARY NEW.ftpdate) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'ftpdate', OLD.ftpdate, NEW.ftpdate);
  END IF;
  IF NOT (BINARY OLD.solution <=> BINARY NEW.solution) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'solution', OLD.solution, NEW.solution);
  END IF;
  IF NOT (BINARY OLD.status <=> BINARY NEW.status) THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 2, 'status', OLD.status, NEW.status);
  END IF;
END$$

CREATE TRIGGER asjournal_aslist_ad AFTER DELETE ON aslist FOR EACH ROW
BEGIN
  DECLARE CONTINUE HANDLER FOR SQLEXCEPTION BEGIN END;
  INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
    (OLD.seq, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 3, 'title', OLD.title, '');
END$$

CREATE TRIGGER asjournal_ascomp_ai AFTER INSERT ON ascomp FOR EACH ROW
BEGIN
  DECLARE CONTINUE HANDLER FOR SQLEXCEPTION BEGIN END;
  INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
    (NEW.ascode, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 4, 'comname', '', NEW.comname);
END$$

CREATE TRIGGER asjournal_ascomp_au AFTER UPDATE ON ascomp FOR EACH ROW
BEGIN
  DECLARE CONTINUE HANDLER FOR SQLEXCEPTION BEGIN END;
  IF NOT (BINARY OLD.comname <=> BINARY NEW.comname) OR OLD.ascode <> NEW.ascode THEN
    INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
      (NEW.ascode, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 5, 'comname', OLD.comname, NEW.comname);
  END IF;
END$$

CREATE TRIGGER asjournal_ascomp_ad AFTER DELETE ON ascomp FOR EACH ROW
BEGIN
  DECLARE CONTINUE HANDLER FOR SQLEXCEPTION BEGIN END;
  INSERT INTO asjournal_entry (ascode, wtime, appuser, kind, field, oldval, newval) VALUES
    (OLD.ascode, NOW(), IFNULL(LEFT(@as_appuser, 20), ''), 6, 'comname', OLD.comname, '');
END$$

DELIMITER ;

-- ---------------------------------------------------------------------------
-- Text index of the list search (the same objects as data/upgrade/001-text-index.sql)
-- ---------------------------------------------------------------------------

-- Every pair of neighbouring letters, digits or Korean characters of a text is a gram:
-- the two characters' codes (EUC-KR/CP949 bytes, ASCII letters in upper case) as one
-- number, code1 * 65536 + code2. A row holds, for one gram of one kind of text, the
-- records of one block of 64 numbers (blk = seq DIV 64) that contain it, as the bits of
-- `bits` (bit seq MOD 64). Kinds (`col`): 0 screen name; 1 title, request and solution;
-- 2 company names (under the record's number). A record that contains a typed text
-- contains all the text's grams, so the records whose bits are set for all of them are
-- the only candidates; the list's own conditions decide. Grams of changed texts are
-- added, old ones stay until a rebuild: they only add candidates.
CREATE TABLE IF NOT EXISTS astext_gram (
  col       TINYINT UNSIGNED NOT NULL,
  gram      INT UNSIGNED     NOT NULL,
  blk       INT UNSIGNED     NOT NULL,
  bits      BIGINT UNSIGNED  NOT NULL,
  PRIMARY KEY (col, gram, blk)
) ENGINE=InnoDB;

-- The grams the triggers add, one row per record: rows no other record's write shares,
-- so that saves at the same moment never wait for each other nor deadlock on the index.
-- astext_merge() moves them into astext_gram's bitmaps.
CREATE TABLE IF NOT EXISTS astext_new (
  col       TINYINT UNSIGNED NOT NULL,
  gram      INT UNSIGNED     NOT NULL,
  seq       INT              NOT NULL,
  PRIMARY KEY (col, gram, seq)
) ENGINE=InnoDB;

-- Records whose grams could not be written (the triggers' handler): always candidates.
CREATE TABLE IF NOT EXISTS astext_miss (
  seq       INT              NOT NULL,
  PRIMARY KEY (seq)
) ENGINE=InnoDB;

DELIMITER $$

-- Adds the grams of up to three texts of one kind of record `p_seq`. The texts are cut
-- into pieces of 33 characters overlapping by one, so that no character is looked for
-- far from the start of a piece; each piece gives the grams starting in its first 32.
CREATE OR REPLACE PROCEDURE astext_put(IN p_col TINYINT, IN p_seq INT, IN t1 TEXT CHARACTER SET euckr,
                                       IN t2 TEXT CHARACTER SET euckr, IN t3 TEXT CHARACTER SET euckr)
  MODIFIES SQL DATA
BEGIN
  INSERT IGNORE INTO astext_new (col, gram, seq)
  SELECT p_col, g.gram, p_seq
  FROM (SELECT DISTINCT IF(o1 BETWEEN 97 AND 122, o1 - 32, o1) * 65536 + IF(o2 BETWEEN 97 AND 122, o2 - 32, o2) AS gram
        FROM (SELECT ORD(SUBSTRING(c.s, p.seq, 1)) AS o1, ORD(SUBSTRING(c.s, p.seq + 1, 1)) AS o2
              FROM (SELECT SUBSTRING(x.t, k.seq * 32 - 31, 33) AS s,
                           LEAST(33, CAST(x.n AS SIGNED) - CAST(k.seq AS SIGNED) * 32 + 32) AS len
                    FROM (SELECT t, CHAR_LENGTH(t) AS n
                          FROM (SELECT t1 AS t UNION ALL SELECT t2 UNION ALL SELECT t3) AS u LIMIT 3) AS x
                    STRAIGHT_JOIN seq_1_to_2048 AS k FORCE INDEX (PRIMARY) ON k.seq <= (x.n + 31) DIV 32
                    LIMIT 10000) AS c
              STRAIGHT_JOIN seq_1_to_32 AS p FORCE INDEX (PRIMARY) ON p.seq < c.len) AS o
        WHERE (o1 > 127 OR o1 BETWEEN 48 AND 57 OR o1 BETWEEN 65 AND 90 OR o1 BETWEEN 97 AND 122)
          AND (o2 > 127 OR o2 BETWEEN 48 AND 57 OR o2 BETWEEN 65 AND 90 OR o2 BETWEEN 97 AND 122)) AS g
  ORDER BY g.gram;
END$$

-- Notes a record whose grams could not be written; never fails.
CREATE OR REPLACE PROCEDURE astext_missed(IN p_seq INT)
  MODIFIES SQL DATA
BEGIN
  DECLARE CONTINUE HANDLER FOR SQLEXCEPTION BEGIN END;
  INSERT IGNORE INTO astext_miss (seq) VALUES (p_seq);
END$$

-- Moves the triggers' grams into the bitmaps: the rows it read and no others, so that
-- saves may go on meanwhile. For a nightly job (the event at the end of this file, where
-- the event scheduler runs, or cron).
CREATE OR REPLACE PROCEDURE astext_merge()
  MODIFIES SQL DATA
BEGIN
  CREATE OR REPLACE TEMPORARY TABLE astext_moving ENGINE=InnoDB AS SELECT col, gram, seq FROM astext_new;
  START TRANSACTION;
  INSERT INTO astext_gram (col, gram, blk, bits)
  SELECT col, gram, seq >> 6, BIT_OR(1 << (seq & 63)) FROM astext_moving
  GROUP BY col, gram, seq >> 6
  ON DUPLICATE KEY UPDATE bits = bits | VALUES(bits);
  DELETE n FROM astext_new AS n JOIN astext_moving AS m USING (col, gram, seq);
  COMMIT;
  DROP TEMPORARY TABLE astext_moving;
END$$

-- Builds the index of every record when it is not built yet (astext_ready missing),
-- in runs of 4096 records, each telling how far it got; then creates astext_ready,
-- which tells the client that the index is complete.
CREATE OR REPLACE PROCEDURE astext_build()
  MODIFIES SQL DATA
BEGIN
  DECLARE lo, top, done INT DEFAULT 0;
  DECLARE total BIGINT DEFAULT 0;
  IF (SELECT COUNT(*) FROM information_schema.TABLES
      WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = 'astext_ready') > 0 THEN
    SELECT 'The text index is built already.' AS progress;
  ELSE
    SELECT IFNULL(MAX(seq), 0), COUNT(*) INTO top, total FROM aslist;
    WHILE lo <= top DO
      INSERT INTO astext_gram (col, gram, blk, bits)
      SELECT r.col, r.gram, r.seq >> 6, BIT_OR(1 << (r.seq & 63))
      FROM (SELECT o.col, o.seq,
                   IF(o1 BETWEEN 97 AND 122, o1 - 32, o1) * 65536 + IF(o2 BETWEEN 97 AND 122, o2 - 32, o2) AS gram
            FROM (SELECT c.col, c.seq, ORD(SUBSTRING(c.s, p.seq, 1)) AS o1, ORD(SUBSTRING(c.s, p.seq + 1, 1)) AS o2
                  FROM (SELECT x.col, x.seq, SUBSTRING(x.t, k.seq * 32 - 31, 33) AS s,
                               LEAST(33, CAST(x.n AS SIGNED) - CAST(k.seq AS SIGNED) * 32 + 32) AS len
                        FROM (SELECT u.col, u.seq, u.t, CHAR_LENGTH(u.t) AS n
                              FROM (SELECT 0 AS col, seq, formname AS t FROM aslist WHERE seq >= lo AND seq < lo + 4096
                                    UNION ALL SELECT 1, seq, title FROM aslist WHERE seq >= lo AND seq < lo + 4096
                                    UNION ALL SELECT 1, seq, errtext FROM aslist WHERE seq >= lo AND seq < lo + 4096
                                    UNION ALL SELECT 1, seq, solution FROM aslist WHERE seq >= lo AND seq < lo + 4096
                                    UNION ALL SELECT 2, ascode, comname FROM ascomp
                                              WHERE ascode >= lo AND ascode < lo + 4096) AS u
                              LIMIT 100000000) AS x
                        STRAIGHT_JOIN seq_1_to_2048 AS k FORCE INDEX (PRIMARY) ON k.seq <= (x.n + 31) DIV 32
                        LIMIT 1000000000) AS c
                  STRAIGHT_JOIN seq_1_to_32 AS p FORCE INDEX (PRIMARY) ON p.seq < c.len) AS o
            WHERE (o1 > 127 OR o1 BETWEEN 48 AND 57 OR o1 BETWEEN 65 AND 90 OR o1 BETWEEN 97 AND 122)
              AND (o2 > 127 OR o2 BETWEEN 48 AND 57 OR o2 BETWEEN 65 AND 90 OR o2 BETWEEN 97 AND 122)) AS r
      GROUP BY r.col, r.gram, r.seq >> 6
      ORDER BY r.col, r.gram, r.seq >> 6
      ON DUPLICATE KEY UPDATE bits = bits | VALUES(bits);
      COMMIT;
      SET lo = lo + 4096;
      SET done = done + (SELECT COUNT(*) FROM aslist WHERE seq >= lo - 4096 AND seq < lo);
      IF lo % 65536 = 0 OR lo > top THEN
        SELECT CONCAT('text index: ', done, ' of ', total, ' records') AS progress;
      END IF;
    END WHILE;
    CREATE TABLE IF NOT EXISTS astext_ready (built DATETIME NOT NULL) ENGINE=InnoDB;
    INSERT INTO astext_ready VALUES (NOW());
    SELECT 'The text index is built.' AS progress;
  END IF;
END$$

-- The triggers add the grams of each new or changed text. Their handler notes the
-- record as a candidate of every search instead, so that no write ever fails for the
-- index. A session that sets @astext_off writes no grams: a bulk load, after which
-- DROP TABLE astext_ready and CALL astext_build() build the index anew.
CREATE OR REPLACE TRIGGER astext_aslist_ai AFTER INSERT ON aslist FOR EACH ROW
BEGIN
  DECLARE CONTINUE HANDLER FOR SQLEXCEPTION CALL astext_missed(NEW.seq);
  IF @astext_off IS NULL THEN
    CALL astext_put(0, NEW.seq, NEW.formname, '', '');
    CALL astext_put(1, NEW.seq, NEW.title, NEW.errtext, NEW.solution);
  END IF;
END$$

CREATE OR REPLACE TRIGGER astext_aslist_au AFTER UPDATE ON aslist FOR EACH ROW
BEGIN
  DECLARE CONTINUE HANDLER FOR SQLEXCEPTION CALL astext_missed(NEW.seq);
  IF @astext_off IS NULL THEN
    IF NEW.seq <> OLD.seq OR NOT (BINARY NEW.formname <=> BINARY OLD.formname) THEN
      CALL astext_put(0, NEW.seq, NEW.formname, '', '');
    END IF;
    IF NEW.seq <> OLD.seq OR NOT (BINARY NEW.title <=> BINARY OLD.title)
       OR NOT (BINARY NEW.errtext <=> BINARY OLD.errtext) OR NOT (BINARY NEW.solution <=> BINARY OLD.solution) THEN
      CALL astext_put(1, NEW.seq, NEW.title, NEW.errtext, NEW.solution);
    END IF;
  END IF;
END$$

CREATE OR REPLACE TRIGGER astext_ascomp_ai AFTER INSERT ON ascomp FOR EACH ROW
BEGIN
  DECLARE CONTINUE HANDLER FOR SQLEXCEPTION CALL astext_missed(NEW.ascode);
  IF @astext_off IS NULL THEN
    CALL astext_put(2, NEW.ascode, NEW.comname, '', '');
  END IF;
END$$

CREATE OR REPLACE TRIGGER astext_ascomp_au AFTER UPDATE ON ascomp FOR EACH ROW
BEGIN
  DECLARE CONTINUE HANDLER FOR SQLEXCEPTION CALL astext_missed(NEW.ascode);
  IF @astext_off IS NULL AND (NEW.ascode <> OLD.ascode OR NOT (BINARY NEW.comname <=> BINARY OLD.comname)) THEN
    CALL astext_put(2, NEW.ascode, NEW.comname, '', '');
  END IF;
END$$

DELIMITER ;

CALL astext_build();

-- Where the event scheduler runs, the triggers' grams move into the bitmaps each night.
CREATE EVENT IF NOT EXISTS astext_merge_nightly ON SCHEDULE EVERY 1 DAY
  STARTS CURRENT_DATE + INTERVAL 1 DAY + INTERVAL 3 HOUR DO CALL astext_merge();
