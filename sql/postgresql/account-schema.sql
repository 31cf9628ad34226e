-- The account tables on a server that reaches the system tables as a
-- schema (PostgreSQL). Same names and columns as the embedded schema.

-- Parameter keys compare without regard to case, as on the servers the
-- accounts come from, so that a save's "cName='x'" names the row FindFirst
-- shows, whatever its spelling.
CREATE COLLATION IF NOT EXISTS zx_nocase (provider = icu, locale = 'und-u-ks-level2', deterministic = false);

CREATE TABLE AccInformation (
    cSysID   varchar(10) COLLATE zx_nocase NOT NULL,
    cID      varchar(20),
    cName    varchar(60) COLLATE zx_nocase NOT NULL,
    cCaption varchar(100),
    cType    varchar(20),
    cValue   text,
    cDefault text,
    bVisible integer DEFAULT 0,
    bEnable  integer DEFAULT 0
);
CREATE INDEX AccInformation_key ON AccInformation (cSysID, cName);
-- FindFirst looks parameters up without regard to case.
CREATE INDEX AccInformation_folded ON AccInformation (lower(cSysID), lower(cName));

CREATE TABLE GL_mend (
    iperiod    integer NOT NULL,
    bflag      integer DEFAULT 0,
    bflag_ST   integer DEFAULT 0,
    bflag_PU   integer DEFAULT 0,
    bflag_SA   integer DEFAULT 0,
    bflag_IA   integer DEFAULT 0,
    bflag_AR   integer DEFAULT 0,
    bflag_AP   integer DEFAULT 0,
    bpri_check integer DEFAULT 0
);

CREATE TABLE GradeDef (KEYWORD varchar(40) NOT NULL, CODINGRULE varchar(20), cDescription varchar(60));
CREATE TABLE InventoryClass (cInvCCode varchar(20) NOT NULL, cInvCName varchar(60), iInvCGrade integer);
CREATE TABLE CustomerClass (cCCCode varchar(20) NOT NULL, cCCName varchar(60), iCCGrade integer);
CREATE TABLE VendorClass (cVCCode varchar(20) NOT NULL, cVCName varchar(60), iVCGrade integer);

CREATE TABLE Inventory (
    cInvCode    varchar(20) NOT NULL,
    cInvName    varchar(60),
    cInvCCode   varchar(20),
    cInvA_Unit  varchar(20),
    bAccessary  integer DEFAULT 0,
    bInvBatch   integer DEFAULT 0,
    bInvQuality integer DEFAULT 0,
    bInvEntrust integer DEFAULT 0
);

CREATE TABLE Warehouse (cWhCode varchar(20) NOT NULL, cWhName varchar(60), cDepCode varchar(20), cWhValueStyle varchar(20));
CREATE INDEX Warehouse_department ON Warehouse (cDepCode, cWhValueStyle);
