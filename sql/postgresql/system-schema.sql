-- The system tables, as schema zxsystem of the account database.

CREATE SCHEMA IF NOT EXISTS zxsystem;
CREATE TABLE IF NOT EXISTS zxsystem.ua_period (
    cAcc_Id varchar(3) NOT NULL,
    iYear   integer NOT NULL,
    iId     integer NOT NULL,
    dBegin  date,
    dEnd    date,
    PRIMARY KEY (cAcc_Id, iYear, iId)
);
