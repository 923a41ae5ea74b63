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
