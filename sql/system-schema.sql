-- The system database beside the accounts: the periods of every account year.

CREATE TABLE ua_period (
    cAcc_Id TEXT COLLATE NOCASE NOT NULL,
    iYear   INTEGER NOT NULL,
    iId     INTEGER NOT NULL,
    dBegin  TEXT,
    dEnd    TEXT
);
CREATE UNIQUE INDEX ua_period_key ON ua_period (cAcc_Id, iYear, iId);
