-- Callsigns known to upload to LoTW, with the date and time (UTC) of their last upload.
CREATE TABLE LoTW (
  Call TEXT COLLATE NOCASE NOT NULL,
  LastUploadDate TEXT,
  LastUploadTime TEXT
);
CREATE INDEX LoTW_Call ON LoTW (Call);
