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
