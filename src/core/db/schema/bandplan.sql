-- The prefix database: prefixes and exact calls linked to entity rows, the entities, the
-- weather stations and the ZIP code positions. Text compares without regard to case.
-- SQLite index names are per database, so each is named "<table>_<index>".

-- A prefix, a whole callsign, or prefix and callsign joined by "/". "inactive" = "!" marks a
-- key that only an exact (unshortened) match may take.
CREATE TABLE plink (
  prefix TEXT COLLATE NOCASE NOT NULL,
  plink INTEGER NOT NULL,
  inactive TEXT COLLATE NOCASE
);
CREATE INDEX plink_prefix ON plink (prefix);

-- Entity rows. Latitude north positive, Longitude east positive, Time_Offset in hours west of
-- UTC (the lookup inverts the sign), zones as text ("03/04/05" marks a multi-zone prefix),
-- dates as m/d/yyyy.
CREATE TABLE Prefixes (
  ID INTEGER PRIMARY KEY,
  master_prefix TEXT COLLATE NOCASE,
  DXCC INTEGER,
  Country TEXT COLLATE NOCASE,
  Continent TEXT COLLATE NOCASE,
  Latitude REAL,
  Longitude REAL,
  Time_Offset REAL,
  CQ_Zone TEXT COLLATE NOCASE,
  ITU_Zone TEXT COLLATE NOCASE,
  Abbreviation TEXT COLLATE NOCASE,
  Begin_Date TEXT COLLATE NOCASE,
  End_Date TEXT COLLATE NOCASE
);
CREATE INDEX Prefixes_ID ON Prefixes (ID);
CREATE INDEX Prefixes_DXCCA ON Prefixes (DXCC);

-- Keys that belonged to another entity before 1 January of the year "Before".
CREATE TABLE plinkold (
  prefix TEXT COLLATE NOCASE NOT NULL,
  Before TEXT COLLATE NOCASE,
  plink INTEGER
);
CREATE INDEX plinkold_prefix ON plinkold (prefix);

-- Weather observing stations. RBSN = "I" marks a station that gave no report.
CREATE TABLE Weather (
  Location TEXT COLLATE NOCASE,
  Place TEXT COLLATE NOCASE,
  IwinPlace TEXT COLLATE NOCASE,
  State TEXT COLLATE NOCASE,
  Country TEXT COLLATE NOCASE,
  Stn_Lat REAL,
  Stn_Lon REAL,
  RBSN TEXT COLLATE NOCASE
);
CREATE INDEX Weather_location ON Weather (Location);

-- ZIP code positions; longitude is degrees west, stored positive.
CREATE TABLE zipcodes (
  zip INTEGER,
  latitude REAL,
  longitude REAL,
  city TEXT COLLATE NOCASE,
  state TEXT COLLATE NOCASE
);
CREATE INDEX zipcodes_zip ON zipcodes (zip);
