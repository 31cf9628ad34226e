#pragma once

// Account databases on disk: creating them from the schemas under sql/,
// checking that a file is one, and opening it as a HostDatabase.

#include "dbkit/HostDatabase.h"

#include <QString>

#include <memory>

namespace zx::host {

struct CreatedAccount {
    QString accountFile;
    QString systemFile;
    bool systemCreated = false;
};

// Why an account number and year cannot make an account; empty when they can.
QString accountNumbersProblem(const QString& account, const QString& year);

// Creates DIR/ZXDATA_<account>_<year>.db and, if missing, DIR/zxsystem.db
// with the twelve periods of that account year. Refuses to touch an
// existing account file. Throws zx::Error.
CreatedAccount createAccount(const QString& dir, const QString& account, const QString& year);

// Adds the demo's items, warehouses and classes to an account file, with
// purchasing started in March of `year`.
void addDemoData(const QString& accountFile, const QString& year);

// Opens an existing account file (and its system database: `systemFile`,
// or zxsystem.db beside it). Throws zx::Error naming what is wrong: a
// missing file, a file that is not an account database. `inMemory`: the
// file is only read, and writes go to a copy of it in memory (a dry run).
std::unique_ptr<db::HostDatabase> openAccount(const QString& accountFile, const QString& systemFile,
                                              bool inMemory = false);

// An account on a PostgreSQL server reached through ODBC (the DDL is
// PostgreSQL's): the account tables and default rows in the database the
// connection string names, the system tables in its schema zxsystem.
// Refuses a database that already holds an account.
void createPostgreSqlAccount(const QString& odbc, const QString& account, const QString& year);
// Opens an account on a server reached through ODBC.
std::unique_ptr<db::HostDatabase> openOdbcAccount(const QString& odbc);

// Whether two paths name one file on disk: the same canonical path, or the
// same device and inode (a hard link). False when either does not exist.
bool sameFile(const QString& a, const QString& b);
// Whether two ODBC connection strings name one server database: the same
// keys and values, whatever the order, the case of the keys, a DSN given
// by its name alone or the user and password they log in with.
bool sameServerAccount(const QString& a, const QString& b);

// Makes the bundled files (":/sql/...", ":/host/...") readable.
void initBundledFiles();

// Runs the statements of one of the bundled SQL files on an open database.
void runSqlResource(db::HostDatabase& db, const QString& resource);

}  // namespace zx::host
