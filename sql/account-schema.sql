-- Tables of an account-year database as the wizard reads and writes them.
-- Texts compare without regard to case, as on the production server.

CREATE TABLE AccInformation (
    cSysID   TEXT COLLATE NOCASE NOT NULL,
    cID      TEXT COLLATE NOCASE,
    cName    TEXT COLLATE NOCASE NOT NULL,
    cCaption TEXT COLLATE NOCASE,
    cType    TEXT COLLATE NOCASE,
    cValue   TEXT COLLATE NOCASE,
    cDefault TEXT COLLATE NOCASE,
    bVisible INTEGER DEFAULT 0,
    bEnable  INTEGER DEFAULT 0
);
CREATE INDEX AccInformation_key ON AccInformation (cSysID, cName);

CREATE TABLE GL_mend (
    iperiod    INTEGER NOT NULL,
    bflag      INTEGER DEFAULT 0,
    bflag_ST   INTEGER DEFAULT 0,
    bflag_PU   INTEGER DEFAULT 0,
    bflag_SA   INTEGER DEFAULT 0,
    bflag_IA   INTEGER DEFAULT 0,
    bflag_AR   INTEGER DEFAULT 0,
    bflag_AP   INTEGER DEFAULT 0,
    bpri_check INTEGER DEFAULT 0
);

CREATE TABLE GradeDef (
    KEYWORD    TEXT COLLATE NOCASE NOT NULL,
    CODINGRULE TEXT COLLATE NOCASE,
    cDescription TEXT COLLATE NOCASE
);

CREATE TABLE InventoryClass (
    cInvCCode  TEXT COLLATE NOCASE NOT NULL,
    cInvCName  TEXT COLLATE NOCASE,
    iInvCGrade INTEGER
);

CREATE TABLE CustomerClass (
    cCCCode  TEXT COLLATE NOCASE NOT NULL,
    cCCName  TEXT COLLATE NOCASE,
    iCCGrade INTEGER
);

CREATE TABLE VendorClass (
    cVCCode  TEXT COLLATE NOCASE NOT NULL,
    cVCName  TEXT COLLATE NOCASE,
    iVCGrade INTEGER
);

CREATE TABLE Inventory (
    cInvCode    TEXT COLLATE NOCASE NOT NULL,
    cInvName    TEXT COLLATE NOCASE,
    cInvCCode   TEXT COLLATE NOCASE,
    cInvA_Unit  TEXT COLLATE NOCASE,
    bAccessary  INTEGER DEFAULT 0,
    bInvBatch   INTEGER DEFAULT 0,
    bInvQuality INTEGER DEFAULT 0,
    bInvEntrust INTEGER DEFAULT 0
);

CREATE TABLE Warehouse (
    cWhCode       TEXT COLLATE NOCASE NOT NULL,
    cWhName       TEXT COLLATE NOCASE,
    cDepCode      TEXT COLLATE NOCASE,
    cWhValueStyle TEXT COLLATE NOCASE
);
-- The department check asks for each department's valuation methods.
CREATE INDEX Warehouse_department ON Warehouse (cDepCode, cWhValueStyle);
