-- The FCC amateur licence database: one Amateur row per licence, the licensee in Entity,
-- names and licence dates in EntityName, e-mail addresses in Email, all keyed by the
-- licensee's unique system identifier (usi). Dates as m/d/yyyy.
CREATE TABLE Amateur (
  CallSign TEXT COLLATE NOCASE NOT NULL,
  usi INTEGER NOT NULL,
  operatorclass TEXT COLLATE NOCASE,
  groupcode TEXT COLLATE NOCASE,
  regioncode INTEGER,
  trusteecallsign TEXT COLLATE NOCASE,
  previouscallsign TEXT COLLATE NOCASE,
  previousoperatorclass TEXT COLLATE NOCASE,
  licensestatus TEXT COLLATE NOCASE
);
CREATE INDEX Amateur_CallSign ON Amateur (CallSign);
CREATE INDEX Amateur_usi ON Amateur (usi);

CREATE TABLE Entity (
  USI INTEGER NOT NULL,
  CallSign TEXT COLLATE NOCASE,
  entityname TEXT COLLATE NOCASE,
  firstname TEXT COLLATE NOCASE,
  MI TEXT COLLATE NOCASE,
  lastname TEXT COLLATE NOCASE,
  suffix TEXT COLLATE NOCASE,
  streetaddress TEXT COLLATE NOCASE,
  city TEXT COLLATE NOCASE,
  state TEXT COLLATE NOCASE,
  zipcode TEXT COLLATE NOCASE,
  pobox TEXT COLLATE NOCASE,
  frn TEXT COLLATE NOCASE
);
CREATE INDEX Entity_USI ON Entity (USI);

CREATE TABLE EntityName (
  USI INTEGER PRIMARY KEY,
  entityname TEXT COLLATE NOCASE,
  granteddate TEXT COLLATE NOCASE,
  expirationdate TEXT COLLATE NOCASE,
  cancellationdate TEXT COLLATE NOCASE
);
CREATE INDEX EntityName_USI ON EntityName (USI);

CREATE TABLE Email (
  USI INTEGER PRIMARY KEY,
  email TEXT COLLATE NOCASE
);
